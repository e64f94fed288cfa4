// The explosion kinds' visuals on the rig: the visual table's bounds, the models by visual index, the flare's
// values over time, the shockwave and a life of 0.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionSimple.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/COneShotSounds.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct CExplosionKinds : CraftTest::TwoCraftRig
{
    int32_t ModelActors()
    {
        int32_t n = 0;
        WeWorld* world = a->m_World;
        for (auto* e = world->GetActors().First(); e; e = world->GetActors().Next())
            n += e->value->m_Type == WeActorTypePlain && e->value->m_Model && !e->value->m_Parent;
        return n;
    }
    void SetAge(CExplosionLocalized* e, float age, float whole)
    {
        e->m_SpawnTime = e->m_World->m_WorldTime - age;
        e->m_LifeTime = whole - age;
    }
};

TEST_F(CExplosionKinds, ModelsCountIsKeptWithinTheTableAndTheSlots)
{
    struct Case
    {
        const char* count;
        int32_t stored, spawned;
    };
    for (const Case& c : {Case{"9", 8, 6}, Case{"-3", 0, 0}, Case{"2", 2, 2}})
    {
        ConfigOverride count("Explosions.Tuber.ModelsCount", c.count);
        ConfigOverride names[8] = {
            {"Explosions.Tuber.Model1", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model2", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model3", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model4", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model5", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model6", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model7", "Weapons.Explosion.ExplosionMiniGun"},
            {"Explosions.Tuber.Model8", "Weapons.Explosion.ExplosionMiniGun"},
        };
        ConfigOverride life("Explosions.Tuber.LifeTime1", "nan");
        CExplosionLocalized::LoadVisualTable();
        const CExplosionVisualSet& set = CExplosionLocalized::s_VisualTable[8];
        EXPECT_EQ(set.count, c.stored) << c.count;
        if (set.count > 0)
        {
            EXPECT_EQ(set.entries[0].lifeTime, 0.0f);  // a "nan" reads as the default
        }
        const int32_t before = ModelActors();
        CExplosionLocalized* e = new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, 0, 3, 0);
        e->SpawnVisuals(8);
        EXPECT_EQ(ModelActors() - before, c.spawned) << c.count;
        rig->Tick(200);
    }
    CExplosionLocalized::LoadVisualTable();
}

TEST_F(CExplosionKinds, TheModelsOfIndexZeroByKind)
{
    // The owner stands where the blast is: the model goes to the centre, with no NaN.
    for (int32_t kind : {3, 1, 2})
    {
        const int32_t before = ModelActors();
        new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, 0, kind, 0);
        EXPECT_EQ(ModelActors() - before, kind == 3 ? 0 : 1) << kind;
        rig->Tick(100);
    }
    // A bolt's impact sits three units beyond the centre, away from the owner.
    const D3DXVECTOR3 centre = a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 20.0f);
    new CExplosionLocalized(centre, a, 0.0f, nullptr, 0, 1, 0);
    bool found = false;
    for (auto* e = a->m_World->GetActors().First(); e; e = a->m_World->GetActors().Next())
        if (e->value->m_Type == WeActorTypePlain && e->value->m_Model && !e->value->m_Parent)
        {
            const D3DXVECTOR3 p = e->value->GetWorldPosition();
            if (std::fabs(p.z - (centre.z + 3.0f)) < 0.01f && std::fabs(p.x - centre.x) < 0.01f)
                found = true;
        }
    EXPECT_TRUE(found);
}

TEST_F(CExplosionKinds, TheFlareRisesThenFades)
{
    CExplosionLocalized* e = new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, 2, 4, 0);
    ASSERT_NE(e->m_Light, nullptr);
    WeLight* light = e->m_Light;
    EXPECT_TRUE(light->m_Flare);
    EXPECT_EQ(std::string(light->m_FlareTextureName.c_str()), "Flare.Flare3Quantumlaser.Corona");
    struct Case
    {
        float age, six, first, second;
    };
    // Over a whole life of 1 s: rising over the first 0.1 s, then f = (age - 0.1) / 0.9.
    for (const Case& c : {Case{0.05f, 0.5f, 0.35f, 0.3f}, Case{0.91f, 0.1f, 1.42f, 0.06f}})
    {
        SetAge(e, c.age, 1.0f);
        e->Tick();
        for (int i = 0; i < 6; ++i)
        {
            EXPECT_NEAR(light->m_FlareSpriteValues[i], c.six, 1e-4f) << c.age;
            EXPECT_NEAR(light->m_KeyFrames.Front().values[i], c.six, 1e-4f) << c.age;
        }
        EXPECT_NEAR(light->m_FlareValues[0], c.first, 1e-4f) << c.age;
        EXPECT_NEAR(light->m_FlareValues[1], c.second, 1e-4f) << c.age;
    }
}

