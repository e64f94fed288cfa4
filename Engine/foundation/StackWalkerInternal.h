#pragma once

class StackWalker;
struct SysModuleInfo;
struct SysStackFrame;

// Connects a StackWalker to the system layer's module list and stack walk.
class StackWalkerInternal
{
public:
    // Callbacks for SysModules::ForEach and SysStackWalk::Walk; the context is the StackWalker.
    static bool OnModule(const SysModuleInfo& module, void* walker);
    static bool OnFrame(const SysStackFrame& frame, void* walker);
};
