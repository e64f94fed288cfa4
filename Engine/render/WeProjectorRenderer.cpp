#include "Engine/render/WeProjectorRenderer.h"

#include "Engine/render/WeBaseModel.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderItem.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeBoundingSphere.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"

WeProjectorRenderer g_ProjectorRenderer;

namespace
{

WeBoundingSphere ItemSphere(const WeRenderItem* item)
{
    WeBoundingSphere sphere;
    sphere.center = item->model->m_SphereCenter;
    sphere.radius = item->model->m_SphereRadius;
    return sphere;
}

}  // namespace

WeProjectorRenderer::~WeProjectorRenderer()
{
    // Plain memory only: nothing of the device.
    for (WeRenderHeap* heap : m_Heaps)
        delete heap;
}

bool WeProjectorRenderer::Init()
{
    if (m_Initialised)
        return true;
    m_Spot = g_ShaderManager.GetShader("Shaders.Projectors.ProjectorSpot", false, false);
    m_Omni = g_ShaderManager.GetShader("Shaders.Projectors.ProjectorOmni", false, false);
    m_Initialised = 1;
    OnResetDevice();
    return true;
}

void WeProjectorRenderer::Release()
{
    Clear();
    m_Spot = m_Omni = nullptr;
    m_Initialised = 0;
}

WeRenderHeap* WeProjectorRenderer::TakeHeap()
{
    if (m_HeapsUsed == m_Heaps.size())
        m_Heaps.push_back(new WeRenderHeap());
    WeRenderHeap* heap = m_Heaps[m_HeapsUsed++];
    heap->Clear();
    return heap;
}

int32_t WeProjectorRenderer::MaterialKey(WeMaterial* material)
{
    for (size_t i = 0; i < m_Materials.size(); ++i)
        if (m_Materials[i] == material)
            return int32_t(i);
    m_Materials.push_back(material);
    return int32_t(m_Materials.size() - 1);
}

void WeProjectorRenderer::Clear()
{
    for (WeRenderHeap* heap : m_Heaps)
        heap->Clear();
    m_HeapsUsed = 0;
    m_OmniList.clear();
    m_SpotList.clear();
    m_Materials.clear();
}

void WeProjectorRenderer::Collect(WeWorld* world, WeCamera* camera)
{
    if (!g_RenderDevice.m_ProjectorOption || world == nullptr || camera == nullptr)
        return;
    WeHashTable<WeActor*>& lights = world->GetLights();
    for (WeHashTable<WeActor*>::Entry* e = lights.First(); e != nullptr; e = lights.Next())
    {
        WeLight* light = dynamic_cast<WeLight*>(e->value);
        if (light == nullptr || !light->m_Projector || !light->m_SwitchedOn)
            continue;
        WeBoundingSphere sphere;
        sphere.center = light->GetWorldPosition();
        sphere.radius = light->m_Range;
        if (!camera->m_Frustum.IsSphereVisible(sphere))
            continue;
        Projector p{light, TakeHeap()};
        (light->m_OmniProjector ? m_OmniList : m_SpotList).push_back(p);
    }
    if (m_OmniList.empty() && m_SpotList.empty())
        return;
    const WeRenderHeap& opaque = g_RenderQueue.m_OpaqueHeap;
    for (int32_t i = opaque.m_Count - 1; i >= 0; --i)
    {
        WeRenderItem* item = opaque.m_Entries[i].item;
        if (item != nullptr && item->actor != nullptr && item->actor->m_RenderSwitch3 && item->model != nullptr &&
            item->material != nullptr && item->material->m_SortMode == 0)
            OfferItem(item);
    }
}

void WeProjectorRenderer::OfferItem(WeRenderItem* item)
{
    if (item == nullptr || item->model == nullptr || item->material == nullptr)
        return;
    const WeBoundingSphere sphere = ItemSphere(item);
    for (Projector& p : m_OmniList)
    {
        const D3DXVECTOR3 d = sphere.center - p.light->GetWorldPosition();
        const float reach = p.light->m_Range + sphere.radius;
        // The lit flag is what lets a material take projections.
        if (d.x * d.x + d.y * d.y + d.z * d.z < reach * reach && item->actor != p.light->m_Parent &&
            item->material->m_Lit)
            p.heap->Push(item, MaterialKey(item->material));
    }
    for (Projector& p : m_SpotList)
        if (p.light->m_ProjectorFrustum.IsSphereVisible(sphere) && item->actor != p.light->m_Parent)
            p.heap->Push(item, MaterialKey(item->material));
}

