#pragma once
#include <cstddef>
#include <cstdint>

// One loaded image (the executable, a shared library or the vDSO).
struct SysModuleInfo
{
    char path[512];       // full path; the executable's from /proc/self/exe
    uint32_t nameOffset;  // where the file name starts in path
    uintptr_t base;       // lowest mapped address of the image
    uint32_t size;        // span of its loaded segments
    uint8_t buildId[32];  // GNU build id, when the image carries one
    uint32_t buildIdSize;

    const char* Name() const { return path + nameOffset; }
};

// The process's loaded images, from the dynamic loader's list. No allocation.
class SysModules
{
public:
    // Return false from the callback to stop early.
    using ModuleFn = bool (*)(const SysModuleInfo& module, void* context);

    // Returns the number of modules reported.
    static int ForEach(ModuleFn fn, void* context);
};
