#include "Engine/render/WeRenderTargetManager.h"

#include "Engine/render/WeRenderTarget.h"

WeRenderTargetManager g_RenderTargetManager;

WeRenderTargetManager::~WeRenderTargetManager()
{
    ReleaseAll();
}

WeRenderTarget* WeRenderTargetManager::CreateTarget(int32_t width, int32_t height, D3DFORMAT format,
                                                    int32_t multisampleType, int32_t quality)
{
    WeRenderTarget* target = new WeRenderTarget();
    if (!target->Create2D(width, height, format, multisampleType, quality))
    {
        delete target;
        return nullptr;
    }
    m_Targets.PushBack(target);
    return target;
}

WeRenderTarget* WeRenderTargetManager::CreateCubeTarget(int32_t size, D3DFORMAT format)
{
    WeRenderTarget* target = new WeRenderTarget();
    if (!target->CreateCube(size, format))
    {
        delete target;
        return nullptr;
    }
    m_Targets.PushBack(target);
    return target;
}

void WeRenderTargetManager::ReleaseTarget(WeRenderTarget* target)
{
    if (target == nullptr)
        return;
    for (WeList<WeRenderTarget*>::Node* node = m_Targets.FirstNode(); node != nullptr; node = m_Targets.NextNode(node))
    {
        if (node->payload == target)
        {
            delete target;
            m_Targets.Remove(node);
            return;
        }
    }
}

void WeRenderTargetManager::ReleaseAll()
{
    for (WeList<WeRenderTarget*>::Node* node = m_Targets.FirstNode(); node != nullptr; node = m_Targets.NextNode(node))
        delete node->payload;
    m_Targets.Clear();
}

void WeRenderTargetManager::OnLostDevice()
{
    for (WeList<WeRenderTarget*>::Node* node = m_Targets.FirstNode(); node != nullptr; node = m_Targets.NextNode(node))
        node->payload->ReleaseResources();
}

void WeRenderTargetManager::OnResetDevice()
{
    for (WeList<WeRenderTarget*>::Node* node = m_Targets.FirstNode(); node != nullptr; node = m_Targets.NextNode(node))
        node->payload->Recreate();
}
