// The explosion kinds' visuals on the rig: the visual table's bounds, the models by visual index, the flare's
// values over time, the shockwave and a life of 0.
#include <gtest/gtest.h>

#include <cmath>

#include "Engine/render/WeModel.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionAssets.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
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

}  // namespace
