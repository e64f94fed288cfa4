#include "Engine/foundation/StackWalkerInternal.h"

#include "Engine/foundation/StackWalker.h"

bool StackWalkerInternal::OnModule(const SysModuleInfo& module, void* walker)
{
    static_cast<StackWalker*>(walker)->OnModule(module);
    return true;
}

bool StackWalkerInternal::OnFrame(const SysStackFrame& frame, void* walker)
{
    static_cast<StackWalker*>(walker)->OnFrame(frame);
    return true;
}
