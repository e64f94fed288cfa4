#pragma once
#include "Platform/system/SysCrashInfo.h"

// Writes a minidump of the faulting thread: system information (x86-64, Linux), the exception (signal
// number, si_code, fault address), the thread with its registers and stack memory, the memory list,
// the module list with build ids, and the process id. No allocation and no stdio, so it runs inside
// the crash handler.
class SysMinidump
{
public:
    // False when the file cannot be created or written whole.
    static bool Write(const char* path, const SysCrashInfo& crash);

    static constexpr int MaxModules = 512;
    static constexpr uint32_t MaxStackBytes = 256 * 1024;
};
