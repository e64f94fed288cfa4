#pragma once
#include "Platform/system/SysCrashInfo.h"

#include <cstdint>

struct SysModuleInfo;
struct SysStackFrame;

// Writes the loaded modules and the faulting thread's call stack as text lines, one OnOutput per
// line. Bounded: a corrupt stack ends with an error line instead of looping.
class StackWalker
{
public:
    virtual ~StackWalker() = default;

    // Walks from the crash's machine context, or from the caller when crash is null.
    bool ShowCallstack(const SysCrashInfo* crash);

protected:
    friend class StackWalkerInternal;

    // Each line, formatted into 1024 characters. The default sends it to the debugger sink.
    virtual void OnOutput(const char* text);

    void OnModule(const SysModuleInfo& module);
    void OnFrame(const SysStackFrame& frame);
    void OnError(const char* what, int code, uintptr_t address);
};
