#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CExplosionSplash.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

struct CExplosionQueue : CraftTest::TwoCraftRig
{
};

TEST_F(CExplosionQueue, DrainsInPostingOrderAndEmptiesTheQueue)
{
    const float before = b->m_Health;
    RequestSimpleExplosion(a, 10.0f, b, 1);
    RequestSimpleExplosion(a, 5.0f, b, 2);
    EXPECT_EQ(g_ExplosionRequests.Count(), 2);
    EXPECT_FLOAT_EQ(b->m_Health, before);  // posting deals nothing
    ProcessExplosionRequests();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    EXPECT_FLOAT_EQ(b->m_Health, before - 15.0f);
    EXPECT_EQ(b->m_LastDamageKind, 2);  // the later post was handled last
    EXPECT_EQ(b->m_LastAttacker, a);
    EXPECT_EQ(a->m_LastVictim, b);
    EXPECT_EQ(b->m_HitTimer, 0.0f);
    EXPECT_TRUE(b->m_HitFlash && b->m_HitRestartFlash && b->m_HitRecord);
}

TEST_F(CExplosionQueue, ClearedRequestsCreateNothing)
{
    const float before = b->m_Health;
    RequestSimpleExplosion(a, 10.0f, b, 1);
    RequestLocalizedExplosion(b->GetWorldPosition(), a, 10.0f, b, 0, 1, 0);
    ClearExplosionRequests();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, before);
    // The queue works again afterwards, on the freed nodes.
    RequestSimpleExplosion(a, 1.0f, b, 1);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, before - 1.0f);
}

TEST_F(CExplosionQueue, DestroyedInvulnerableAndUnknownDealNothing)
{
    const float before = b->m_Health;
    b->m_Destroyed = true;
    RequestSimpleExplosion(a, 10.0f, b, 1);
    RequestLocalizedExplosion(b->GetWorldPosition(), a, 10.0f, b, 0, 1, 0);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, before);
    EXPECT_FALSE(b->m_HitFlash);
    b->m_Destroyed = false;

    b->m_Invulnerable = true;
    RequestSimpleExplosion(a, 10.0f, b, 1);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, before);
    EXPECT_FALSE(b->m_HitFlash);  // no hit reaction on an invulnerable craft
    b->m_Invulnerable = false;

    CExplosionRequest& odd = g_ExplosionRequests.PushBack();
    odd = CExplosionRequest();
    odd.m_Type = 7;
    odd.m_Victim = b;
    odd.m_Damage = 10.0f;
    ProcessExplosionRequests();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    EXPECT_FLOAT_EQ(b->m_Health, before);
}

TEST_F(CExplosionQueue, QuadDamageMultipliesVisibleKindsOnly)
{
    a->m_DamageMultiplier = 4.0f;
    float health = b->m_Health;
    RequestSimpleExplosion(a, 10.0f, b, 1);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, health - 10.0f);
    health = b->m_Health;
    RequestLocalizedExplosion(b->GetWorldPosition(), a, 10.0f, b, 0, 1, 0);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, health - 40.0f);
    // Without an owner there is no multiplier; the hit craft's world holds the explosion.
    health = b->m_Health;
    RequestLocalizedExplosion(b->GetWorldPosition(), nullptr, 10.0f, b, 0, 1, 0);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, health - 10.0f);
    EXPECT_EQ(b->m_LastAttacker, nullptr);
}

TEST_F(CExplosionQueue, LocalizedKindsLiveInTheOwnersWorldForTheirLife)
{
    struct Case
    {
        int32_t visual;
        float life;
    };
    const Case cases[] = {{0, 0.1f}, {1, 0.7f}, {2, 1.0f}, {3, 1.0f}, {4, 1.0f},
                          {5, 1.0f}, {6, 0.7f}, {7, 1.0f}, {8, 1.0f}};
    for (const Case& c : cases)
    {
        CExplosionLocalized* e = new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, c.visual, 1, 0);
        EXPECT_EQ(e->m_World, a->m_World) << c.visual;
        EXPECT_EQ(e->m_Type, 4);
        // A craft's explosion lasts as long as its second model, which it keeps.
        const float life = c.visual == 8 && e->m_Models[1] ? e->m_Models[1]->m_LifeTime : c.life;
        EXPECT_FLOAT_EQ(e->m_LifeTime, life) << c.visual;
        EXPECT_TRUE(e->HasLifeTime()) << c.visual;
    }
    // Every one of them is gone once its life has run out.
    rig->Tick(80);
    SUCCEED();
}

