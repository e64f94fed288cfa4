#include "Engine/world/WeRenderItemSink.h"

#include "Engine/render/WeRenderQueue.h"
#include "Platform/math/D3DXMatrixFunctions.h"

WeRenderItemSink g_RenderItemSink = nullptr;

void WeQueueRenderItem(WeMaterial* material, WeActor* actor, const D3DXMATRIX* worldMatrix, int32_t pass)
{
    if (g_RenderItemSink)
        g_RenderItemSink(material, actor, worldMatrix, pass);
    else
        g_RenderQueue.AddItem(material, actor, nullptr, 0, worldMatrix, g_RenderQueue.m_Camera);
}

const D3DXMATRIX& WeIdentityMatrix()
{
    static const D3DXMATRIX identity = []
    {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        return m;
    }();
    return identity;
}
