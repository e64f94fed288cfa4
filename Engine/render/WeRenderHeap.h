#pragma once
#include <cstdint>

struct WeRenderItem;

// A growable binary min-heap of render items by integer key. Equal keys keep no particular order
// beyond what the sift rules give, which the queue's tests rely on.
class WeRenderHeap
{
public:
    struct Entry
    {
        WeRenderItem* item;
        int32_t key;
    };
    static constexpr int32_t InitialCapacity = 16;

    WeRenderHeap();
    ~WeRenderHeap();
    WeRenderHeap(const WeRenderHeap&) = delete;
    WeRenderHeap& operator=(const WeRenderHeap&) = delete;

    void Push(WeRenderItem* item, int32_t key);
    // The item of the smallest key, or null when empty.
    WeRenderItem* Pop();
    void Clear() { m_Count = 0; }
    bool IsEmpty() const { return m_Count == 0; }

    int32_t m_Count = 0;
    int32_t m_Capacity = InitialCapacity;
    Entry* m_Entries = nullptr;
    int32_t m_Queued = 0;  // the count when Prepare finished, for statistics
};