TEST_F(CExplosionKinds, TheShockwaveGrowsAndFadesAndALifeOfZeroStaysFinite)
{
    CExplosionLocalized* e = new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, 8, 0, 0);
    ASSERT_NE(e->m_Shockwave, nullptr);
    EXPECT_EQ(e->m_ShockwaveScale, 250.0f);
    SetAge(e, 0.25f, 1.0f);
    e->Tick();
    EXPECT_NEAR(e->m_Shockwave->m_Scale.x, 125.0f, 1e-3f);
    EXPECT_NEAR(e->m_Shockwave->m_Model->m_Values[3], 0.5f, 1e-4f);
    // No life at all: every value the tick writes stays a number.
    SetAge(e, 0.0f, 0.0f);
    e->Tick();
    EXPECT_TRUE(std::isfinite(e->m_Shockwave->m_Scale.x));
    EXPECT_TRUE(std::isfinite(e->m_Shockwave->m_Model->m_Values[3]));
    ASSERT_NE(e->m_Light, nullptr);
    EXPECT_TRUE(std::isfinite(e->m_Light->m_Range));
    if (e->m_Models[1])
    {
        EXPECT_TRUE(std::isfinite(e->m_Models[1]->m_Scale.x));
    }
    rig->Tick(200);
}

// The same on a track with its road and walls as bodies, so that geometry can hide a blast.
struct CExplosionKindsWalled : CExplosionKinds
{
    RaceRigOptions RigOptions() override
    {
        RaceRigOptions o = CraftTest::Options(2);
        o.trackBodies = true;
        return o;
    }
};

TEST_F(CExplosionKindsWalled, ACraftsExplosionShakesThePlayersCameraOnlyAheadInSight)
{
    CGameCamera camera;
    CGameCamera* savedCamera = g_Game.m_Camera;
    CTuber* savedPlayer = g_Game.m_PlayerTuber;
    g_Game.m_Camera = &camera;
    g_Game.m_PlayerTuber = a;
    CraftTest::FaceAlongZ(a);
    struct Case
    {
        const char* what;
        D3DXVECTOR3 offset;
        bool shakes;
    };
    // Ahead in the open; behind; ahead but under the road; ahead but beyond the channel's wall (the road is
    // 16 wide, its walls 2 high, the player stands 1.5 up).
    const Case cases[] = {{"ahead", D3DXVECTOR3(0.0f, 0.0f, 30.0f), true},
                          {"behind", D3DXVECTOR3(0.0f, 0.0f, -30.0f), false},
                          {"under the road", D3DXVECTOR3(0.0f, -30.0f, 30.0f), false},
                          {"beyond the wall", D3DXVECTOR3(60.0f, 0.0f, 30.0f), false}};
    for (const Case& c : cases)
    {
        camera.Shake(CGameCamera::NoShake, 0.0f);
        new CExplosionLocalized(a->GetWorldPosition() + c.offset, b, 0.0f, nullptr, 8, 0, 0);
        EXPECT_EQ(camera.m_ShakeMode == 1 && camera.m_ShakeDuration == 0.4f, c.shakes) << c.what;
        rig->Tick(200);
        CraftTest::FaceAlongZ(a);
    }
    g_Game.m_Camera = savedCamera;
    g_Game.m_PlayerTuber = savedPlayer;
}

