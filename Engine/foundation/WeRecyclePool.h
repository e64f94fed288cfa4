#pragma once
#include "Engine/foundation/WeList.h"

#include <cstddef>
#include <cstdint>

// The block store behind one pooled class. A block is a pair of list links followed by the storage
// of one object; the object's address is just after the links. Live blocks form a list, released
// blocks a free stack, and memory goes back to the heap only when the pool is destroyed. While the
// pool is disabled (before it is enabled, after it is destroyed, or in builds without pools), and
// for requests larger than the class, objects come from the heap behind the same two-link header,
// marked so that delete always knows where a pointer came from. Main thread only.
class WeRecyclePool
{
public:
    using DestroyFn = void (*)(void* object);  // runs the object's destructor without freeing it

    WeRecyclePool(size_t objectSize, DestroyFn destroy);
    ~WeRecyclePool();
    WeRecyclePool(const WeRecyclePool&) = delete;
    WeRecyclePool& operator=(const WeRecyclePool&) = delete;

    void* Allocate(size_t size);
    void Release(void* object);

    // Turns pooling on (done when the pool is created, except in builds without pools).
    void Enable();
    // Destroys every live object (a destructor may delete siblings of the same class), disables
    // the pool and frees every block. Later allocations go to the heap.
    void Destroy();
    // Frees the free blocks.
    void ClearFreeBlocks();

    bool IsEnabled() const { return m_Enabled != 0; }
    int32_t LiveCount() const { return m_Count; }
    int32_t FreeCount() const;
    size_t ObjectSize() const { return m_ObjectSize; }

    // Destroys every pool that exists, for the explicit shutdown.
    static void DestroyAll();

private:
    void Unlink(WeListLink* block);

    uint8_t m_Enabled;
    WeListLink m_Live;         // next = first live block, prev = last
    WeListLink* m_FreeBlocks;  // stack through next
    int32_t m_Count;
    WeListLink* m_Cursor;
    size_t m_ObjectSize;
    DestroyFn m_Destroy;
    WeRecyclePool* m_NextPool;
};
