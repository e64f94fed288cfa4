#include "Game/craft/CWeaponAssets.h"

#include <cstring>

#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"

CWeaponAssets g_WeaponAssets;
CForceFieldMineModels g_ForceFieldMineModels;

const char* const CWeaponAssets::ModelNames[ModelCount] = {
    "Weapons.Models.StandardLaser",  "Weapons.Models.DoubleBolt",
    "Weapons.Models.QuantumPrefire", "Weapons.Models.QuantumBolt",
    "Weapons.Models.SlowingRocket",  "Weapons.Models.FrontFieldGenerator",
    "Weapons.Models.MiniGunAmmo",    "Weapons.Models.NuclearWarhead",
    "Weapons.Models.ContactMine",    "Weapons.Models.SingularityMine",
    "Weapons.Models.HomingMine",     "Weapons.Models.ProximityMine",
    "Weapons.Models.ForceFieldMine", "Weapons.Models.ForceFieldMineField",
    "Weapons.Models.MotionMine",     "Weapons.Models.StealthMine",
    "Weapons.Models.NukeMine",       "Weapons.Models.ElectricMine",
    "Weapons.Models.EMPMine",
};

const char* const CWeaponAssets::ParticleNames[ParticleCount] = {
    "Assets.Weapons.HomingMissile1",    "Assets.Weapons.HomingMissile2", "Assets.Weapons.QuantumPrefire",
    "Assets.Weapons.QuantumBolt1",      "Assets.Weapons.QuantumBolt2",   "Assets.Weapons.SlowingRocket",
    "Assets.Weapons.TranslocatorAura1", "Assets.Weapons.GravityMine1",   "Assets.Weapons.GravityMine2",
    "Assets.Weapons.GravityMine3",
};

const char* const CWeaponAssets::LightNames[LightCount] = {"Assets.Weapons.HomingMissile", "Assets.Weapons.Swarmer"};

namespace
{
template <typename T>
T* Find(const char* name, const char* const* names, T* const* items, int32_t count)
{
    if (!name)
        return nullptr;
    for (int32_t i = 0; i < count; ++i)
        if (std::strcmp(names[i], name) == 0)
            return items[i];
    return nullptr;
}

void Record(const char* name, const char* kind, bool found)
{
    g_WeaponAssets.requests.push_back(CTuberAssetRequest{name, kind, found});
    if (!found)
        DebugLogPrintf("MISSING %s %s", kind, name);
}

WeNewParticleSystem* LoadParticles(const char* name)
{
    WeNewParticleSystem* system = new WeNewParticleSystem();
    const bool found = system->LoadDefinition(WeVirtualFileSystem::Instance(), name);
    Record(name, "particles", found);
    if (!found)
    {
        delete system;
        return nullptr;
    }
    return system;
}

WeLight* LoadLight(const char* name)
{
    WeVirtualFileSystem* files = WeVirtualFileSystem::Instance();
    bool found = false;
    WeLight* light = new WeLight();
    if (files->Open(name, PackageTypeFromExtension("light")))
    {
        found = light->LoadProperties(*files->GetStream());
        files->Close();
    }
    Record(name, "light", found);
    if (!found)
    {
        delete light;
        return nullptr;
    }
    return light;
}
}  // namespace

WeModel* CWeaponAssets::Model(const char* name) const
{
    return Find(name, ModelNames, models, ModelCount);
}

WeNewParticleSystem* CWeaponAssets::Particles(const char* name) const
{
    return Find(name, ParticleNames, particles, ParticleCount);
}

WeLight* CWeaponAssets::Light(const char* name) const
{
    return Find(name, LightNames, lights, LightCount);
}

void LoadWeaponAssets()
{
    CWeaponAssets& a = g_WeaponAssets;
    if (a.loaded)
        return;
    a.requests.clear();
    for (int32_t i = 0; i < CWeaponAssets::ModelCount; ++i)
    {
        a.models[i] = g_ModelManager.Load(CWeaponAssets::ModelNames[i], 0);
        Record(CWeaponAssets::ModelNames[i], "model", a.models[i] != nullptr);
    }
    // The missile's two systems load before the lights, the rest after them.
    constexpr int32_t ParticlesBeforeLights = 2;
    for (int32_t i = 0; i < ParticlesBeforeLights; ++i)
        a.particles[i] = LoadParticles(CWeaponAssets::ParticleNames[i]);
    for (int32_t i = 0; i < CWeaponAssets::LightCount; ++i)
        a.lights[i] = LoadLight(CWeaponAssets::LightNames[i]);
    for (int32_t i = ParticlesBeforeLights; i < CWeaponAssets::ParticleCount; ++i)
        a.particles[i] = LoadParticles(CWeaponAssets::ParticleNames[i]);
    a.trailMaterial = g_MaterialManager.GetMaterial("Materials.Trails.Tuber", false, false);
    Record("Materials.Trails.Tuber", "material", a.trailMaterial != nullptr);
    g_ForceFieldMineModels.mine = a.Model("Weapons.Models.ForceFieldMine");
    g_ForceFieldMineModels.field = a.Model("Weapons.Models.ForceFieldMineField");
    a.loaded = true;
}

void ReleaseWeaponAssets()
{
    CWeaponAssets& a = g_WeaponAssets;
    for (WeModel*& model : a.models)
    {
        delete model;
        model = nullptr;
    }
    for (WeNewParticleSystem*& system : a.particles)
    {
        delete system;
        system = nullptr;
    }
    for (WeLight*& light : a.lights)
    {
        delete light;
        light = nullptr;
    }
    a.trailMaterial = nullptr;
    g_ForceFieldMineModels = CForceFieldMineModels();
    a.loaded = false;
}
