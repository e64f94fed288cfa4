#include "Platform/system/SysCrashHandler.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <sys/syscall.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>

namespace
{

const int Signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int SignalCount = sizeof(Signals) / sizeof(Signals[0]);

struct sigaction g_Previous[SignalCount];
struct sigaction g_PreviousAlarm;
stack_t g_PreviousStack;
bool g_HadStack = false;
std::terminate_handler g_PreviousTerminate = nullptr;

// Big enough for the stack walk, the demangler and formatting, on sanitizer builds too.
alignas(16) char g_AltStack[256 * 1024];

std::atomic<int> g_ActiveSignal{0};
std::atomic<uint32_t> g_ActiveThread{0};
unsigned g_WatchdogSeconds = SysCrashHandler::DefaultWatchdogSeconds;
char g_TerminateText[512];
std::atomic<bool> g_TerminateNoted{false};

SysCrashHandler::ReportFn g_Report = nullptr;
bool g_Installed = false;

void OnSignal(int signal, siginfo_t* info, void* context);
void OnTerminate();
void OnWatchdog(int signal);

}  // namespace

const char* SysCrashHandler::SignalName(int signal)
{
    switch (signal)
    {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "-unknown-";
    }
}

bool SysCrashHandler::Install(ReportFn report)
{
    if (g_Installed)
        Uninstall();
    g_Report = report;

    stack_t stack{};
    stack.ss_sp = g_AltStack;
    stack.ss_size = sizeof(g_AltStack);
    stack.ss_flags = 0;
    g_HadStack = sigaltstack(&stack, &g_PreviousStack) == 0;

    struct sigaction action
    {
    };
    action.sa_sigaction = OnSignal;
    // No signal is blocked while the report runs, so a second fault reaches the re-entry guard
    // instead of the kernel silently killing the process with the second signal.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < SignalCount; ++i)
        sigaction(Signals[i], &action, &g_Previous[i]);

    struct sigaction alarm
    {
    };
    alarm.sa_handler = OnWatchdog;
    alarm.sa_flags = SA_ONSTACK | SA_NODEFER;
    sigemptyset(&alarm.sa_mask);
    sigaction(SIGALRM, &alarm, &g_PreviousAlarm);

    g_PreviousTerminate = std::set_terminate(OnTerminate);
    g_ActiveSignal.store(0);
    g_ActiveThread.store(0);
    g_TerminateNoted.store(false);
    g_Installed = true;
    return true;
}

void SysCrashHandler::Uninstall()
{
    if (!g_Installed)
        return;
    for (int i = 0; i < SignalCount; ++i)
        sigaction(Signals[i], &g_Previous[i], nullptr);
    sigaction(SIGALRM, &g_PreviousAlarm, nullptr);
    if (g_HadStack)
    {
        // Only restore a stack that was really there; a disabled one is restored as disabled.
        sigaltstack(&g_PreviousStack, nullptr);
    }
    std::set_terminate(g_PreviousTerminate);
    g_Installed = false;
    g_Report = nullptr;
}

bool SysCrashHandler::IsInstalled()
{
    return g_Installed;
}

void SysCrashHandler::SetWatchdogSeconds(unsigned seconds)
{
    g_WatchdogSeconds = seconds > 0 ? seconds : 1;
}

void SysCrashHandler::DisarmWatchdog()
{
    alarm(0);
}

void SysCrashHandler::DieOf(int signal)
{
    // Die of the signal with its default action, so the exit status says what happened.
    struct sigaction action
    {
    };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
    _exit(128 + signal);
}

namespace
{

void OnWatchdog(int)
{
    int active = g_ActiveSignal.load();
    SysCrashHandler::DieOf(active != 0 ? active : SIGALRM);
}

void OnTerminate()
{
    // Note what was thrown, then let the SIGABRT report describe it.
    if (!g_TerminateNoted.exchange(true))
    {
        std::type_info* type = abi::__cxa_current_exception_type();
        if (type == nullptr)
        {
            snprintf(g_TerminateText, sizeof(g_TerminateText), "terminate called without an active exception");
        }
        else
        {
            int status = -1;
            char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
            snprintf(g_TerminateText, sizeof(g_TerminateText), "uncaught exception of type %s",
                     status == 0 && demangled != nullptr ? demangled : type->name());
            std::free(demangled);
        }
    }
    abort();
}

void OnSignal(int signal, siginfo_t* info, void* context)
{
    uint32_t thread = static_cast<uint32_t>(syscall(SYS_gettid));
    int expected = 0;
    if (!g_ActiveSignal.compare_exchange_strong(expected, signal))
    {
        // A fault inside the report: end now, with the signal that started it. A fault on another
        // thread waits, so that the first report is finished; the report's end kills the process.
        if (g_ActiveThread.load() != thread)
        {
            for (;;)
                pause();
        }
        SysCrashHandler::DieOf(expected);
    }
    g_ActiveThread.store(thread);
    alarm(g_WatchdogSeconds);

    const ucontext_t* uc = static_cast<const ucontext_t*>(context);

    SysCrashInfo crash{};
    crash.signal = signal;
    crash.code = info != nullptr ? info->si_code : 0;
    crash.context = context;
    crash.threadId = thread;
    crash.programCounter = uc != nullptr ? static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]) : 0;
    crash.faultAddress =
        (info != nullptr && info->si_code > 0) ? reinterpret_cast<uintptr_t>(info->si_addr) : crash.programCounter;
    crash.description =
        (signal == SIGABRT && g_TerminateNoted.load()) ? g_TerminateText : SysCrashHandler::SignalName(signal);

    if (g_Report != nullptr)
        g_Report(crash);
    SysCrashHandler::DieOf(signal);
}

}  // namespace
