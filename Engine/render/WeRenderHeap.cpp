#include "Engine/render/WeRenderHeap.h"

#include <cstring>

WeRenderHeap::WeRenderHeap() : m_Entries(new Entry[InitialCapacity]) {}

WeRenderHeap::~WeRenderHeap()
{
    delete[] m_Entries;
}

void WeRenderHeap::Push(WeRenderItem* item, int32_t key)
{
    if (m_Count == m_Capacity)
    {
        Entry* grown = new Entry[size_t(m_Capacity) * 4];
        std::memcpy(grown, m_Entries, sizeof(Entry) * size_t(m_Count));
        delete[] m_Entries;
        m_Entries = grown;
        m_Capacity *= 4;
    }
    int32_t i = m_Count++;
    while (i > 0)
    {
        const int32_t parent = (i - 1) / 2;
        if (!(key < m_Entries[parent].key))
            break;
        m_Entries[i] = m_Entries[parent];
        i = parent;
    }
    m_Entries[i] = {item, key};
}

WeRenderItem* WeRenderHeap::Pop()
{
    if (m_Count == 0)
        return nullptr;
    WeRenderItem* top = m_Entries[0].item;
    const Entry last = m_Entries[--m_Count];
    int32_t i = 0;
    for (;;)
    {
        const int32_t left = 2 * i + 1;
        if (left >= m_Count)
            break;
        int32_t child = left;
        if (left + 1 < m_Count && m_Entries[left + 1].key < m_Entries[left].key)
            child = left + 1;
        if (last.key < m_Entries[child].key)
            break;
        m_Entries[i] = m_Entries[child];
        i = child;
    }
    if (m_Count > 0)
        m_Entries[i] = last;
    return top;
}
