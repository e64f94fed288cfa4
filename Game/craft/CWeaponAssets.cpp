#include "Game/craft/CWeaponAssets.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"

CWeaponAssets g_WeaponAssets;
CForceFieldMineModels& g_ForceFieldMineModels = g_WeaponAssets.m_ForceFieldMine;

namespace
{
void Record(const char* name, const char* kind, bool found)
{
    g_WeaponAssets.m_Requests.push_back(CTuberAssetRequest{name, kind, found});
    if (!found)
        DebugLogPrintf("MISSING %s %s", kind, name);
}

WeModel* LoadModel(const char* name)
{
    WeModel* model = g_ModelManager.Load(name, 0);
    Record(name, "model", model != nullptr);
    return model;
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

// A light whose file is missing keeps its defaults, so the kinds always have one to copy.
WeLight* LoadLight(const char* name)
{
    WeLight* light = new WeLight();
    WeVirtualFileSystem* files = WeVirtualFileSystem::Instance();
    const bool found = files->Open(name, PackageTypeFromExtension("light"));
    if (found)
    {
        light->LoadProperties(*files->GetStream());
        files->Close();
    }
    Record(name, "light", found);
    return light;
}
}  // namespace

void LoadWeaponAssets()
{
    CWeaponAssets& a = g_WeaponAssets;
    if (a.m_Loaded)
        return;
    a.m_Requests.clear();
    a.m_StandardLaser = LoadModel("Weapons.Models.StandardLaser");
    a.m_DoubleBolt = LoadModel("Weapons.Models.DoubleBolt");
    a.m_QuantumPrefire = LoadModel("Weapons.Models.QuantumPrefire");
    a.m_QuantumBolt = LoadModel("Weapons.Models.QuantumBolt");
    a.m_SlowingRocket = LoadModel("Weapons.Models.SlowingRocket");
    a.m_FrontFieldGenerator = LoadModel("Weapons.Models.FrontFieldGenerator");
    a.m_MiniGunAmmo = LoadModel("Weapons.Models.MiniGunAmmo");
    a.m_NuclearWarhead = LoadModel("Weapons.Models.NuclearWarhead");
    a.m_ContactMine = LoadModel("Weapons.Models.ContactMine");
    a.m_SingularityMine = LoadModel("Weapons.Models.SingularityMine");
    a.m_HomingMine = LoadModel("Weapons.Models.HomingMine");
    a.m_ProximityMine = LoadModel("Weapons.Models.ProximityMine");
    a.m_ForceFieldMine.m_Mine = LoadModel("Weapons.Models.ForceFieldMine");
    a.m_ForceFieldMine.m_Field = LoadModel("Weapons.Models.ForceFieldMineField");
    a.m_MotionMine = LoadModel("Weapons.Models.MotionMine");
    a.m_StealthMine = LoadModel("Weapons.Models.StealthMine");
    a.m_NukeMine = LoadModel("Weapons.Models.NukeMine");
    a.m_ElectricMine = LoadModel("Weapons.Models.ElectricMine");
    a.m_EMPMine = LoadModel("Weapons.Models.EMPMine");
    a.m_HomingMissileParticles[0] = LoadParticles("Assets.Weapons.HomingMissile1");
    a.m_HomingMissileParticles[1] = LoadParticles("Assets.Weapons.HomingMissile2");
    a.m_HomingMissileLight = LoadLight("Assets.Weapons.HomingMissile");
    a.m_SwarmerLight = LoadLight("Assets.Weapons.Swarmer");
    a.m_QuantumPrefireParticles = LoadParticles("Assets.Weapons.QuantumPrefire");
    a.m_QuantumBoltParticles[0] = LoadParticles("Assets.Weapons.QuantumBolt1");
    a.m_QuantumBoltParticles[1] = LoadParticles("Assets.Weapons.QuantumBolt2");
    a.m_SlowingRocketParticles = LoadParticles("Assets.Weapons.SlowingRocket");
    a.m_TranslocatorAuraParticles = LoadParticles("Assets.Weapons.TranslocatorAura1");
    a.m_GravityMineParticles[0] = LoadParticles("Assets.Weapons.GravityMine1");
    a.m_GravityMineParticles[1] = LoadParticles("Assets.Weapons.GravityMine2");
    a.m_GravityMineParticles[2] = LoadParticles("Assets.Weapons.GravityMine3");
    a.m_Loaded = true;
}

void ReleaseWeaponAssets()
{
    CWeaponAssets& a = g_WeaponAssets;
    for (WeModel** model :
         {&a.m_StandardLaser, &a.m_DoubleBolt, &a.m_QuantumPrefire, &a.m_QuantumBolt, &a.m_SlowingRocket,
          &a.m_FrontFieldGenerator, &a.m_MiniGunAmmo, &a.m_NuclearWarhead, &a.m_ContactMine, &a.m_SingularityMine,
          &a.m_HomingMine, &a.m_ProximityMine, &a.m_ForceFieldMine.m_Mine, &a.m_ForceFieldMine.m_Field, &a.m_MotionMine,
          &a.m_StealthMine, &a.m_NukeMine, &a.m_ElectricMine, &a.m_EMPMine})
    {
        delete *model;
        *model = nullptr;
    }
    for (WeNewParticleSystem** system :
         {&a.m_HomingMissileParticles[0], &a.m_HomingMissileParticles[1], &a.m_QuantumPrefireParticles,
          &a.m_QuantumBoltParticles[0], &a.m_QuantumBoltParticles[1], &a.m_SlowingRocketParticles,
          &a.m_TranslocatorAuraParticles, &a.m_GravityMineParticles[0], &a.m_GravityMineParticles[1],
          &a.m_GravityMineParticles[2]})
    {
        delete *system;
        *system = nullptr;
    }
    for (WeLight** light : {&a.m_HomingMissileLight, &a.m_SwarmerLight})
    {
        delete *light;
        *light = nullptr;
    }
    a.m_Loaded = false;
}
