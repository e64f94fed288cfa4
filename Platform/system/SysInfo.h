#pragma once
#include <cstddef>
#include <cstdint>

// One processor as the kernel lists it. Missing fields stay empty (name) or zero (MHz).
struct SysProcessorInfo
{
    char name[64];
    int mhz;
    bool hasName;
    bool hasMhz;
};

// Memory figures in bytes. Virtual memory is the kernel's commit limit and what is left of it.
struct SysMemoryInfo
{
    uint64_t totalPhysical;
    uint64_t availablePhysical;
    uint32_t memoryLoad;  // percent of physical memory in use
    uint64_t totalVirtual;
    uint64_t availableVirtual;
};

// Facts about the machine for log headers, read from uname and /proc. Reads use fixed buffers and no
// allocation, so the crash handler may call them.
class SysInfo
{
public:
    using ProcessorFn = void (*)(const SysProcessorInfo& processor, void* context);

    // "<system> <release> <version> <machine>" as uname reports them, truncated to fit.
    static void GetOsVersion(char* out, size_t size);

    // Calls back once per processor, in the kernel's order; returns the count (0 when unreadable).
    static int ForEachProcessor(ProcessorFn fn, void* context);
    static int ForEachProcessorIn(const char* cpuinfoPath, ProcessorFn fn, void* context);

    static bool GetMemory(SysMemoryInfo& out);
    static bool GetMemoryFrom(const char* meminfoPath, SysMemoryInfo& out);
};
