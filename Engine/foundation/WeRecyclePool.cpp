#include "Engine/foundation/WeRecyclePool.h"

#include <new>

namespace
{
// Marks a heap-backed object: no live or free block ever has this `prev`.
WeListLink g_HeapBlockTag;
WeRecyclePool* g_FirstPool = nullptr;

constexpr size_t Header = sizeof(WeListLink);
static_assert(Header % alignof(std::max_align_t) == 0, "objects must stay maximally aligned");

WeListLink* HeaderOf(void* object)
{
    return reinterpret_cast<WeListLink*>(static_cast<char*>(object) - Header);
}
void* ObjectOf(WeListLink* block)
{
    return reinterpret_cast<char*>(block) + Header;
}
}  // namespace

WeRecyclePool::WeRecyclePool(size_t objectSize, DestroyFn destroy)
    : m_Enabled(0), m_FreeBlocks(nullptr), m_Count(0), m_ObjectSize(objectSize), m_Destroy(destroy),
      m_NextPool(g_FirstPool)
{
    m_Live.next = &m_Live;
    m_Live.prev = &m_Live;
    m_Cursor = &m_Live;
    g_FirstPool = this;
#if !WE_NO_POOLS
    m_Enabled = 1;
#endif
}

WeRecyclePool::~WeRecyclePool()
{
    Destroy();
    for (WeRecyclePool** p = &g_FirstPool; *p != nullptr; p = &(*p)->m_NextPool)
    {
        if (*p == this)
        {
            *p = m_NextPool;
            break;
        }
    }
}

void WeRecyclePool::Enable()
{
    m_Enabled = 1;
}

void* WeRecyclePool::Allocate(size_t size)
{
    if (!m_Enabled || size > m_ObjectSize)
    {
        // A class derived from the pooled one may be larger than a block: it gets the heap.
        WeListLink* block = static_cast<WeListLink*>(::operator new(Header + size));
        block->next = nullptr;
        block->prev = &g_HeapBlockTag;
        return ObjectOf(block);
    }
    WeListLink* block = m_FreeBlocks;
    if (block != nullptr)
        m_FreeBlocks = block->next;
    else
        block = static_cast<WeListLink*>(::operator new(Header + m_ObjectSize));
    block->next = &m_Live;
    block->prev = m_Live.prev;
    m_Live.prev->next = block;
    m_Live.prev = block;
    ++m_Count;
    m_Cursor = block;
    return ObjectOf(block);
}

void WeRecyclePool::Unlink(WeListLink* block)
{
    WeListLink* following = block->next;
    block->prev->next = following;
    following->prev = block->prev;
    if (m_Cursor == block)
        m_Cursor = following;
    block->prev = nullptr;
    block->next = m_FreeBlocks;
    m_FreeBlocks = block;
    --m_Count;
}

void WeRecyclePool::Release(void* object)
{
    if (object == nullptr)
        return;
    WeListLink* block = HeaderOf(object);
    if (block->prev == &g_HeapBlockTag)
    {
        ::operator delete(block);
        return;
    }
    if (block->prev == nullptr)
        return;  // already released
    Unlink(block);
    if (!m_Enabled)
        ClearFreeBlocks();
}

int32_t WeRecyclePool::FreeCount() const
{
    int32_t n = 0;
    for (const WeListLink* block = m_FreeBlocks; block != nullptr; block = block->next)
        ++n;
    return n;
}

void WeRecyclePool::Destroy()
{
    if (m_Enabled)
    {
        m_Cursor = m_Live.next;
        while (m_Count > 0 && m_Cursor != &m_Live)
        {
            WeListLink* block = m_Cursor;
            m_Destroy(ObjectOf(block));
            // The destructor may have deleted siblings, which moved the cursor past them; the
            // block that follows is read only now.
            if (block->prev != nullptr)
                Unlink(block);
        }
    }
    m_Enabled = 0;
    while (m_Live.next != &m_Live)
        Unlink(m_Live.next);
    ClearFreeBlocks();
    m_Cursor = &m_Live;
}

void WeRecyclePool::ClearFreeBlocks()
{
    while (m_FreeBlocks != nullptr)
    {
        WeListLink* block = m_FreeBlocks;
        m_FreeBlocks = block->next;
        ::operator delete(block);
    }
}

void WeRecyclePool::DestroyAll()
{
    for (WeRecyclePool* pool = g_FirstPool; pool != nullptr; pool = pool->m_NextPool)
        pool->Destroy();
}
