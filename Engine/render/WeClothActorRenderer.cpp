#include "Engine/render/WeClothActorRenderer.h"

#include "Engine/render/WeRenderDevice.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeClothHandle.h"

WeClothActorRenderer g_ClothActorRenderer;

namespace
{

// The layout of the cloth's own vertex record, which is what the handle copies out.
const D3DVERTEXELEMENT9 ClothElements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                           {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
                                           {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                           {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
                                           {0, 44, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
                                           D3DDECL_END()};

}  // namespace

bool WeClothActorRenderer::Init()
{
    OnResetDevice();
    m_Initialised = 1;
    return true;
}

void WeClothActorRenderer::Release()
{
    if (!m_Initialised)
        return;
    OnLostDevice();
    m_Initialised = 0;
}

void WeClothActorRenderer::OnLostDevice()
{
    if (m_Declaration != nullptr)
        m_Declaration->Release();
    m_Declaration = nullptr;
}

void WeClothActorRenderer::OnResetDevice()
{
    OnLostDevice();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device != nullptr && FAILED(device->CreateVertexDeclaration(ClothElements, &m_Declaration)))
        m_Declaration = nullptr;
}

bool WeClothActorRenderer::DrawClothActor(WeActor* actor)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (actor == nullptr || device == nullptr || m_Declaration == nullptr ||
        actor->m_PhysicModel.physicsClass != WePhysicsCloth)
        return false;
    WeClothHandle* cloth = dynamic_cast<WeClothHandle*>(actor->m_PhysicHandle);
    if (cloth == nullptr || cloth->m_CopiedVertices == nullptr || cloth->m_CopiedIndices == nullptr ||
        cloth->m_CopiedVertexCount == 0 || cloth->m_CopiedIndexCount < 3)
        return false;
    device->SetVertexDeclaration(m_Declaration);
    return SUCCEEDED(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, cloth->m_CopiedVertexCount,
                                                    cloth->m_CopiedIndexCount / 3, cloth->m_CopiedIndices,
                                                    D3DFMT_INDEX32, cloth->m_CopiedVertices, VertexStride));
}