void WeProjectorRenderer::Draw(WeWorld* world, WeCamera* camera)
{
    (void)world;
    (void)camera;
    if (!m_Initialised || !g_RenderDevice.m_ProjectorOption)
        return;
    WeRenderDevice& d = g_RenderDevice;
    d.SetAlphaBlend(true);
    d.SetRenderState(D3DRS_ZENABLE, 1);
    d.SetRenderState(D3DRS_ZWRITEENABLE, 0);
    DrawOmni();
    DrawSpot();
    d.SetAlphaBlend(false);
}

void WeProjectorRenderer::DrawOmni()
{
    if (m_OmniList.empty() || m_Omni == nullptr || m_Omni->GetEffect() == nullptr || !m_Omni->SetTechnique(0, false))
        return;
    if (m_Omni->Begin(0) == 0)
        return;
    if (SUCCEEDED(m_Omni->BeginPass(0)))
    {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (Projector& p : m_OmniList)
        {
            WeMaterial* material = p.light->m_ProjectorMaterial;
            if (material == nullptr)
                continue;
            material->m_Shader = m_Omni;
            const D3DXMATRIX& world = p.light->GetWorldMatrix();
            const float position[3] = {world._41, world._42, world._43};
            g_ShaderManager.SetSharedFloats(g_ShaderManager.m_ProjectorPosition, position, 3);
            g_ShaderManager.SetSharedMatrix(g_ShaderManager.m_ProjectorMatrix, world);
            while (WeRenderItem* item = p.heap->Pop())
            {
                m_Omni->SetWorldMatrix(item->worldMatrix != nullptr ? *item->worldMatrix : identity);
                material->BindTextures(0x10, nullptr, 0);
                m_Omni->SetMaterialColor(material->m_Color);
                if (m_Omni->m_MaterialStrength != nullptr)
                    m_Omni->GetEffect()->SetFloat(m_Omni->m_MaterialStrength, material->m_MaterialStrength);
                m_Omni->CommitChanges();
                if (item->model->m_Mesh != nullptr)
                    item->model->m_Mesh->DrawSubset(item->subset, 0.0f);
            }
        }
        m_Omni->EndPass();
    }
    m_Omni->End();
}

void WeProjectorRenderer::DrawSpot()
{
    if (m_SpotList.empty() || m_Spot == nullptr || m_Spot->GetEffect() == nullptr || !m_Spot->SetTechnique(0, false))
        return;
    if (m_Spot->Begin(0) == 0)
        return;
    WeRenderDevice& d = g_RenderDevice;
    if (SUCCEEDED(m_Spot->BeginPass(0)))
    {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        WeMaterial* previous = nullptr;
        for (Projector& p : m_SpotList)
        {
            WeMaterial* material = p.light->m_ProjectorMaterial;
            if (material == nullptr)
                continue;
            material->m_Shader = m_Spot;
            const D3DXMATRIX& world = p.light->GetWorldMatrix();
            const float position[3] = {world._41, world._42, world._43};
            const float direction[3] = {world._31, world._32, world._33};
            g_ShaderManager.SetSharedFloats(g_ShaderManager.m_ProjectorPosition, position, 3);
            g_ShaderManager.SetSharedFloats(g_ShaderManager.m_ProjectorDirection, direction, 3);
            g_ShaderManager.SetSharedMatrix(g_ShaderManager.m_ProjectorMatrix, p.light->m_ProjectorViewProjection);
            m_Spot->SetMaterialColor(material->m_Color);
            material->BindTextures(0, nullptr, 6);
            const float age = p.light->m_World != nullptr ? p.light->m_World->m_WorldTime - p.light->m_SpawnTime : 0.0f;
            material->Animate(age);
            d.SetSamplerFilter(6, 3, 3);
            if (previous == nullptr || previous->m_AlphaReference != material->m_AlphaReference)
                d.SetAlphaTest(material->m_AlphaReference);
            if (previous == nullptr || previous->m_TwoSided != material->m_TwoSided)
                d.SetRenderState(D3DRS_CULLMODE, material->m_TwoSided ? D3DCULL_NONE : D3DCULL_CCW);
            if (previous == nullptr || previous->m_SourceBlend != material->m_SourceBlend)
                d.SetRenderState(D3DRS_SRCBLEND, DWORD(material->m_SourceBlend));
            if (previous == nullptr || previous->m_DestinationBlend != material->m_DestinationBlend)
                d.SetRenderState(D3DRS_DESTBLEND, DWORD(material->m_DestinationBlend));
            previous = material;
            while (WeRenderItem* item = p.heap->Pop())
            {
                m_Spot->SetWorldMatrix(item->worldMatrix != nullptr ? *item->worldMatrix : identity);
                m_Spot->CommitChanges();
                if (item->model->m_Mesh != nullptr)
                    item->model->m_Mesh->DrawSubset(item->subset, 0.0f);
            }
        }
        m_Spot->EndPass();
    }
    m_Spot->End();
}
