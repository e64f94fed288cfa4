#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponDoubleBolt.h"
#include "Game/craft/CWeaponMiniGun.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

// Every weapon of the owner's world, in the order they were added.
std::vector<CWeapon*> Weapons(WeWorld* world, bool withPending = false)
{
    std::vector<CWeapon*> out;
    std::vector<WeActor*> actors;
    WeHashTable<WeActor*>& table = world->GetActors();
    for (auto* e = table.First(); e; e = table.Next())
        actors.push_back(e->value);
    for (WeActor* a : actors)
        if (CWeapon* w = dynamic_cast<CWeapon*>(a); w && (withPending || !w->m_PendingDeletion))
            out.push_back(w);
    std::sort(out.begin(), out.end(), [](CWeapon* x, CWeapon* y) { return x->m_Number < y->m_Number; });
    return out;
}

struct CWeaponBase : CraftTest::TwoCraftRig
{
};

TEST_F(CWeaponBase, KindsOutsideTheRangeMakeNothing)
{
    const size_t before = Weapons(a->m_World).size();
    CWeapon::Fire(a, 0, 0);
    CWeapon::Fire(a, 21, 0);
    CWeapon::Fire(a, -3, 0);
    CWeapon::Fire(nullptr, 1, 0);
    EXPECT_EQ(Weapons(a->m_World).size(), before);
}

TEST_F(CWeaponBase, EveryKindIsMadeAndNoneLeaks)
{
    const int32_t boltsBefore = CWeaponPlasmaBolt::Pool().LiveCount();
    for (int32_t kind = 1; kind <= 20; ++kind)
        CWeapon::Fire(a, kind, kind == 4 ? 1 : 0);
    std::vector<CWeapon*> made = Weapons(a->m_World, true);
    ASSERT_EQ(made.size(), 21u);  // kind 2 makes two
    for (CWeapon* w : made)
    {
        EXPECT_EQ(w->m_Owner, a);
        EXPECT_EQ(w->m_Description, &g_WeaponDescriptions.Get(w->m_Kind));
    }
    rig->Tick(2);
    // Whatever still flies or lies there belongs to the shooter, the ten mines in its list; the world's teardown
    // takes it all.
    std::vector<int32_t> mineKinds;
    for (CWeapon* w : Weapons(a->m_World))
    {
        EXPECT_EQ(w->m_Owner, a);
        if (w->m_Type == 11)
            mineKinds.push_back(w->m_Kind);
    }
    EXPECT_EQ(mineKinds, (std::vector<int32_t>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(a->m_Mines.Count(), 10);
    rig.reset();
    EXPECT_EQ(CWeaponPlasmaBolt::Pool().LiveCount(), boltsBefore);
}

TEST_F(CWeaponBase, DoubleBoltSidesAndMinigunAlternation)
{
    CWeaponDoubleBolt* front = nullptr;
    CWeaponDoubleBolt* rear = nullptr;
    CWeapon::Fire(a, 2, 0);
    for (CWeapon* w : Weapons(a->m_World, true))
        if (auto* d = dynamic_cast<CWeaponDoubleBolt*>(w))
            (front ? rear : front) = d;
    ASSERT_NE(front, nullptr);
    ASSERT_NE(rear, nullptr);
    EXPECT_EQ(front->m_Side, 1);
    EXPECT_EQ(rear->m_Side, 0);
    EXPECT_EQ(front->m_Kind, 2);
    EXPECT_EQ(front->m_Target, nullptr);
    EXPECT_EQ(rear->m_Target, nullptr);

    a->m_MinigunSide = false;
    std::vector<int32_t> sides;
    for (int i = 0; i < 3; ++i)
    {
        CWeapon::Fire(a, 8, 0);
        sides.push_back(a->m_MinigunSide ? 1 : 0);
    }
    EXPECT_EQ(sides, (std::vector<int32_t>{1, 0, 1}));
}

TEST_F(CWeaponBase, HomingKindsTakeOnlyAFullLock)
{
    a->m_LockTarget = b;
    a->m_LockLevel = 0.99f;
    CWeapon::Fire(a, 3, 0);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 0);
    a->m_LockLevel = 1.0f;
    CWeapon::Fire(a, 6, 0);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 1);
    CWeapon* w = b->m_IncomingWeapons.Front();
    EXPECT_EQ(w->m_Target, b);
    EXPECT_EQ(w->m_Kind, 6);
    // The swarm index reaches the rocket as an int.
    CWeapon::Fire(a, 5, 3);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 2);
    EXPECT_EQ(static_cast<CWeaponSwarmer*>(b->m_IncomingWeapons.Back())->m_SwarmIndex, 3);
    // Once they are gone the list is empty again.
    for (CWeapon* gone : Weapons(a->m_World))
        gone->Expire();
    rig->Tick(2);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 0);
    EXPECT_EQ(b->m_NearestIncomingWeapon, nullptr);
}

