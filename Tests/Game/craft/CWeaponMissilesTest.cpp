#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeTrail.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponFrontFieldGenerator.h"
#include "Game/craft/CWeaponHomingMissile.h"
#include "Game/craft/CWeaponNuclearWarhead.h"
#include "Game/craft/CWeaponSlowingRocket.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Game/craft/CWeaponTranslocator.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CScreenEffects.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tests/Game/craft/WeaponKindsTestSupport.h"

namespace
{
using WeaponTest::Dot;
using WeaponTest::Find;
using WeaponTest::Forward;
using WeaponTest::Length;

struct CWeaponMissiles : CraftTest::TwoCraftRig
{
    void Settle()
    {
        for (CWeapon* x : Find<CWeapon>(a->m_World))
            x->Expire();
        WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
        WeaponTest::Place(b, D3DXVECTOR3(40.0f, 2.0f, 900.0f));
        if (CTuber* c = rig->Craft(2))
            WeaponTest::Place(c, D3DXVECTOR3(-40.0f, 2.0f, 1200.0f));
        a->m_LockTarget = nullptr;
        a->m_LockLevel = 0.0f;
        rig->Tick();
        WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
        ClearExplosionRequests();
    }
    CWeapon* FireOne(int32_t kind)
    {
        const std::vector<CWeapon*> before = Find<CWeapon>(a->m_World);
        CWeapon::Fire(a, kind, 0);
        std::vector<CWeapon*> after = Find<CWeapon>(a->m_World);
        return after.size() > before.size() ? after.back() : nullptr;
    }
};

// Without a complete lock the homing kinds have no target and fly straight; with one they turn toward an
// enemy in their cone.
TEST_F(CWeaponMissiles, HomingNeedsACompleteLock)
{
    for (int32_t kind : {3, 5, 6, 7})
    {
        for (bool locked : {false, true})
        {
            SCOPED_TRACE(testing::Message() << "kind " << kind << (locked ? " locked" : " unlocked"));
            Settle();
            WeaponTest::Place(b, D3DXVECTOR3(15.0f, 2.0f, 420.0f));
            a->m_LockTarget = b;
            a->m_LockLevel = locked ? 1.0f : 0.5f;
            CWeapon* w = FireOne(kind);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->m_Target, locked ? b : nullptr);
            rig->Tick(8);
            const D3DXVECTOR3 v = w->m_FlightVelocity;
            if (locked)
            {
                EXPECT_GT(v.x, 0.5f);
            }
            else
            {
                EXPECT_NEAR(v.x, 0.0f, 1e-3f);
                EXPECT_NEAR(v.z, g_WeaponDescriptions.Get(kind).m_Speed, 1e-3f);
            }
        }
    }
}

// The burst's rockets corkscrew in alternating senses about their flight and carry their index as the
// request's extra value.
TEST_F(CWeaponMissiles, SwarmIndicesAlternateSpinAndRideAsTheExtra)
{
    Settle();
    CWeapon::Fire(a, 5, 0);
    EXPECT_EQ(a->m_SwarmerBurstCount, 1);
    rig->Tick(64);
    std::vector<CWeaponSwarmer*> swarm = Find<CWeaponSwarmer>(a->m_World);
    ASSERT_GE(swarm.size(), 2u);
    for (CWeaponSwarmer* s : swarm)
    {
        SCOPED_TRACE(s->m_SwarmIndex);
        EXPECT_EQ(s->m_LaunchIndex, s->m_SwarmIndex);
        const float spin = Dot(s->m_PendingAngularVelocity, WeaponTest::Forward(s));
        EXPECT_NEAR(std::fabs(spin), 50.0f, 1.0f);
        EXPECT_EQ(spin > 0.0f, s->m_SwarmIndex % 2 == 0);
    }
    ClearExplosionRequests();
    CWeaponSwarmer* second = swarm[1];
    second->OnCollision(b);
    ASSERT_EQ(g_ExplosionRequests.Count(), 1);
    const CExplosionRequest r = g_ExplosionRequests.Front();
    EXPECT_EQ(r.m_Extra, second->m_SwarmIndex);
    EXPECT_EQ(r.m_VisualIndex, 1);
    EXPECT_EQ(r.m_Victim, b);
    EXPECT_NEAR(Length(r.m_Position - (second->GetWorldPosition() - Forward(second))), 0.0f, 1e-3f);
}

