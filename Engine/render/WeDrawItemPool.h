#pragma once
#include <cstdint>

#include "Engine/render/WeRenderItem.h"

// Render items: a free chain to take from and a live chain of this frame's items, whose last item is
// kept so the whole live chain goes back to the free chain in one step.
class WeDrawItemPool
{
public:
    WeDrawItemPool() = default;
    ~WeDrawItemPool();
    WeDrawItemPool(const WeDrawItemPool&) = delete;
    WeDrawItemPool& operator=(const WeDrawItemPool&) = delete;

    // A cleared item on the live chain; allocates only when the free chain is empty.
    WeRenderItem* Take();
    // Every live item back on the free chain.
    void Recycle();
    // Deletes every item of both chains.
    void Free();

    int32_t Allocated() const { return m_Allocated; }

    WeRenderItem* m_Free = nullptr;
    WeRenderItem* m_Live = nullptr;
    WeRenderItem* m_LastLive = nullptr;

private:
    int32_t m_Allocated = 0;
};

extern WeDrawItemPool g_DrawItemPool;