TEST_F(CWeaponBase, PlasmaBoltFliesAtItsSpeedFromTheFirstStep)
{
    CraftTest::FaceAlongZ(a);
    rig->Tick();
    CWeapon::Fire(a, 1, 0);
    std::vector<CWeapon*> made = Weapons(a->m_World);
    ASSERT_EQ(made.size(), 1u);
    CWeapon* bolt = made[0];
    EXPECT_EQ(bolt->m_Type, 9);
    const D3DXVECTOR3 start = bolt->GetWorldPosition();
    EXPECT_GT(start.z, a->GetWorldPosition().z);  // at the muzzle, ahead of the craft
    const float speed = g_WeaponDescriptions.Get(1).m_Speed;
    ASSERT_GT(speed, 0.0f);
    rig->Tick();
    D3DXVECTOR3 v;
    ASSERT_NE(bolt->m_PhysicHandle, nullptr);
    bolt->m_PhysicHandle->GetLinearVelocity(v);
    EXPECT_NEAR(v.z, speed, speed * 0.01f);
    EXPECT_NEAR(bolt->GetWorldPosition().z - start.z, speed / 64.0f, speed / 64.0f * 0.05f);
}

TEST_F(CWeaponBase, RetargetingLeavesNoStaleEntry)
{
    CWeapon* w = new CWeaponPlasmaBolt();
    w->m_Owner = a;
    w->m_Kind = 1;
    w->m_Description = &g_WeaponDescriptions.Get(1);
    w->Launch();
    w->SetTarget(b);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 1);
    w->SetTarget(b);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 1);  // the same target again changes nothing
    w->SetTarget(a);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 0);
    EXPECT_EQ(a->m_IncomingWeapons.Count(), 1);
    w->Expire();
    rig->Tick();
    EXPECT_EQ(a->m_IncomingWeapons.Count(), 0);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 0);
}

TEST_F(CWeaponBase, ADestroyedTargetIsReleasedOnTheNextTick)
{
    CWeapon* w = new CWeaponPlasmaBolt();
    w->m_Owner = a;
    w->m_Kind = 1;
    w->m_Description = &g_WeaponDescriptions.Get(1);
    w->Launch();
    w->SetTarget(b);
    b->FindNearestIncomingWeapon();
    EXPECT_EQ(b->m_NearestIncomingWeapon, w);
    b->m_Destroyed = true;
    w->Tick();
    EXPECT_EQ(w->m_Target, nullptr);
    EXPECT_EQ(b->m_IncomingWeapons.Count(), 0);
    EXPECT_EQ(b->m_NearestIncomingWeapon, nullptr);
    b->m_Destroyed = false;
}

TEST_F(CWeaponBase, DefaultImpactOnlyForProjectiles)
{
    CWeapon* mine = new CWeaponPlasmaBolt();
    mine->m_Owner = a;
    mine->m_Kind = 11;
    mine->PlaceMine(nullptr, nullptr);
    ASSERT_EQ(mine->m_World, a->m_World);
    const float health = b->m_Health;

    mine->CWeapon::OnCollision(b);  // a craft: nothing
    EXPECT_FALSE(mine->m_Spent);
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);

    CWeapon* bolt = new CWeaponPlasmaBolt();
    bolt->m_Owner = b;
    bolt->m_Kind = 1;
    bolt->m_Description = &g_WeaponDescriptions.Get(1);
    bolt->Launch();
    mine->CWeapon::OnCollision(bolt);
    EXPECT_TRUE(mine->m_Spent);
    EXPECT_TRUE(mine->m_PendingDeletion);
    ASSERT_EQ(g_ExplosionRequests.Count(), 1);
    const CExplosionRequest& r = g_ExplosionRequests.Front();
    EXPECT_EQ(r.m_Type, CExplosionRequest::Localized);
    EXPECT_EQ(r.m_VisualIndex, 5);
    EXPECT_FLOAT_EQ(r.m_Damage, 0.01f);
    EXPECT_EQ(r.m_Victim, nullptr);
    EXPECT_EQ(r.m_Owner, a);
    ProcessExplosionRequests();
    EXPECT_FLOAT_EQ(b->m_Health, health);  // no direct damage
}