TEST_F(CWeaponMissiles, HomingMissileTrailClearsOnTeleport)
{
    Settle();
    auto* missile = dynamic_cast<CWeaponHomingMissile*>(FireOne(3));
    ASSERT_NE(missile, nullptr);
    ASSERT_NE(missile->m_Trail, nullptr);
    ASSERT_NE(missile->m_Exhaust, nullptr);
    EXPECT_NEAR(missile->m_LifeTime, 20.0f, 0.1f);
    rig->Tick(20);
    EXPECT_GT(missile->m_Trail->GetTriangleCount(), 0);
    missile->OnTeleport();
    EXPECT_EQ(missile->m_Trail->GetTriangleCount(), 0);
}

// A light asset's light follows the switch: the asset's reach with lights on, none with them off.
TEST_F(CWeaponMissiles, AssetLightsFollowTheSwitch)
{
    for (const char* on : {"1", "0"})
    {
        ConfigOverride lights("Weapons.Light.Enabled", on);
        Settle();
        auto* missile = dynamic_cast<CWeaponHomingMissile*>(FireOne(3));
        ASSERT_NE(missile, nullptr);
        WeLight* asset = g_WeaponAssets.Light("Assets.Weapons.HomingMissile");
        ASSERT_NE(asset, nullptr);
        ASSERT_NE(missile->m_Light, nullptr);
        EXPECT_FLOAT_EQ(missile->m_Light->m_Range, on[0] == '1' ? asset->m_Range : 0.0f);
        EXPECT_GT(asset->m_Range, 0.0f);
    }
}

// A vulnerable craft is slowed to 0.3 and loses its weapons; an invulnerable one is only named in the request.
TEST_F(CWeaponMissiles, SlowingRocketSlowsOnlyAVulnerableCraft)
{
    for (bool invulnerable : {false, true})
    {
        SCOPED_TRACE(invulnerable);
        Settle();
        auto* rocket = dynamic_cast<CWeaponSlowingRocket*>(FireOne(6));
        ASSERT_NE(rocket, nullptr);
        EXPECT_NE(rocket->m_TriggerVolume, nullptr);
        b->m_Invulnerable = invulnerable;
        b->SetWeaponsDisabled(false);
        b->m_SlowingDisableTimer = -1.0f;
        b->SetLinearVelocity(D3DXVECTOR3(0.0f, 0.0f, 100.0f));
        rocket->OnCollision(a);
        EXPECT_FALSE(rocket->m_Spent);
        rocket->OnCollision(b);
        ASSERT_EQ(g_ExplosionRequests.Count(), 1);
        EXPECT_EQ(g_ExplosionRequests.Front().m_Victim, b);
        EXPECT_EQ(g_ExplosionRequests.Front().m_VisualIndex, 6);
        EXPECT_NEAR(b->m_PendingLinearVelocity.z, invulnerable ? 100.0f : 30.0f, 1e-3f);
        EXPECT_EQ(b->m_WeaponsDisabled, !invulnerable);
        EXPECT_FLOAT_EQ(b->m_SlowingDisableTimer, invulnerable ? -1.0f : 0.0f);
        b->m_Invulnerable = false;
        b->SetWeaponsDisabled(false);
        ClearExplosionRequests();
    }
    // The player's craft struck gets the slowing flash when no other flash runs.
    Settle();
    ASSERT_TRUE(a->m_IsPlayer);
    g_ScreenEffects.m_State = 0;
    CWeapon::Fire(b, 6, 0);
    auto* rocket = Find<CWeaponSlowingRocket>(b->m_World).back();
    rocket->OnCollision(a);
    EXPECT_EQ(g_ScreenEffects.m_State, 11);
    a->SetWeaponsDisabled(false);
    ResetScreenEffects();
    ClearExplosionRequests();
}

