// Lifetimes on the race that the sanitizer build watches: a craft that dies with its bolt in flight, its mines
// lying and a homing missile on its way to it; explosions whose particle copies end before they do.
#include <gtest/gtest.h>

#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tests/Game/craft/WeaponKindsTestSupport.h"

namespace
{

constexpr int32_t TicksPerSecond = 64;

TEST(CWeaponLifetimes, ACraftDiesWithItsBoltFlyingItsMinesLyingAndAMissileOnItsWay)
{
    CraftTest::ArmedRace race;  // two craft: none on the grid behind the shooter to set its mines off
    ASSERT_TRUE(race.Start());
    CTuber* a = race.a;
    CTuber* b = race.b;
    race.RivalAhead(300.0f);
    // The mines drop right behind a craft at rest: it leaves them untouched, as a racing craft would.
    a->SetCollisionEnabled(false);
    CWeapon::Fire(a, 11, 0);  // a contact mine
    CWeapon::Fire(a, 13, 0);  // a homing mine
    ASSERT_EQ(a->m_Mines.Count(), 2);
    WeaponTest::Place(a, a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 100.0f));
    CraftTest::FaceAlongZ(a);
    race.rig.Tick();
    a->SetCollisionEnabled(true);
    CraftTest::FaceAlongZ(a);
    CWeapon::Fire(a, 1, 0);  // the bolt
    b->m_LockTarget = a;
    b->m_LockLevel = 1.0f;
    CWeapon::Fire(b, 3, 0);  // the homing missile, locked on the shooter
    race.rig.Tick(2);
    WeWorld* world = a->m_World;
    int32_t own = 0, incoming = 0;
    for (CWeapon* w : WeaponTest::Find<CWeapon>(world, true))
    {
        own += w->m_Owner == a;
        incoming += w->m_Target == a;
    }
    ASSERT_EQ(own, 3);
    ASSERT_EQ(incoming, 1);
    ASSERT_TRUE(a->ApplyDamage(1.0e6f, b, 1));
    ASSERT_TRUE(a->m_Destroyed);
    // Past the mines' 20 s: every one of these has gone its own way, and nothing still points at the dead craft.
    race.rig.Tick(21 * TicksPerSecond);
    for (CWeapon* w : WeaponTest::Find<CWeapon>(world, true))
    {
        EXPECT_NE(w->m_Owner, a) << "kind " << w->m_Kind;
        EXPECT_NE(w->m_Target, a) << "kind " << w->m_Kind;
    }
    EXPECT_TRUE(a->m_Mines.IsEmpty());
    EXPECT_TRUE(a->m_IncomingWeapons.IsEmpty());
}

// The minigun puff's copy (0.2 s) and the engine pulse's copy end on their own clocks; the explosions that
// spawned them live on and then end without touching them again.
TEST(CWeaponLifetimes, ExplosionsOutliveTheirParticleCopies)
{
    CraftTest::ArmedRace race;
    ASSERT_TRUE(race.Start());
    CTuber* a = race.a;
    const D3DXVECTOR3 centre = a->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 20.0f);
    new CExplosionLocalized(centre, a, 0.0f, nullptr, 3, 8, 0);
    new CExplosionSplash(centre, a, 5.0f, 0.0f, 2, 21);
    WeWorld* world = a->m_World;
    race.rig.Tick(TicksPerSecond / 2);
    EXPECT_FALSE(WeaponTest::Find<CExplosion>(world).empty());
    race.rig.Tick(3 * TicksPerSecond);
    EXPECT_TRUE(WeaponTest::Find<CExplosion>(world, true).empty());
}

}  // namespace