// Each kind plays its sound with a digit of 1 or 2 (both come up over a few seeds), the nuke its one sound.
TEST_F(CExplosionKinds, SoundsCarryTheirDigit)
{
    const D3DXVECTOR3 centre = a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 20.0f);
    struct Case
    {
        const char* stem;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"Sounds.Explosions.StandardRocket", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 1, 3, 0); }},
        {"Sounds.Explosions.Swarmer", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 1, 5, 0); }},
        {"Sounds.Explosions.QuantumBolt", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 2, 4, 0); }},
        {"Sounds.Explosions.Translocator", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 4, 0, 0); }},
        {"Sounds.Explosions.SlowingRocket", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 6, 0, 0); }},
        {"Sounds.Explosions.TuberExplosion", [&] { new CExplosionLocalized(centre, a, 0.0f, nullptr, 8, 0, 0); }},
        {"Sounds.Explosions.HomingMineExplosion", [&] { new CExplosionSplash(centre, a, 5.0f, 0.0f, 0, 9); }},
    };
    for (const Case& c : cases)
    {
        bool seen[3] = {};
        for (uint32_t seed = 1; seed <= 12; ++seed)
        {
            ClearOneShotSounds();
            SysRandom::Seed(seed * 2654435761u);  // spread: small seeds all start low
            c.make();
            const int32_t one = CountOneShotSounds(WeString((std::string(c.stem) + "1").c_str()));
            const int32_t two = CountOneShotSounds(WeString((std::string(c.stem) + "2").c_str()));
            EXPECT_EQ(one + two, 1) << c.stem << " seed " << seed;
            EXPECT_EQ(CountOneShotSounds(WeString(c.stem)), 0) << c.stem;
            EXPECT_EQ(CountOneShotSounds(WeString((std::string(c.stem) + "3").c_str())), 0) << c.stem;
            seen[1] = seen[1] || one == 1;
            seen[2] = seen[2] || two == 1;
            rig->Tick(100);
        }
        EXPECT_TRUE(seen[1] && seen[2]) << c.stem;
    }
    ClearOneShotSounds();
    new CExplosionNuke(centre, a, 10.0f, 0.0f, 18);
    EXPECT_EQ(CountOneShotSounds(WeString("Sounds.Explosions.NukeExplosion")), 1);
    rig->Tick(200);
    ClearOneShotSounds();
}

std::vector<int32_t> LiveCounts()
{
    return {CExplosionLocalized::Pool().LiveCount(), CExplosionNuke::Pool().LiveCount(),
            CExplosionSplash::Pool().LiveCount(),    CExplosionSimple::Pool().LiveCount(),
            CWeaponPlasmaBolt::Pool().LiveCount(),   WeLight::Pool().LiveCount(),
            WeNewParticleSystem::Pool().LiveCount(), WeModel::Pool().LiveCount()};
}

// A race torn down with every explosion kind, a bolt in flight and a request still queued leaves every pool's
// live count where it was before the race (the pools count only when they are on).
TEST(CExplosionPools, LiveCountsReturnOnceTheWorldIsGone)
{
    CraftTest::Catalogue catalogue;
    const std::vector<int32_t> before = LiveCounts();
    {
        CraftTest::ArmedRace race;
        ASSERT_TRUE(race.Start());
        race.RivalAhead(200.0f);
        CTuber* a = race.a;
        const D3DXVECTOR3 centre = a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 20.0f);
        for (int32_t visual = 0; visual < CExplosionLocalized::VisualCount; ++visual)
            new CExplosionLocalized(centre, a, 0.0f, nullptr, visual, 1, 0);
        new CExplosionNuke(centre, a, 10.0f, 0.0f, 18);
        for (int32_t mode = 0; mode < 3; ++mode)
            new CExplosionSplash(centre, a, 5.0f, 0.0f, mode, 9);
        CWeapon::Fire(a, 1, 0);
        race.rig.Tick(4);
        RequestLocalizedExplosion(centre, a, 0.0f, nullptr, 0, 1, 0);
#ifndef WE_NO_POOLS
        // The counts are live: the blasts are still there when the world goes.
        EXPECT_GT(LiveCounts()[0], before[0]);
        EXPECT_GT(LiveCounts()[1], before[1]);
#endif
    }
    EXPECT_EQ(LiveCounts(), before);
}

}  // namespace
