// crash_demo [protection type]: faults on purpose and leaves a crash log (type 1) or a minidump
// (type 2) beside itself, then dies of the fault's signal. Without an argument the type is the
// configuration's "build.Options.ProtectionType" (default 2), as for the game.
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeCrashReport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

// Hidden from the optimiser, so the write is really made.
volatile uintptr_t g_BadAddress = 16;

__attribute__((noinline)) void FaultOnPurpose()
{
    *reinterpret_cast<volatile int*>(g_BadAddress) = 1;
}

class CrashDemoApplication : public WeApplication
{
public:
    int Run() override
    {
        std::printf("crash_demo: faulting on purpose\n");
        std::fflush(stdout);
        FaultOnPurpose();
        return 0;
    }
    const char* GetName() override { return "Crash Demo"; }
};

}  // namespace

int main(int argc, char** argv)
{
    CrashDemoApplication application;
    g_Application = &application;
    if (argc < 2)
        return application.RunWithCrashHandler();

    char* end = nullptr;
    long type = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0')
    {
        std::fprintf(stderr, "usage: crash_demo [protection type: 0 none, 1 crash log, 2 minidump]\n");
        return 2;
    }
    FormatCrashTimeStamp();
    InstallCrashProtection(static_cast<int>(type));
    return application.Run();
}
