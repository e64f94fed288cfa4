#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeClothActorRenderer.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeNewParticleSystemRenderer.h"
#include "Engine/render/WeProjectorRenderer.h"
#include "Engine/render/WeTrailRenderer.h"
#include "Engine/render/WeVelocityRenderer.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeTrail.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeBaseModel.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeDrawItemPool.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeSkyBox.h"
#include "Engine/world/WeWorld.h"

WeRenderQueue g_RenderQueue;
int32_t g_RenderQueueActorsTested = 0;
int32_t g_RenderQueuePathNodesDrawn = 0;

namespace
{

// Farther than any track reaches (the far plane is 2000): keeps d = depth x 32768 and every key derived
// from it inside int32, and each blended group inside its own band.
constexpr float MaxKeyDepth = 32767.0f;

enum StateIndex
{
    StateAlphaRef,
    StateCull,
    StateFill,
    StateSourceBlend,
    StateDestBlend,
    StateStencil,
    StateCount
};

int32_t DepthKey(float depth)
{
    if (!(depth == depth))
        depth = 0.0f;
    if (depth > MaxKeyDepth)
        depth = MaxKeyDepth;
    else if (depth < -MaxKeyDepth)
        depth = -MaxKeyDepth;
    return int32_t(depth * 32768.0f);
}

int32_t BlendGroup(const WeMaterial* material, const WeActor* actor)
{
    if (!actor)
        return 1;
    const bool additive = material->m_DestinationBlend == D3DBLEND_ONE;
    int32_t group = 1;
    if (actor->m_Type == WeActorTypeTrail)
        group = additive ? 5 : 3;
    else if (actor->m_Type == WeActorTypeParticleSystem)
        group = additive ? 4 : 2;
    if (!actor->m_LoadedFromMap)
        group += 8;
    return group;
}

bool StencilPasses()
{
    return g_RenderDevice.m_RefractionOn && !g_RenderDevice.m_RefractionOption;
}

}  // namespace

int32_t ComputeShaderVariant(const WeRenderItem* item)
{
    if (!item || !item->material || g_RenderQueue.m_FillingReflectionCube)
        return 0;
    const WeMaterial* m = item->material;
    int32_t bits = 0;
    if (item->pixelLightCount > 0)
    {
        bits |= 0x80;
        if (g_RenderDevice.m_SpecularOption && m->m_Textures[2])
            bits |= 0x40;
    }
    if (g_RenderDevice.m_BumpOption && m->m_Textures[1])
        bits |= 0x20;
    const int32_t quality = g_RenderDevice.m_ReflectionQuality;
    if (quality > 0 && ((quality > 1 && m->m_Reflective) || m->m_Textures[4]))
        bits |= 0x10;
    if (item->actor && item->actor->m_LightMap.GetTexture())
        bits |= 0x08;
    if (item->vertexLightCount > 0)
        bits |= 0x04;
    if (m->m_Textures[3])
        bits |= 0x02;
    // The material keeps no second environment switch of its own: a volume map on stage 5 asks for it.
    if ((bits & 0x10) && m->m_Textures[5])
        bits |= 0x01;
    return bits;
}

WeRenderQueue::WeRenderQueue() = default;

WeRenderQueue::~WeRenderQueue()
{
    m_PlainLights.Clear();
    m_AllLights.Clear();
}

WeRenderItem* WeRenderQueue::AddItem(WeMaterial* material, WeActor* actor, WeBaseModel* model, int32_t subset,
                                     const D3DXMATRIX* worldMatrix, WeCamera* camera)
{
    if (!material || !worldMatrix)
        return nullptr;
    // A material from a failed load has no shader; RenderPass would call through it.
    if (!material->m_Shader)
        return nullptr;
    const int32_t mode = material->m_SortMode;
    if (mode != 0 && mode != 2 && mode != 4 && mode != 5 && mode != 6)
        return nullptr;

    WeRenderItem* item = g_DrawItemPool.Take();
    item->material = material;
    item->actor = actor;
    item->model = model;
    item->subset = subset;
    item->worldMatrix = worldMatrix;
    if (model && material->m_Lit)
        ChooseLights(item);

    item->depth = 0.0f;
    if (actor && camera)
    {
        const D3DXVECTOR3& c = actor->m_BoundingSphere.center;
        const D3DXMATRIX& v = camera->m_View;
        item->depth = c.x * v._13 + c.y * v._23 + c.z * v._33 + v._43;
        if (model)
            item->depth -= actor->m_BoundingSphere.radius;
    }
    item->variantFlags = ComputeShaderVariant(item);

    const int32_t d = DepthKey(item->depth);
    switch (mode)
    {
    case 0: m_OpaqueHeap.Push(item, d >> 1); break;
    case 6: m_OpaqueHeap.Push(item, (d >> 1) + 0x40000000); break;
    case 5: m_BackgroundHeap.Push(item, -d); break;
    case 2: m_BlendedHeap.Push(item, BlendGroup(material, actor) * 0x8000000 - (d >> 4)); break;
    case 4: m_LastHeap.Push(item, -d); break;
    default: break;
    }
    return item;
}