TEST_F(CExplosionQueue, LocalizedLightFadesToZeroWithoutNaN)
{
    CExplosionLocalized* e = new CExplosionLocalized(a->GetWorldPosition(), a, 0.0f, nullptr, 1, 3, 0);
    ASSERT_NE(e->m_Light, nullptr);
    EXPECT_FLOAT_EQ(e->m_Light->m_Range, 40.0f);
    WeLight* light = e->m_Light;
    rig->Tick(20);
    EXPECT_LT(light->m_Range, 40.0f);
    EXPECT_TRUE(std::isfinite(light->m_Range));
    EXPECT_GE(light->m_Range, 0.0f);
}

TEST_F(CExplosionQueue, TranslocatorAndSlowingMarkTheCraft)
{
    new CExplosionLocalized(b->GetWorldPosition(), a, 0.0f, b, 4, 7, 0);
    EXPECT_TRUE(a->m_Translocated);
    EXPECT_TRUE(b->m_Translocated);
    EXPECT_FLOAT_EQ(b->m_TranslocationTimer, 0.0f);
    new CExplosionLocalized(b->GetWorldPosition(), a, 0.0f, b, 6, 6, 0);
    EXPECT_TRUE(b->m_Slowed);
    EXPECT_FALSE(a->m_Slowed);
}

TEST_F(CExplosionQueue, NukeSparesACraftBeyondItsGrowth)
{
    const float r = 100.0f;
    const D3DXVECTOR3 centre = b->GetWorldPosition() - D3DXVECTOR3(0.0f, 0.0f, 0.9f * r);
    CExplosionNuke* nuke = new CExplosionNuke(centre, a, r, 100.0f, 18);
    ASSERT_EQ(nuke->m_World, a->m_World);
    const float health = b->m_Health;
    struct Case
    {
        float age;
        bool hurts;
    };
    for (const Case& c : {Case{0.0f, false}, Case{1.7f, false}, Case{1.82f, true}})
    {
        // The age is the world's time since the blast; the remaining life makes up the rest of the two seconds.
        nuke->m_SpawnTime = nuke->m_World->m_WorldTime - c.age;
        nuke->m_LifeTime = CExplosionNuke::Life - c.age;
        const float before = b->m_Health;
        nuke->AffectTuber(b);
        EXPECT_EQ(b->m_Health < before, c.hurts) << c.age;
    }
    EXPECT_LT(b->m_Health, health);
}

TEST_F(CExplosionQueue, SplashSparesItsOwnerForSwarmersAndTheEngineAbility)
{
    struct Case
    {
        int32_t mode, kind;
        bool turbo;
        bool ownerHurt, otherHurt;
    };
    const Case cases[] = {
        {0, 5, false, false, true}, {0, 6, false, true, true},  {2, 21, false, false, false},
        {2, 21, true, false, true}, {1, 13, false, true, true},
    };
    for (const Case& c : cases)
    {
        a->m_Turbo = c.turbo;
        CExplosionSplash* s = new CExplosionSplash(a->GetWorldPosition(), a, 20.0f, 100.0f, c.mode, c.kind);
        const float ownerBefore = a->m_Health, otherBefore = b->m_Health;
        s->AffectTuber(a);
        s->AffectTuber(b);
        EXPECT_EQ(a->m_Health < ownerBefore, c.ownerHurt) << c.mode << " " << c.kind;
        EXPECT_EQ(b->m_Health < otherBefore, c.otherHurt) << c.mode << " " << c.kind;
        s->Expire();
    }
    a->m_Turbo = false;
}

}  // namespace
