#pragma once
#include "Platform/physics/NxUserAllocator.h"

// The character-controller manager's memory: straight to the C heap.
class ControllerManagerAllocator : public NxUserAllocator
{
public:
    void* mallocDEBUG(size_t size, const char* fileName, int line) override;
    void* malloc(size_t size, NxMemoryType type) override;
    void* mallocDEBUG(size_t size, const char* fileName, int line, const char* className, NxMemoryType type) override;
    void* malloc(size_t size) override;
    void* realloc(void* memory, size_t size) override;
    void free(void* memory) override;
    void check() override {}
};
