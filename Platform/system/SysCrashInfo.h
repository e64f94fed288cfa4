#pragma once
#include <cstdint>

// What the crash handler knows about a fault when it calls the report.
struct SysCrashInfo
{
    int signal;                // SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT
    int code;                  // the kernel's si_code (0 or below: sent by a process, not a fault)
    uintptr_t faultAddress;    // the faulting address for faults, else the program counter
    uintptr_t programCounter;  // where the thread stopped
    void* context;             // the thread's machine context at the fault (a ucontext_t)
    uint32_t threadId;         // kernel thread id of the faulting thread
    const char* description;   // "SIGSEGV", or the uncaught exception's type for a terminate
};
