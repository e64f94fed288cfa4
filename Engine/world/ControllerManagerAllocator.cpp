#include "Engine/world/ControllerManagerAllocator.h"

#include <cstdlib>

void* ControllerManagerAllocator::mallocDEBUG(size_t size, const char*, int)
{
    return malloc(size);
}

void* ControllerManagerAllocator::malloc(size_t size, NxMemoryType)
{
    return malloc(size);
}

void* ControllerManagerAllocator::mallocDEBUG(size_t size, const char*, int, const char*, NxMemoryType)
{
    return malloc(size);
}

void* ControllerManagerAllocator::malloc(size_t size)
{
    return std::malloc(size);
}

void* ControllerManagerAllocator::realloc(void* memory, size_t size)
{
    return std::realloc(memory, size);
}

void ControllerManagerAllocator::free(void* memory)
{
    std::free(memory);
}
