// The weapon kinds' content in the pack: the models, particle templates, light assets and sounds their
// launches ask for, each of the right type.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeParticleEmitter.h"
#include "Game/craft/CWeaponAssets.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct WeaponsContent : CraftTest::ContentRig
{
};

bool Asked(const char* name)
{
    for (const CTuberAssetRequest& r : g_WeaponAssets.requests)
        if (r.name == name)
            return true;
    return false;
}

TEST_F(WeaponsContent, TheFlyingKindsResourcesAreLoaded)
{
    ASSERT_TRUE(g_WeaponAssets.loaded);
    for (const char* name : {"Weapons.Models.DoubleBolt", "Weapons.Models.QuantumBolt", "Weapons.Models.QuantumPrefire",
                             "Weapons.Models.MiniGunAmmo", "Weapons.Models.SlowingRocket",
                             "Weapons.Models.NuclearWarhead", "Weapons.Models.FrontFieldGenerator"})
    {
        EXPECT_TRUE(Asked(name)) << name;
        WeModel* model = g_WeaponAssets.Model(name);
        ASSERT_NE(model, nullptr) << name;
        EXPECT_EQ(model->m_Kind, WeModel::KindMesh) << name;
    }
    for (const char* name :
         {"Assets.Weapons.HomingMissile1", "Assets.Weapons.HomingMissile2", "Assets.Weapons.QuantumPrefire",
          "Assets.Weapons.QuantumBolt1", "Assets.Weapons.QuantumBolt2", "Assets.Weapons.SlowingRocket",
          "Assets.Weapons.TranslocatorAura1"})
    {
        EXPECT_TRUE(Asked(name)) << name;
        EXPECT_NE(g_WeaponAssets.Particles(name), nullptr) << name;
    }
    for (const char* name : {"Assets.Weapons.HomingMissile", "Assets.Weapons.Swarmer"})
    {
        WeLight* light = g_WeaponAssets.Light(name);
        ASSERT_NE(light, nullptr) << name;
        EXPECT_EQ(light->m_Kind, 2) << name;
        EXPECT_GT(light->m_Range, 0.0f) << name;
    }
    EXPECT_NE(g_WeaponAssets.trailMaterial, nullptr);
}

// Every name the loader recorded was found, and every model of its list is a mesh model: no launch of any
// kind, mines included, goes without its model, template, light or trail material.
TEST_F(WeaponsContent, EveryNameTheLoaderAskedForIsPacked)
{
    ASSERT_TRUE(g_WeaponAssets.loaded);
    EXPECT_FALSE(g_WeaponAssets.requests.empty());
    for (const CTuberAssetRequest& r : g_WeaponAssets.requests)
        EXPECT_TRUE(r.found) << r.kind << " " << r.name;
    for (const char* name : CWeaponAssets::ModelNames)
    {
        EXPECT_TRUE(Asked(name)) << name;
        WeModel* model = g_WeaponAssets.Model(name);
        ASSERT_NE(model, nullptr) << name;
        EXPECT_EQ(model->m_Kind, WeModel::KindMesh) << name;
    }
    for (const char* name : CWeaponAssets::ParticleNames)
        EXPECT_NE(g_WeaponAssets.Particles(name), nullptr) << name;
    EXPECT_EQ(g_ForceFieldMineModels.mine, g_WeaponAssets.Model("Weapons.Models.ForceFieldMine"));
    EXPECT_EQ(g_ForceFieldMineModels.field, g_WeaponAssets.Model("Weapons.Models.ForceFieldMineField"));
    EXPECT_NE(g_ForceFieldMineModels.mine, nullptr);
    EXPECT_NE(g_ForceFieldMineModels.field, nullptr);
}

