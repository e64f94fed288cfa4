#include "Game/craft/CExplosionAssets.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeWorld.h"

std::vector<CExplosionAssetRequest> CExplosionAssets::s_Requests;

namespace
{
struct NamedParticles
{
    std::string name;
    WeNewParticleSystem* system = nullptr;
};

// Entries are never moved once made, so the pointers handed out stay valid until Release.
std::vector<std::unique_ptr<CExplosionModelAsset>> s_Models;
std::vector<NamedParticles> s_Particles;

WeNewParticleSystem* ReadTemplate(const char* name)
{
    WeNewParticleSystem* system = new WeNewParticleSystem();
    if (system->LoadDefinition(WeVirtualFileSystem::Instance(), name))
        return system;
    delete system;
    return nullptr;
}

float MeanPlusHalfSpread(const float pair[2])
{
    return pair[0] + std::fabs(pair[1]) * 0.5f;
}
}  // namespace

void CExplosionAssets::Record(const char* name, const char* kind, bool found)
{
    s_Requests.push_back(CExplosionAssetRequest{name, kind, found});
    if (!found)
        DebugLogPrintf("MISSING %s %s\n", kind, name);
}

const CExplosionModelAsset* CExplosionAssets::FindModel(const char* name)
{
    if (!name)
        return nullptr;
    for (const std::unique_ptr<CExplosionModelAsset>& asset : s_Models)
        if (asset->name == name)
            return asset->model ? asset.get() : nullptr;
    return nullptr;
}

const CExplosionModelAsset* CExplosionAssets::LoadModel(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (const std::unique_ptr<CExplosionModelAsset>& asset : s_Models)
        if (asset->name == name)
        {
            Record(name, "model", asset->model != nullptr);
            return asset->model ? asset.get() : nullptr;
        }
    BeginBusy();
    auto asset = std::make_unique<CExplosionModelAsset>();
    asset->name = name;
    asset->model = g_ModelManager.Load(name, 0);
    Record(name, "model", asset->model != nullptr);
    // A model's particle system is the definition of the same name; most explosion models have one.
    asset->particles = asset->model ? ReadTemplate(name) : nullptr;
    asset->particleDuration = ParticleDuration(asset->particles);
    EndBusy();
    s_Models.push_back(std::move(asset));
    return s_Models.back()->model ? s_Models.back().get() : nullptr;
}

WeNewParticleSystem* CExplosionAssets::FindParticles(const char* name)
{
    if (!name)
        return nullptr;
    for (const NamedParticles& p : s_Particles)
        if (p.name == name)
            return p.system;
    return nullptr;
}

WeNewParticleSystem* CExplosionAssets::LoadParticles(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (const NamedParticles& p : s_Particles)
        if (p.name == name)
        {
            Record(name, "particles", p.system != nullptr);
            return p.system;
        }
    BeginBusy();
    WeNewParticleSystem* system = ReadTemplate(name);
    EndBusy();
    Record(name, "particles", system != nullptr);
    s_Particles.push_back(NamedParticles{name, system});
    return system;
}

WeTexture* CExplosionAssets::LoadTexture(const char* name)
{
    BeginBusy();
    WeTexture* texture = g_TextureManager.GetTexture(name, false, 0, false);
    EndBusy();
    Record(name, "texture", texture != nullptr);
    return texture;
}

float CExplosionAssets::ParticleDuration(const WeNewParticleSystem* system)
{
    if (!system)
        return 0.0f;
    float timed = 0.0f, longestLife = 0.0f;
    bool any = false;
    for (const WeList<WeParticleEmitter>::Node* node = system->m_Emitters.FirstNode(); node;
         node = system->m_Emitters.NextNode(node))
    {
        const WeParticleEmitter& e = node->payload;
        if (!(e.duration > 0.0f))
            continue;
        any = true;
        timed += e.duration;
        const float life = MeanPlusHalfSpread(e.fadeIn) + MeanPlusHalfSpread(e.sustain) + MeanPlusHalfSpread(e.fadeOut);
        if (life > longestLife)
            longestLife = life;
    }
    const float duration = any ? timed + longestLife : 0.0f;
    return std::isfinite(duration) && duration > 0.0f ? duration : 0.0f;
}

WeActor* CExplosionAssets::SpawnModel(WeWorld* world, const CExplosionModelAsset* asset, const D3DXVECTOR3& position,
                                      float scale, float lifeTime, int32_t preset)
{
    if (!world || !asset || !asset->model)
        return nullptr;
    WeActor* actor = new WeActor();
    actor->m_Model = g_ModelManager.Clone(asset->model);
    actor->m_ModelPreset = preset;
    actor->SetLocation(position);
    if (scale != 1.0f)
        actor->SetScaling(D3DXVECTOR3(scale, scale, scale));
    if (lifeTime >= 0.0f)
        actor->SetLifeTime(lifeTime);
    world->AddActor(actor);
    // The copy stands where the model stands and lives as long; it is not parented, since a parented system's
    // bounds stay where it was made and the render queue would cull it there.
    if (asset->particles && lifeTime >= 0.0f)
        SpawnParticles(world, asset->particles, actor->GetWorldMatrix(), lifeTime, nullptr);
    return actor;
}

WeNewParticleSystem* CExplosionAssets::SpawnParticles(WeWorld* world, WeNewParticleSystem* templ,
                                                      const D3DXMATRIX& transform, float lifeTime, WeActor* parent)
{
    if (!world || !templ)
        return nullptr;
    WeNewParticleSystem* system = new WeNewParticleSystem();
    templ->CopyTo(system);
    if (parent)
        system->SetParent(parent);
    else
        system->SetTransform(transform);
    if (lifeTime >= 0.0f)
        system->SetLifeTime(lifeTime);
    world->AddActor(system);
    return system;
}

void CExplosionAssets::Release()
{
    for (std::unique_ptr<CExplosionModelAsset>& asset : s_Models)
    {
        delete asset->model;
        delete asset->particles;
    }
    s_Models.clear();
    for (NamedParticles& p : s_Particles)
        delete p.system;
    s_Particles.clear();
    s_Requests.clear();
}
