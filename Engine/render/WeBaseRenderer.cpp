#include "Engine/render/WeBaseRenderer.h"

WeBaseRenderer::WeBaseRenderer(int32_t initOrder) : m_InitOrder(initOrder)
{
    GetRendererList().PushBack(this);
}

// Renderers live for the whole run; one that goes away earlier (a test's) leaves the walks.
WeBaseRenderer::~WeBaseRenderer()
{
    WeList<WeBaseRenderer*>& list = GetRendererList();
    for (WeList<WeBaseRenderer*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
    {
        if (node->payload == this)
        {
            list.Remove(node);
            break;
        }
    }
}

WeList<WeBaseRenderer*>& WeBaseRenderer::GetRendererList()
{
    // Never destroyed: a renderer's exit-time destructor may still look for itself in it.
    static WeList<WeBaseRenderer*>* list = new WeList<WeBaseRenderer*>();
    return *list;
}
