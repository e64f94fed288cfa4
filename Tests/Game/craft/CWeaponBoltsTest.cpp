#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysicHandle.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponDoubleBolt.h"
#include "Game/craft/CWeaponMiniGun.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponPreBolt.h"
#include "Game/craft/CWeaponQuantumBolt.h"
#include "Game/shell/CRaceParticipant.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tests/Game/craft/WeaponKindsTestSupport.h"

namespace
{
using WeaponTest::Dot;
using WeaponTest::Find;
using WeaponTest::Forward;
using WeaponTest::Length;

struct CWeaponBolts : CraftTest::TwoCraftRig
{
    // The shooter at rest facing +z on the straight, the rival far ahead out of the way unless placed.
    void Settle()
    {
        WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
        WeaponTest::Place(b, D3DXVECTOR3(40.0f, 2.0f, 900.0f));
        if (CTuber* c = rig->Craft(2))
            WeaponTest::Place(c, D3DXVECTOR3(-40.0f, 2.0f, 1200.0f));
        rig->Tick();
        WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
        ClearExplosionRequests();
    }
};

// The muzzle is ahead of the craft along its own forward axis however it is turned, and the mine drop
// behind it.
TEST_F(CWeaponBolts, LaunchMatricesFollowARotatedCraft)
{
    const float frontFire = GetConfigFloat("tuber.Weapons.FrontFireDistance", 4.0f);
    const float backFire = GetConfigFloat("tuber.Weapons.BackFireDistance", 4.0f);
    for (float degrees : {0.0f, 37.0f, 90.0f, 180.0f, -120.0f})
    {
        SCOPED_TRACE(degrees);
        const D3DXVECTOR3 at(0.0f, 2.0f, 300.0f);
        WeaponTest::Place(a, at, degrees * 3.1415927f / 180.0f);
        rig->Tick();
        WeaponTest::Place(a, at, degrees * 3.1415927f / 180.0f);
        const D3DXVECTOR3 forward = Forward(a);
        CWeapon::Fire(a, 1, 0);
        std::vector<CWeaponPlasmaBolt*> bolts = Find<CWeaponPlasmaBolt>(a->m_World);
        ASSERT_FALSE(bolts.empty());
        const D3DXVECTOR3 offset = bolts.back()->GetWorldPosition() - at;
        EXPECT_NEAR(Dot(offset, forward), frontFire, 0.05f);
        EXPECT_NEAR(Length(offset - forward * Dot(offset, forward)), 0.0f, 0.05f);

        D3DXMATRIX drop;
        D3DXMatrixMultiply(&drop, &a->m_RearLaunchMatrix, &a->GetWorldMatrix());
        const D3DXVECTOR3 behind = D3DXVECTOR3(drop._41, drop._42, drop._43) - at;
        EXPECT_NEAR(Dot(behind, forward), -backFire, 0.05f);
        for (CWeaponPlasmaBolt* bolt : bolts)
            bolt->Expire();
    }
}

// The bolts' impact, called as the physics report would: the owner first (ignored), then a craft, a
// loose body or another projectile.
TEST_F(CWeaponBolts, ImpactTable)
{
    struct Row
    {
        int32_t kind;
        int32_t visual;
        bool back;       // posted one unit back along the forward axis
        bool baseAfter;  // a projectile also gets the default impact's request
    } rows[] = {{1, 0, false, true}, {2, 0, false, false}, {4, 2, false, true}, {8, 3, true, true}};
    for (const Row& row : rows)
    {
        for (int other = 0; other < 2; ++other)  // 0 the rival craft, 1 another projectile
        {
            SCOPED_TRACE(testing::Message() << "kind " << row.kind << " other " << other);
            Settle();
            CWeapon::Fire(a, row.kind, 1);
            std::vector<CWeapon*> made = Find<CWeapon>(a->m_World);
            ASSERT_FALSE(made.empty());
            CWeapon* w = made.front();
            w->OnCollision(a);
            EXPECT_FALSE(w->m_Spent) << "its own craft set it off";
            EXPECT_EQ(g_ExplosionRequests.Count(), 0);

            CWeaponPlasmaBolt* shot = nullptr;
            WeActor* target = b;
            if (other == 1)
            {
                CWeapon::Fire(b, 1, 0);
                shot = Find<CWeaponPlasmaBolt>(b->m_World).back();
                target = shot;
            }
            const D3DXVECTOR3 at = w->GetWorldPosition();
            const D3DXVECTOR3 forward = Forward(w);
            w->OnCollision(target);
            EXPECT_TRUE(w->m_Spent);
            EXPECT_TRUE(w->m_PendingDeletion);
            std::vector<CExplosionRequest> r = WeaponTest::Requests();
            ASSERT_EQ(r.size(), other == 1 && row.baseAfter ? 2u : 1u);
            EXPECT_EQ(r[0].m_Type, CExplosionRequest::Localized);
            EXPECT_EQ(r[0].m_VisualIndex, row.visual);
            EXPECT_EQ(r[0].m_Kind, row.kind);
            EXPECT_EQ(r[0].m_Owner, a);
            EXPECT_EQ(r[0].m_Victim, other == 0 ? b : nullptr);
            EXPECT_FLOAT_EQ(r[0].m_Damage, g_WeaponDescriptions.Get(row.kind).m_Damage);
            const D3DXVECTOR3 expected = row.back ? at - forward : at;
            EXPECT_NEAR(Length(r[0].m_Position - expected), 0.0f, 1e-3f);
            if (r.size() == 2)
            {
                EXPECT_EQ(r[1].m_VisualIndex, 5);
            }
            // A second contact does nothing more.
            w->OnCollision(b);
            EXPECT_EQ(g_ExplosionRequests.Count(), static_cast<int32_t>(r.size()));
            ClearExplosionRequests();
            for (CWeapon* x : Find<CWeapon>(a->m_World))
                x->Expire();
            if (shot)
                shot->Expire();
            rig->Tick();
        }
    }
}

// With no rival behind, the rear bolt leaves behind the craft and still flies along its forward axis; the
// front one leaves ahead.
TEST_F(CWeaponBolts, RearDoubleBoltStartsBehindAndFliesForward)
{
    Settle();
    const D3DXVECTOR3 at = a->GetWorldPosition();
    CWeapon::Fire(a, 2, 0);
    std::vector<CWeaponDoubleBolt*> bolts = Find<CWeaponDoubleBolt>(a->m_World);
    ASSERT_EQ(bolts.size(), 2u);
    CWeaponDoubleBolt* front = bolts[0]->m_Side == 1 ? bolts[0] : bolts[1];
    CWeaponDoubleBolt* rear = bolts[0]->m_Side == 0 ? bolts[0] : bolts[1];
    ASSERT_NE(front, rear);
    EXPECT_GT(front->GetWorldPosition().z, at.z + 3.0f);
    EXPECT_LT(rear->GetWorldPosition().z, at.z - 3.0f);
    const float speed = g_WeaponDescriptions.Get(2).m_Speed;
    EXPECT_NEAR(rear->m_FlightVelocity.z, speed, 1e-3f);
    EXPECT_NEAR(front->m_FlightVelocity.z, speed, 1e-3f);
    rig->Tick(4);
    EXPECT_GT(rear->GetWorldPosition().z, at.z - 4.0f + speed * 3.0f / 64.0f);
}

// Consecutive bullets leave from the two barrels in turn, each starting the craft's muzzle flash.
TEST_F(CWeaponBolts, MinigunBulletsAlternateBarrels)
{
    ConfigOverride x1("tuber.Minigun.X1", "-1.5"), x2("tuber.Minigun.X2", "1.5");
    ConfigOverride y1("tuber.Minigun.Y1", "0.5"), y2("tuber.Minigun.Y2", "0.5");
    ConfigOverride spread("tuber.Minigun.Random", "0");
    Settle();
    const D3DXVECTOR3 at = a->GetWorldPosition();
    a->m_MinigunSide = true;
    a->m_MinigunFireTimer = 0.0f;
    CWeapon::Fire(a, 8, 0);
    CWeapon::Fire(a, 8, 0);
    std::vector<CWeaponMiniGun*> bullets = Find<CWeaponMiniGun>(a->m_World);
    ASSERT_EQ(bullets.size(), 2u);
    EXPECT_EQ(bullets[0]->m_Side, 1);
    EXPECT_EQ(bullets[1]->m_Side, 0);
    EXPECT_NEAR(bullets[0]->GetWorldPosition().x - at.x, -1.5f, 1e-3f);
    EXPECT_NEAR(bullets[1]->GetWorldPosition().x - at.x, 1.5f, 1e-3f);
    EXPECT_NEAR(bullets[0]->GetWorldPosition().y - at.y, 0.5f, 1e-3f);
    EXPECT_NEAR(bullets[0]->m_LifeTime, 20.0f, 1e-3f);
    EXPECT_GT(a->m_MinigunFireTimer, 0.0f);
}

// The charge fires exactly one quantum bolt a second after it began, and none when its craft finishes or
// is destroyed during the charge.
TEST_F(CWeaponBolts, ChargeStageFiresOnceOrCancels)
{
    for (int outcome = 0; outcome < 3; ++outcome)  // 0 fires, 1 owner finishes, 2 owner destroyed
    {
        SCOPED_TRACE(outcome);
        Settle();
        CWeapon::Fire(a, 4, 0);
        std::vector<CWeaponPreBolt*> stages = Find<CWeaponPreBolt>(a->m_World);
        ASSERT_EQ(stages.size(), 1u);
        CWeaponPreBolt* stage = stages[0];
        EXPECT_EQ(stage->m_Parent, a);
        EXPECT_FALSE(stage->HasLifeTime());
        rig->Tick(32);
        EXPECT_TRUE(Find<CWeaponQuantumBolt>(a->m_World).empty());
        EXPECT_LT(stage->m_Scale.x, 10.0f);
        EXPECT_GT(stage->m_Scale.x, 3.0f);
        if (outcome == 1)
            a->m_Finished = true;
        if (outcome == 2)
            a->m_Destroyed = true;
        rig->Tick(40);
        const size_t fired = Find<CWeaponQuantumBolt>(a->m_World, true).size();
        EXPECT_EQ(fired, outcome == 0 ? 1u : 0u);
        EXPECT_TRUE(Find<CWeaponPreBolt>(a->m_World).empty());
        a->m_Finished = false;
        a->m_Destroyed = false;
        for (CWeapon* x : Find<CWeapon>(a->m_World))
            x->Expire();
        rig->Tick();
    }
}

// The quantum bolt keeps the craft it was aimed at, without joining its incoming list, and turns toward it
// only while it is an enemy inside the forward cone.
TEST_F(CWeaponBolts, QuantumBoltHomesOnlyOnItsLaunchTarget)
{
    struct Row
    {
        const char* name;
        float side;  // the rival's sideways offset after launch
        bool teammate;
        bool turns;
    } rows[] = {{"in the cone", 8.0f, false, true},
                {"outside the cone", 200.0f, false, false},
                {"teammate", 8.0f, true, false}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        Settle();
        WeaponTest::Place(b, D3DXVECTOR3(0.0f, 2.0f, 400.0f));
        CWeapon::Fire(a, 4, 1);
        std::vector<CWeaponQuantumBolt*> bolts = Find<CWeaponQuantumBolt>(a->m_World);
        ASSERT_EQ(bolts.size(), 1u);
        CWeaponQuantumBolt* bolt = bolts[0];
        EXPECT_EQ(bolt->m_HomingTarget, b);
        EXPECT_EQ(bolt->m_Target, nullptr);
        EXPECT_FALSE(b->m_IncomingWeapons.Contains(bolt));
        WeaponTest::Place(b, D3DXVECTOR3(row.side, 2.0f, 400.0f));
        const int32_t place = b->m_Participant ? b->m_Participant->m_StartPlace : 0;
        if (row.teammate && a->m_Participant && b->m_Participant)
            b->m_Participant->m_StartPlace = a->m_Participant->m_StartPlace;
        rig->Tick(4);
        if (b->m_Participant)
            b->m_Participant->m_StartPlace = place;
        if (row.turns)
        {
            EXPECT_GT(bolt->m_FlightVelocity.x, 0.1f);
        }
        else
        {
            EXPECT_NEAR(bolt->m_FlightVelocity.x, 0.0f, 1e-4f);
        }
        for (CWeapon* x : Find<CWeapon>(a->m_World))
            x->Expire();
        rig->Tick();
    }
}

// Loose bodies are drawn toward the passing bolt; crafts are not.
TEST_F(CWeaponBolts, QuantumBoltPullsLooseBodiesOnly)
{
    Settle();
    CWeapon::Fire(a, 4, 1);
    CWeaponQuantumBolt* bolt = Find<CWeaponQuantumBolt>(a->m_World).at(0);
    ASSERT_NE(bolt->m_TriggerVolume, nullptr);
    ASSERT_NE(bolt->m_Light, nullptr);
    EXPECT_FLOAT_EQ(bolt->m_Light->m_Range, 80.0f);
    WeActor* box = new WeActor();
    box->m_HasModel = false;
    box->m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    box->m_PhysicModel.explicitSize = true;
    box->m_PhysicModel.size = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    box->m_PhysicModel.collisionGroup = 24;
    box->m_PhysicModel.gravity = false;
    box->SetLocation(bolt->GetWorldPosition() + D3DXVECTOR3(10.0f, 0.0f, 0.0f));
    a->m_World->AddActor(box);
    box->SetGravityEnabled(false);
    ASSERT_NE(box->m_PhysicHandle, nullptr);
    box->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3());
    bolt->OnTriggerTouch(box, bolt->m_TriggerVolume);
    D3DXVECTOR3 v;
    box->m_PhysicHandle->GetLinearVelocity(v);
    EXPECT_LT(v.x, -100.0f);  // toward the bolt, by the pull of 150
    const D3DXVECTOR3 before = b->m_PendingLinearVelocity;
    bolt->OnTriggerTouch(b, bolt->m_TriggerVolume);
    EXPECT_NEAR(Length(b->m_PendingLinearVelocity - before), 0.0f, 1e-4f);
    box->Expire();
}

}  // namespace