// Striking a craft swaps it with the owner at the next sync, with two requests naming it; striking a body
// moves nobody and posts one.
TEST_F(CWeaponMissiles, TranslocatorSwapsWithACraftOnly)
{
    for (bool craft : {true, false})
    {
        SCOPED_TRACE(craft);
        Settle();
        WeaponTest::Place(b, D3DXVECTOR3(20.0f, 2.0f, 500.0f));
        rig->Tick();
        ClearExplosionRequests();
        auto* t = dynamic_cast<CWeaponTranslocator*>(FireOne(7));
        ASSERT_NE(t, nullptr);
        const D3DXVECTOR3 ownerAt = a->GetWorldPosition();
        const D3DXVECTOR3 struckAt = b->GetWorldPosition();
        WeActor* box = WeaponTest::LooseBox(a->m_World, ownerAt + D3DXVECTOR3(0.0f, 0.0f, 60.0f));
        D3DXVECTOR3 ownerBody, struckBody;
        t->OnCollision(craft ? static_cast<WeActor*>(b) : box);
        a->m_PhysicHandle->GetPosition(ownerBody);
        b->m_PhysicHandle->GetPosition(struckBody);
        EXPECT_NEAR(Length(ownerBody - ownerAt), 0.0f, 0.5f) << "a body moved inside the report";
        EXPECT_NEAR(Length(struckBody - struckAt), 0.0f, 0.5f);
        std::vector<CExplosionRequest> r = WeaponTest::Requests();
        ASSERT_EQ(r.size(), craft ? 2u : 1u);
        for (const CExplosionRequest& q : r)
        {
            EXPECT_EQ(q.m_VisualIndex, 4);
            EXPECT_EQ(q.m_Victim, craft ? b : nullptr);
        }
        ClearExplosionRequests();
        rig->Tick();
        if (craft)
        {
            EXPECT_NEAR(Length(a->GetWorldPosition() - struckAt), 0.0f, 3.0f);
            EXPECT_NEAR(Length(b->GetWorldPosition() - ownerAt), 0.0f, 3.0f);
        }
        else
        {
            EXPECT_NEAR(Length(a->GetWorldPosition() - ownerAt), 0.0f, 3.0f);
            EXPECT_GT(WeaponTest::BodyVelocity(box).z, 10.0f);
        }
        box->Expire();
    }
}

// The warhead ignores its owner, blows on anything else, and vanishes quietly at the end of its life.
TEST_F(CWeaponMissiles, WarheadBlowsOnAnyContactButItsOwner)
{
    Settle();
    auto* w = dynamic_cast<CWeaponNuclearWarhead*>(FireOne(10));
    ASSERT_NE(w, nullptr);
    w->OnCollision(a);
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    WeActor* wall = new WeActor();
    wall->m_HasModel = false;
    a->m_World->AddActor(wall);
    w->OnCollision(wall);
    ASSERT_EQ(g_ExplosionRequests.Count(), 1);
    EXPECT_EQ(g_ExplosionRequests.Front().m_Type, CExplosionRequest::Nuke);
    EXPECT_FLOAT_EQ(g_ExplosionRequests.Front().m_Radius, 600.0f);
    EXPECT_EQ(g_ExplosionRequests.Front().m_Kind, 10);
    w->OnCollision(b);
    EXPECT_EQ(g_ExplosionRequests.Count(), 1);
    wall->Expire();
    ClearExplosionRequests();

    Settle();
    auto* quiet = dynamic_cast<CWeaponNuclearWarhead*>(FireOne(10));
    ASSERT_NE(quiet, nullptr);
    quiet->m_LifeTime = 0.05f;
    rig->Tick(8);
    EXPECT_TRUE(Find<CWeaponNuclearWarhead>(a->m_World).empty());
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
}

