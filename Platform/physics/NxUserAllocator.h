#pragma once
#include <cstddef>

#include "Platform/physics/NxTypes.h"

enum NxMemoryType
{
    NX_MEMORY_PERSISTENT = 0,
    NX_MEMORY_TEMP = 1
};

// Memory interface the SDK allocates through. The slot order is fixed.
class NxUserAllocator
{
public:
    virtual void* mallocDEBUG(size_t size, const char* fileName, int line) = 0;
    virtual void* malloc(size_t size, NxMemoryType type) = 0;
    virtual void* mallocDEBUG(size_t size, const char* fileName, int line, const char* className,
                              NxMemoryType type) = 0;
    virtual void* malloc(size_t size) = 0;
    virtual void* realloc(void* memory, size_t size) = 0;
    virtual void free(void* memory) = 0;
    virtual void check() {}
    virtual ~NxUserAllocator() = default;
};

// The SDK's own allocator (the C heap). Never null.
NxUserAllocator* NxGetPhysicsSDKAllocator();
