#include "Engine/render/WeFlareRenderer.h"

WeFlareRenderer g_FlareRenderer;

WeFlareRenderer::~WeFlareRenderer() = default;

bool WeFlareRenderer::Init()
{
    if (m_Initialized)
        return true;
    m_Initialized = true;
    OnResetDevice();
    ClearLights();
    return true;
}

void WeFlareRenderer::Release()
{
    ClearLights();
    m_Initialized = false;
}

void WeFlareRenderer::RemoveLight(WeLight* light)
{
    for (WeList<FlareRecord>::Node* node = m_Flares.FirstNode(); node != nullptr;)
    {
        WeList<FlareRecord>::Node* next = m_Flares.NextNode(node);
        if (node->payload.light == light)
            m_Flares.Remove(node);
        node = next;
    }
}

void WeFlareRenderer::ClearLights()
{
    m_Flares.Reset();
}