void WeRenderQueue::ChooseLights(WeRenderItem* item)
{
    if (!item)
        return;
    item->pixelLightCount = 0;
    item->vertexLightCount = 0;
    // Lights of the kind-2 flag reach only actors that take every light; an item without an actor takes the
    // plain list.
    WeList<WeLight*>& list = item->actor && item->actor->m_AllLights ? m_AllLights : m_PlainLights;
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    float radius = 0.0f;
    if (item->model)
    {
        centre = item->model->m_SphereCenter;
        radius = item->model->m_SphereRadius;
    }
    else if (item->actor)
    {
        centre = item->actor->m_BoundingSphere.center;
        radius = item->actor->m_BoundingSphere.radius;
    }
    else if (item->worldMatrix)
        centre = D3DXVECTOR3(item->worldMatrix->_41, item->worldMatrix->_42, item->worldMatrix->_43);
    for (WeList<WeLight*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
    {
        WeLight* light = node->payload;
        const D3DXVECTOR3 d = light->GetWorldPosition() - centre;
        const float reach = light->m_Range + radius;
        if (d.x * d.x + d.y * d.y + d.z * d.z > reach * reach)
            continue;
        if (light->m_Kind == 1)
        {
            if (item->pixelLightCount < WeRenderItem::MaxPixelLights)
                item->pixelLights[item->pixelLightCount++] = light;
        }
        else if (item->vertexLightCount < WeRenderItem::MaxVertexLights)
            item->vertexLights[item->vertexLightCount++] = light;
    }
}

void WeRenderQueue::RecycleItems()
{
    g_DrawItemPool.Recycle();
}

void WeRenderQueue::FreeItemPool()
{
    g_DrawItemPool.Free();
}

void WeRenderQueue::Prepare(WeWorld* world, WeCamera* camera)
{
    m_World = world;
    m_Camera = camera;
    m_PlainLights.Clear();
    m_AllLights.Clear();
    RecycleItems();
    m_OpaqueHeap.Clear();
    m_BackgroundHeap.Clear();
    m_BlendedHeap.Clear();
    m_LastHeap.Clear();
    g_ProjectorRenderer.Clear();
    g_RenderQueueActorsTested = 0;
    g_RenderQueuePathNodesDrawn = 0;
    if (!world || !camera)
        return;
    world->m_EditorDistance1Squared = world->m_EditorDistance1 * world->m_EditorDistance1;
    world->m_EditorDistance2Squared = world->m_EditorDistance2 * world->m_EditorDistance2;

    WeHashTable<WeActor*>& lights = world->GetLights();
    for (WeHashTable<WeActor*>::Entry* e = lights.First(); e != nullptr; e = lights.Next())
    {
        WeLight* light = dynamic_cast<WeLight*>(e->value);
        if (!light || !light->m_SwitchedOn || (light->m_Kind != 1 && light->m_Kind != 2) || !(light->m_Range > 0.0f))
            continue;
        if (!light->m_Dynamic && !world->m_LightsOfKind2 && !light->m_Kind2)
            continue;
        WeBoundingSphere sphere;
        sphere.center = light->GetWorldPosition();
        sphere.radius = light->m_Range;
        if (!camera->m_Frustum.IsSphereVisible(sphere))
            continue;
        m_AllLights.PushBack(light);
        if (!light->m_Kind2)
            m_PlainLights.PushBack(light);
    }

    WeHashTable<WeActor*>& actors = world->GetActors();
    for (WeHashTable<WeActor*>::Entry* e = actors.First(); e != nullptr; e = actors.Next())
    {
        WeActor* actor = e->value;
        const bool visible = world->m_EditorMode ? actor->m_ModelSwitch2 : actor->m_ModelVisible;
        if (!visible)
            continue;
        // Reflective scenery would reflect itself: it stays out of the reflection cube.
        if (m_FillingReflectionCube && actor->m_Model && actor->m_Model->m_Mesh)
        {
            const int32_t preset = actor->m_ModelPreset;
            if (preset >= 0 && preset < WeMesh::PresetCount && actor->m_Model->m_Mesh->m_ReflectiveMask[preset] != 0)
                continue;
        }
        ++g_RenderQueueActorsTested;
        const WeBoundingSphere& s = actor->m_BoundingSphere;
        if (s.radius != 0.0f)
        {
            bool outside = false;
            for (int32_t p = 0; p < WeFrustum::PlaneCount && !outside; ++p)
            {
                const D3DXPLANE& plane = camera->m_Frustum.m_Planes[p];
                outside = plane.a * s.center.x + plane.b * s.center.y + plane.c * s.center.z + plane.d < -s.radius;
            }
            if (outside)
                continue;
        }
        if (!world->IsVisibleThroughPortals(actor->m_BoundingSphere, camera) || actor->m_PendingDeletion)
            continue;
        actor->m_LastDrawnTick = world->m_TickCounter;
        if (actor->m_Type == WeActorTypePathNode)
            ++g_RenderQueuePathNodesDrawn;
        actor->Render(0);
    }
    m_OpaqueHeap.m_Queued = m_OpaqueHeap.m_Count;
    m_BackgroundHeap.m_Queued = m_BackgroundHeap.m_Count;
    m_BlendedHeap.m_Queued = m_BlendedHeap.m_Count;
    m_LastHeap.m_Queued = m_LastHeap.m_Count;
    if (m_Projectors > 0)
        g_ProjectorRenderer.Collect(world, camera);
    if (m_Flares > 0)
        g_FlareRenderer.Collect(world, camera);
}

void WeRenderQueue::Render()
{
    if (m_Camera)
    {
        g_ShaderManager.SetViewProjection(m_Camera->m_View, m_Camera->m_Projection, m_Camera);
        const float position[3] = {m_Camera->m_Position.x, m_Camera->m_Position.y, m_Camera->m_Position.z};
        const float direction[3] = {m_Camera->m_Direction.x, m_Camera->m_Direction.y, m_Camera->m_Direction.z};
        g_ShaderManager.SetCameraPosition(position);
        g_ShaderManager.SetCameraDirection(direction);
    }
    g_RenderDevice.ApplyFogParameters();

    g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
    g_RenderDevice.SetRenderState(D3DRS_ZWRITEENABLE, 1);
    g_RenderDevice.SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    g_RenderDevice.SetAlphaBlend(false);
    for (int32_t stage = 0; stage <= 6; ++stage)
        g_RenderDevice.SetSamplerFilter(stage, 3, stage == 4 || stage == 6 ? 1 : 2);

    if (m_Velocity > 0)
        g_VelocityRenderer.Draw(m_World, m_Camera);

    if (m_Sky > 0)
    {
        g_RenderDevice.DisableFog();
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 0);
        if (m_World && m_World->m_SkyBox)
            m_World->m_SkyBox->Render(m_Camera, 1.0f);
        RenderPass(1);
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
    }
    g_RenderDevice.EnableFog();

    if (StencilPasses())
    {
        g_RenderDevice.SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
        g_RenderDevice.SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
        g_RenderDevice.SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        g_RenderDevice.SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        g_RenderDevice.SetRenderState(D3DRS_STENCILREF, 1);
        g_RenderDevice.SetRenderState(D3DRS_STENCILMASK, 1);
        g_RenderDevice.SetRenderState(D3DRS_STENCILWRITEMASK, 1);
        g_RenderDevice.DisableStencil();
    }
    if (m_Opaque > 0)
        RenderPass(2);
    if (m_Projectors > 0)
        g_ProjectorRenderer.Draw(m_World, m_Camera);
    if (m_Blended > 0)
        RenderPass(4);
    if (g_RenderDevice.m_RefractionOn)
        g_RenderDevice.DisableStencil();
    g_RenderDevice.DisableFog();
    if (m_Last > 0)
        RenderPass(5);
    if (m_Flares > 0)
        g_FlareRenderer.Draw(m_World, m_Camera);
}

