#include "Engine/foundation/StackWalker.h"

#include "Engine/foundation/StackWalkerInternal.h"

#include "Platform/system/SysDebugOutput.h"
#include "Platform/system/SysModules.h"
#include "Platform/system/SysStackWalk.h"

#include <cstdio>

void StackWalker::OnOutput(const char* text)
{
    SysDebugOutput::Write(text);
}

void StackWalker::OnModule(const SysModuleInfo& module)
{
    // People compare dumps by these lines, so every field of the line stays. Nothing is loaded per
    // module here, so the load result is 0 and the symbol type unknown; the debug information is read
    // from the image itself, so the image path stands where the debug file's name goes.
    char line[1024];
    snprintf(line, sizeof(line), "%s:%s (%p), size: %d (result: %d), SymType: '%s', PDB: '%s'\n", module.path,
             module.Name(), reinterpret_cast<void*>(module.base), static_cast<int>(module.size), 0, "-unknown-",
             module.path);
    OnOutput(line);
}

void StackWalker::OnFrame(const SysStackFrame& frame)
{
    // No source lines without debug-information parsing: every frame takes the address form.
    char line[1024];
    snprintf(line, sizeof(line), "%p (%s): %s: %s\n", reinterpret_cast<void*>(frame.pc),
             frame.hasModule ? frame.ModuleName() : "(module-name not available)", "(filename not available)",
             frame.hasFunction ? frame.function : "(function-name not available)");
    OnOutput(line);
}

void StackWalker::OnError(const char* what, int code, uintptr_t address)
{
    char line[1024];
    snprintf(line, sizeof(line), "ERROR: %s, GetLastError: %d (Address: %p)\n", what, code,
             reinterpret_cast<void*>(address));
    OnOutput(line);
}

bool StackWalker::ShowCallstack(const SysCrashInfo* crash)
{
    SysModules::ForEach(StackWalkerInternal::OnModule, this);
    SysStackWalkResult result = SysStackWalk::Walk(crash != nullptr ? crash->context : nullptr,
                                                   StackWalkerInternal::OnFrame, this, SysStackWalk::MaxFrames);
    switch (result.end)
    {
    case SysStackWalkEnd::Finished: return true;
    case SysStackWalkEnd::Failed:
        OnError(result.frames == 0 ? "unw_init_local" : "unw_step", result.errorCode, result.errorAddress);
        return false;
    case SysStackWalkEnd::Endless: OnError("unw_step-Endless-Callstack!", 0, result.errorAddress); return false;
    case SysStackWalkEnd::Limit:
        OnError("unw_step-Frame-Limit-Reached!", SysStackWalk::MaxFrames, result.errorAddress);
        return false;
    }
    return false;
}