// The swarm rocket has no model: its flare is the spark it is seen by, so the flare is on and its texture
// packed (a missing one draws an untextured square); the same holds for every light asset with a flare.
TEST_F(WeaponsContent, TheLightAssetsFlaresAreDrawable)
{
    ASSERT_NE(g_WeaponAssets.Light("Assets.Weapons.Swarmer"), nullptr);
    EXPECT_TRUE(g_WeaponAssets.Light("Assets.Weapons.Swarmer")->m_Flare);
    for (const char* name : {"Assets.Weapons.HomingMissile", "Assets.Weapons.Swarmer"})
    {
        WeLight* light = g_WeaponAssets.Light(name);
        ASSERT_NE(light, nullptr) << name;
        if (!light->m_Flare)
            continue;
        EXPECT_GT(light->m_FlareValues[0], 0.0f) << name;
        EXPECT_GT(light->m_FlareSpriteValues[0], 0.0f) << name;
        EXPECT_NE(g_TextureManager.GetTexture(light->m_FlareTextureName, false, 0, false), nullptr) << name;
    }
}

// The charge stage has no model either: its glow is its particles. Each timed emitter of the one-second charge
// makes a tighter cloud than the one before, of dots large and opaque enough to be seen from a chase camera.
TEST_F(WeaponsContent, TheChargeGlowGathersInOverItsSecond)
{
    WeNewParticleSystem* system = g_WeaponAssets.Particles("Assets.Weapons.QuantumPrefire");
    ASSERT_NE(system, nullptr);
    ASSERT_GE(system->m_Emitters.Count(), 2);
    float total = 0.0f, spread = 1e9f;
    for (const WeParticleEmitter& e : system->m_Emitters)
    {
        EXPECT_GT(e.duration, 0.0f);
        total += e.duration;
        EXPECT_LT(e.positionSpread[0], spread);
        spread = e.positionSpread[0];
        EXPECT_GE(e.startSize[0], 0.5f);
        EXPECT_GE(e.startColor[3], 0.5f);
        EXPECT_GT(e.rate[0], 0.0f);
    }
    EXPECT_NEAR(total, 1.0f, 1e-4f);
}

// The front field is two actors of one model: preset 0 draws the glowing outer sphere, preset 1 a fainter inner
// shell, and each leaves the other's shell adding nothing (both shells in both actors burn the field white).
TEST_F(WeaponsContent, TheFrontFieldsPresetsShowOneShellEach)
{
    WeModel* model = g_WeaponAssets.Model("Weapons.Models.FrontFieldGenerator");
    ASSERT_NE(model, nullptr);
    WeMesh* mesh = model->m_Mesh;
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->m_SubsetCount, 2);
    mesh->SetPreset(0, false);
    mesh->SetPreset(1, false);
    const auto alpha = [&](int32_t preset, int32_t subset)
    {
        const WeMaterial* m = mesh->m_Presets[preset].materials[subset];
        return m ? m->m_Color[3] : -1.0f;
    };
    // Subset 0 is the outer shell, 1 the inner.
    EXPECT_GT(alpha(0, 0), 0.0f);
    EXPECT_FLOAT_EQ(alpha(0, 1), 0.0f);
    EXPECT_FLOAT_EQ(alpha(1, 0), 0.0f);
    EXPECT_GT(alpha(1, 1), 0.0f);
    EXPECT_LT(alpha(1, 1), alpha(0, 0));
}

TEST_F(WeaponsContent, TheKindsSoundsArePacked)
{
    for (const char* name :
         {"Sounds.Weapons.MiniGunShoot1", "Sounds.Weapons.MiniGunShoot2", "Sounds.Weapons.MiniGunShoot3",
          "Sounds.Weapons.QuantumBolt", "Sounds.Weapons.QuantumPrefire", "Sounds.Weapons.StandardRocketLaunch",
          "Sounds.Weapons.StandardRocketEngine", "Sounds.Weapons.SwarmerLaunch", "Sounds.Weapons.SlowingRocketLaunch",
          "Sounds.Weapons.SlowingRocketEngine", "Sounds.Weapons.TranslocatorLaunch",
          "Sounds.Weapons.TranslocatorEngine", "Sounds.Weapons.ForceField", "Sounds.Mines.MineDrop",
          "Sounds.Mines.HomingMine", "Sounds.Mines.GravityMine", "Sounds.Mines.ForceField", "Sounds.Mines.Electricity"})
        EXPECT_TRUE(CraftTest::InPack(name, "ogg")) << name;
}

}  // namespace