TEST_F(CWeaponBase, PlaceMineBehindTheOwnerWithItsLight)
{
    CraftTest::FaceAlongZ(a);
    rig->Tick();
    CWeapon* mine = new CWeaponPlasmaBolt();
    mine->m_Owner = a;
    mine->m_Kind = 11;
    mine->m_DropDistance = 2.0f;
    const float colour[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    mine->PlaceMine(nullptr, colour);
    const D3DXVECTOR3 p = mine->GetWorldPosition();
    const D3DXVECTOR3 o = a->GetWorldPosition();
    EXPECT_NEAR(p.x, o.x, 1e-3);
    const float back = GetConfigFloat("tuber.Weapons.BackFireDistance", 4.0f);
    EXPECT_NEAR(p.z, o.z - back - 2.0f, 1e-3);  // the rear launch point, then the drop distance
    EXPECT_EQ(mine->m_Type, 11);
    EXPECT_TRUE(mine->m_Static);
    ASSERT_NE(mine->m_MineLight, nullptr);
    EXPECT_EQ(mine->m_MineLight->m_Kind, 2);
    EXPECT_FLOAT_EQ(mine->m_MineLight->m_Range, 40.0f);
    EXPECT_TRUE(std::isfinite(mine->m_TrackDirection.x) && std::isfinite(mine->m_TrackDirection.y) &&
                std::isfinite(mine->m_TrackDirection.z));
    EXPECT_FLOAT_EQ(mine->m_BasePosition.z, p.z);
    mine->Expire();
    rig->Tick();
}

TEST_F(CWeaponBase, BobAndSpinByTheFormulaWithAStaticBodyFollowing)
{
    CWeapon* mine = new CWeaponPlasmaBolt();
    mine->m_Owner = a;
    mine->m_Kind = 11;
    mine->PlaceMine(nullptr, nullptr);
    mine->m_BobEnabled = mine->m_SpinEnabled = true;
    const D3DXVECTOR3 base = mine->m_BasePosition;
    rig->Tick(16);
    const float age = mine->m_World->m_WorldTime - mine->m_SpawnTime;
    const D3DXVECTOR3 p = mine->GetWorldPosition();
    EXPECT_NEAR(p.y, base.y + std::sin(4.0f * age) * 1.0f, 1e-3);
    const D3DXMATRIX& m = mine->GetWorldMatrix();
    const float angle = 0.5f * age * 3.1415927f;
    EXPECT_NEAR(m._11, std::cos(angle), 1e-3);
    ASSERT_NE(mine->m_PhysicHandle, nullptr);
    D3DXVECTOR3 body;
    mine->m_PhysicHandle->GetPosition(body);
    EXPECT_NEAR(body.y, p.y, 1e-2);
    mine->Expire();
    rig->Tick();
}

// Under the sanitizer: a world torn down while bolts fly, a mine with its light lies, a homing weapon is on its
// way and explosions with bodies and lights are alive, then a detonation inside the fetch and one by life.
TEST_F(CWeaponBase, LifetimesEndCleanly)
{
    CraftTest::FaceAlongZ(a);
    rig->Tick();
    for (int i = 0; i < 3; ++i)
        CWeapon::Fire(a, 1, 0);
    CWeapon* mine = new CWeaponPlasmaBolt();
    mine->m_Owner = a;
    mine->m_Kind = 11;
    const float colour[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    mine->PlaceMine(nullptr, colour);
    a->m_Mines.PushBack(mine);
    CWeapon* homing = new CWeaponPlasmaBolt();
    homing->m_Owner = a;
    homing->m_Kind = 1;
    homing->m_Description = &g_WeaponDescriptions.Get(1);
    homing->Launch();
    homing->SetTarget(b);
    RequestLocalizedExplosion(b->GetWorldPosition(), a, 1.0f, b, 8, 0, 0);
    RequestLocalizedExplosion(b->GetWorldPosition(), a, 1.0f, b, 2, 4, 0);
    RequestNukeExplosion(b->GetWorldPosition(), a, 50.0f, 10.0f, 18);
    RequestSplashExplosion(b->GetWorldPosition(), a, 20.0f, 10.0f, 0, 6);
    ProcessExplosionRequests();
    rig->Tick(20);  // some detonate, some expire by life, the rest stay alive
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    rig.reset();
}

}  // namespace