void WeRenderQueue::SetStateIfChanged(int32_t index, int32_t state, uint32_t value)
{
    if (m_State.known[index] && m_State.values[index] == value)
        return;
    m_State.known[index] = true;
    m_State.values[index] = value;
    switch (index)
    {
    case StateAlphaRef: g_RenderDevice.SetAlphaTest(int32_t(value)); break;
    case StateStencil:
        if (value)
            g_RenderDevice.EnableStencil();
        else
            g_RenderDevice.DisableStencil();
        break;
    default: g_RenderDevice.SetRenderState(D3DRENDERSTATETYPE(state), value); break;
    }
}

void WeRenderQueue::RenderPass(int32_t pass)
{
    WeRenderHeap* heap = nullptr;
    switch (pass)
    {
    case 1:
        heap = &m_BackgroundHeap;
        g_RenderDevice.SetAlphaBlend(true);
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 0);
        break;
    case 2:
        heap = &m_OpaqueHeap;
        g_RenderDevice.SetAlphaBlend(false);
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
        g_RenderDevice.SetRenderState(D3DRS_ZWRITEENABLE, 1);
        break;
    case 4:
        heap = &m_BlendedHeap;
        g_RenderDevice.SetAlphaBlend(true);
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
        g_RenderDevice.SetRenderState(D3DRS_ZWRITEENABLE, 0);
        break;
    case 5:
        heap = &m_LastHeap;
        g_RenderDevice.SetAlphaBlend(true);
        g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 0);
        break;
    default: break;
    }

    m_State = PassStates{};
    static float& bumpScale = GetConfigFloat("game.Render.BumpScale", 1.0f);
    static float& bumpScaleX = GetConfigFloat("game.Render.StaticBumpScale.x", 1.0f);
    static float& bumpScaleY = GetConfigFloat("game.Render.StaticBumpScale.y", 1.0f);
    static float& bumpScaleZ = GetConfigFloat("game.Render.StaticBumpScale.z", 1.0f);
    static float& specularScale = GetConfigFloat("game.Render.SpecularScale", 10.0f);
    const bool stencilPasses = StencilPasses();

    while (heap && !heap->IsEmpty())
    {
        WeRenderItem* item = heap->Pop();
        WeMaterial* material = item->material;
        WeShader* shader = material->m_Shader;
        int32_t variant = item->variantFlags;
        if (!shader->GetVariantTechnique(variant))
            variant = 0;
        if (shader != m_State.shader || variant != m_State.variant)
        {
            if (m_State.shader)
            {
                m_State.shader->EndPass();
                m_State.shader->End();
            }
            shader->SetTechnique(variant, true);
            shader->Begin(D3DXFX_DONOTSAVESTATE);
            shader->BeginPass(0);
            m_State.shader = shader;
            m_State.variant = variant;
        }
        if (material != m_State.material)
        {
            m_State.material = material;
            material->BindTextures(item->variantFlags, nullptr, 0);
            float v[3] = {material->m_StaticBumpVector[0], material->m_StaticBumpVector[1],
                          material->m_StaticBumpVector[2]};
            const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (length > 0.0f)
                for (float& c : v)
                    c /= length;
            v[0] *= bumpScaleX;
            v[1] *= bumpScaleY;
            v[2] *= bumpScaleZ;
            shader->SetMaterialParameters(material->m_MaterialStrength, material->m_EnvironmentStrength,
                                          material->m_BumpIntensity * bumpScale, v, material->m_StaticBumpIntensity,
                                          material->m_SpecularPower * specularScale, material->m_GlowAmount);
            if (material->m_Noise)
                shader->SetNoiseParameters(material->m_WaveSpeed, material->m_NoiseSpeed, material->m_NoiseScale,
                                           material->m_NoiseIntensity);
            SetStateIfChanged(StateAlphaRef, 0, uint32_t(material->m_AlphaReference));
            SetStateIfChanged(StateCull, D3DRS_CULLMODE, material->m_TwoSided ? D3DCULL_NONE : D3DCULL_CCW);
            SetStateIfChanged(StateFill, D3DRS_FILLMODE,
                              material->m_Wireframe || g_RenderDevice.m_QueueByte ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
            SetStateIfChanged(StateSourceBlend, D3DRS_SRCBLEND, uint32_t(material->m_SourceBlend));
            SetStateIfChanged(StateDestBlend, D3DRS_DESTBLEND, uint32_t(material->m_DestinationBlend));
            if (stencilPasses)
            {
                SetStateIfChanged(StateStencil, 0, material->m_Stencil ? 1u : 0u);
                if (material->m_Stencil)
                    g_RenderDevice.SetRenderState(D3DRS_STENCILZFAIL,
                                                  material->m_SortMode == 4 ? D3DSTENCILOP_REPLACE : D3DSTENCILOP_KEEP);
            }
        }
        BindItem(shader, item);
        if (item->pixelLightCount > 0)
            shader->SetPerPixelLights(item);
        if (item->vertexLightCount > 0)
            shader->SetPerVertexLights(item, item->actor && item->actor->m_AllLights ? &item->actor->m_BoundingSphere
                                                                                     : nullptr);
        shader->CommitChanges();
        DrawItem(item);
    }

    if (m_State.shader)
    {
        m_State.shader->EndPass();
        m_State.shader->End();
    }
    m_State = PassStates{};
    g_RenderDevice.SetAlphaBlend(false);
    g_RenderDevice.SetRenderState(D3DRS_ZENABLE, 1);
    g_RenderDevice.SetRenderState(D3DRS_ZWRITEENABLE, 1);
    g_RenderDevice.SetAlphaTest(0);
    g_RenderDevice.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    g_RenderDevice.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

void WeRenderQueue::BindItem(WeShader* shader, WeRenderItem* item)
{
    if (!shader || !item)
        return;
    ID3DXEffect* effect = shader->GetEffect();
    shader->SetWorldMatrix(*item->worldMatrix);
    WeActor* actor = item->actor;
    if (actor && effect && shader->m_Scaling)
    {
        const float scale[3] = {actor->m_Scale.x, actor->m_Scale.y, actor->m_Scale.z};
        effect->SetFloatArray(shader->m_Scaling, scale, 3);
    }
    // Particle systems that face the level take the camera's level basis once they exist.
    if (m_Camera && effect && shader->m_CameraRotation)
        effect->SetMatrix(shader->m_CameraRotation, &m_Camera->m_Basis);
    float colour[4] = {item->material->m_Color[0], item->material->m_Color[1], item->material->m_Color[2],
                       item->material->m_Color[3]};
    if (item->model)
        for (int i = 0; i < 4; ++i)
            colour[i] *= item->model->m_Values[i];
    shader->SetMaterialColor(colour);
    if (actor)
    {
        const float age = actor->m_World ? actor->m_World->m_WorldTime - actor->m_SpawnTime : 0.0f;
        item->material->Animate(age);
    }
    if ((item->variantFlags & 0x08) && actor)
        g_RenderDevice.SetTexture(6, actor->m_LightMap.GetTexture());
}

void WeRenderQueue::DrawItem(WeRenderItem* item)
{
    WeActor* actor = item->actor;
    // Cloth actors go to the cloth renderer, particle systems and trails to theirs.
    if (actor && actor->m_PhysicModel.physicsClass == WePhysicsCloth)
    {
        g_ClothActorRenderer.DrawClothActor(actor);
        return;
    }
    if (item->model)
    {
        if (item->model->m_Mesh)
            item->model->m_Mesh->DrawSubset(item->subset, item->depth);
        return;
    }
    if (actor && actor->m_Type == WeActorTypeParticleSystem)
        g_NewParticleSystemRenderer.RenderParticleSystem(dynamic_cast<WeNewParticleSystem*>(actor), m_Camera);
    else if (actor && actor->m_Type == WeActorTypeTrail)
        g_TrailRenderer.DrawTrail(dynamic_cast<WeTrail*>(actor));
}
