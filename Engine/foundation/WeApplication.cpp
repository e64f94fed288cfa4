#include "Engine/foundation/WeApplication.h"

#include "Engine/foundation/WeCrashReport.h"

WeApplication* g_Application = nullptr;

int WeApplication::RunWithCrashHandler()
{
    FormatCrashTimeStamp();
    InstallCrashProtection(ReadProtectionType());
    return Run();
}
