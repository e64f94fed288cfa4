// The weapon kinds' content in the pack: the models, particle templates, light assets and sounds their
// launches ask for, each of the right type.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
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
