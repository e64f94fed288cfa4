#include "Platform/physics/NxUserAllocator.h"

#include <cstdlib>

namespace
{

class HeapAllocator final : public NxUserAllocator
{
public:
    void* mallocDEBUG(size_t size, const char*, int) override { return std::malloc(size); }
    void* malloc(size_t size, NxMemoryType) override { return std::malloc(size); }
    void* mallocDEBUG(size_t size, const char*, int, const char*, NxMemoryType) override { return std::malloc(size); }
    void* malloc(size_t size) override { return std::malloc(size); }
    void* realloc(void* memory, size_t size) override { return std::realloc(memory, size); }
    void free(void* memory) override { std::free(memory); }
};

}  // namespace

NxUserAllocator* NxGetPhysicsSDKAllocator()
{
    // Constructed on first use: streams may allocate during static initialisation.
    static HeapAllocator s_allocator;
    return &s_allocator;
}
