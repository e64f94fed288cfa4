#pragma once
#include "Platform/system/SysCrashInfo.h"

// Process-wide fault handling: SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT are caught on an alternate
// signal stack (so a stack overflow still reports), and an uncaught C++ exception is turned into
// SIGABRT with the exception's type noted. The report runs once: a second fault while it runs ends
// the process at once with the first signal. A report that hangs (a lock held by the faulting code)
// is ended by a watchdog. After the report the process dies of the original signal, so a parent
// sees the same exit status as without a handler.
class SysCrashHandler
{
public:
    using ReportFn = void (*)(const SysCrashInfo& info);

    static bool Install(ReportFn report);
    // Restores the previous signal dispositions, stack and terminate handler.
    static void Uninstall();
    static bool IsInstalled();

    // Stops the watchdog; the report calls it before waiting on the user.
    static void DisarmWatchdog();
    static constexpr unsigned DefaultWatchdogSeconds = 20;
    static void SetWatchdogSeconds(unsigned seconds);

    static const char* SignalName(int signal);

    // Ends the process with the signal's default action (the exit status a parent sees).
    [[noreturn]] static void DieOf(int signal);
};