TEST_F(CWeaponMissiles, FieldGrowth)
{
    struct Row
    {
        float age, remaining, g;
    } rows[] = {{0.0f, 3.0f, 0.0f}, {0.5f, 2.5f, 0.5f}, {1.0f, 2.0f, 1.0f},  {2.0f, 1.0f, 1.0f},
                {2.5f, 0.5f, 0.5f}, {3.0f, 0.0f, 0.0f}, {0.25f, 0.5f, 0.25f}};
    for (const Row& row : rows)
        EXPECT_FLOAT_EQ(CWeaponFrontFieldGenerator::Growth(row.age, row.remaining, 1.0f, 1.0f), row.g)
            << row.age << " " << row.remaining;
    // A zero fade is at full size at once, never a division by zero.
    EXPECT_FLOAT_EQ(CWeaponFrontFieldGenerator::Growth(0.0f, 5.0f, 0.0f, 0.0f), 1.0f);
}

// The field hurts every craft but its owner, teammates too, and pushes only within its push reach.
TEST_F(CWeaponMissiles, FieldHurtsAllButItsOwnerAndPushesNearby)
{
    Settle();
    auto* field = dynamic_cast<CWeaponFrontFieldGenerator*>(FireOne(9));
    ASSERT_NE(field, nullptr);
    ASSERT_NE(field->m_TriggerVolume, nullptr);
    EXPECT_FLOAT_EQ(field->m_Scale.x, 0.0f);
    rig->Tick();
    const D3DXMATRIX& m = field->GetRenderMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(std::isfinite((&m._11)[i]));
    EXPECT_TRUE(std::isfinite(field->m_BoundingSphere.radius));

    const float damage = g_WeaponDescriptions.Get(9).m_Damage;
    const float dt = g_Timer.m_FrameDeltaF;
    const D3DXVECTOR3 centre = field->m_TriggerVolume->GetWorldPosition();
    const float pushRadius = GetConfigFloat("Weapons.FFG.PushRadius", 10.0f);

    const float own = a->m_Health;
    field->OnTriggerTouch(a, field->m_TriggerVolume);
    EXPECT_FLOAT_EQ(a->m_Health, own);

    for (bool teammate : {false, true})
    {
        SCOPED_TRACE(teammate);
        const int32_t place = b->m_Participant ? b->m_Participant->m_StartPlace : 0;
        if (teammate && a->m_Participant && b->m_Participant)
            b->m_Participant->m_StartPlace = a->m_Participant->m_StartPlace;
        WeaponTest::Place(b, centre + D3DXVECTOR3(pushRadius * 0.5f, 0.0f, 0.0f));
        const float health = b->m_Health;
        field->OnTriggerTouch(b, field->m_TriggerVolume);
        EXPECT_NEAR(b->m_Health, health - damage * a->m_DamageMultiplier * dt, 1e-3f);
        if (b->m_Participant)
            b->m_Participant->m_StartPlace = place;
    }

    WeActor* nearBox = WeaponTest::LooseBox(a->m_World, centre + D3DXVECTOR3(0.0f, pushRadius * 0.5f, 0.0f));
    WeActor* farBox = WeaponTest::LooseBox(a->m_World, centre + D3DXVECTOR3(0.0f, pushRadius * 2.0f, 0.0f));
    field->OnTriggerTouch(nearBox, field->m_TriggerVolume);
    field->OnTriggerTouch(farBox, field->m_TriggerVolume);
    EXPECT_GT(WeaponTest::BodyVelocity(nearBox).y, 0.0f);
    EXPECT_NEAR(Length(WeaponTest::BodyVelocity(farBox)), 0.0f, 1e-4f);
    nearBox->Expire();
    farBox->Expire();
}

}  // namespace
