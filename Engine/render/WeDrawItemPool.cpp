#include "Engine/render/WeDrawItemPool.h"

#include <initializer_list>

WeDrawItemPool g_DrawItemPool;

WeDrawItemPool::~WeDrawItemPool()
{
    Free();
}

WeRenderItem* WeDrawItemPool::Take()
{
    WeRenderItem* item = m_Free;
    if (item)
        m_Free = item->next;
    else
    {
        item = new WeRenderItem();
        ++m_Allocated;
    }
    *item = WeRenderItem();
    item->next = m_Live;
    if (!m_Live)
        m_LastLive = item;
    m_Live = item;
    return item;
}

void WeDrawItemPool::Recycle()
{
    if (!m_Live)
        return;
    m_LastLive->next = m_Free;
    m_Free = m_Live;
    m_Live = nullptr;
    m_LastLive = nullptr;
}

void WeDrawItemPool::Free()
{
    for (WeRenderItem** chain : {&m_Free, &m_Live})
    {
        while (*chain)
        {
            WeRenderItem* next = (*chain)->next;
            delete *chain;
            *chain = next;
        }
    }
    m_LastLive = nullptr;
    m_Allocated = 0;
}
