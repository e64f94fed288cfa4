#pragma once
#include <cstddef>
#include <cstdint>

// One frame of a call stack with what could be found out about it.
struct SysStackFrame
{
    uintptr_t pc;
    uintptr_t sp;
    bool hasFunction;
    char function[512];  // demangled where possible
    uintptr_t offset;    // pc minus the function's start
    bool hasModule;
    char modulePath[256];
    uint32_t moduleNameOffset;
    uintptr_t moduleBase;

    const char* ModuleName() const { return modulePath + moduleNameOffset; }
};

enum class SysStackWalkEnd
{
    Finished,  // reached the outermost frame
    Failed,    // the unwinder reported an error (code and address say where)
    Endless,   // a frame repeated its caller: a corrupt stack
    Limit,     // stopped at MaxFrames
};

struct SysStackWalkResult
{
    SysStackWalkEnd end;
    int frames;
    int errorCode;
    uintptr_t errorAddress;
};

// Walks the calling thread's stack with libunwind, from a signal's machine context or from the call
// site. Bounded: a corrupt or overflowed stack cannot make it loop.
class SysStackWalk
{
public:
    static constexpr int MaxFrames = 256;

    // Return false from the callback to stop early (the walk then ends as Finished).
    using FrameFn = bool (*)(const SysStackFrame& frame, void* context);

    // signalContext: the ucontext_t a signal handler received, or null to start from the caller.
    static SysStackWalkResult Walk(void* signalContext, FrameFn fn, void* context, int maxFrames = MaxFrames);

    // Demangles a C++ symbol name into out; copies the name unchanged when it is not mangled.
    static void Demangle(const char* name, char* out, size_t size);
};
