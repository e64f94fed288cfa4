#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Game/craft/CExplosion.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponDoubleBolt.h"
#include "Game/craft/CWeaponFrontFieldGenerator.h"
#include "Game/craft/CWeaponHomingMissile.h"
#include "Game/craft/CWeaponMiniGun.h"
#include "Game/craft/CWeaponNuclearWarhead.h"
#include "Game/craft/CWeaponPreBolt.h"
#include "Game/craft/CWeaponQuantumBolt.h"
#include "Game/craft/CWeaponSlowingRocket.h"
#include "Game/craft/CWeaponSwarmer.h"
#include "Game/craft/CWeaponTranslocator.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tests/Game/craft/WeaponKindsTestSupport.h"

namespace
{
using WeaponTest::Find;

// The live objects of every pool the flying kinds draw from.
std::vector<int32_t> PoolCounts()
{
    return {WeLight::Pool().LiveCount(),
            WeNewParticleSystem::Pool().LiveCount(),
            CTrigger::Pool().LiveCount(),
            CWeaponDoubleBolt::Pool().LiveCount(),
            CWeaponQuantumBolt::Pool().LiveCount(),
            CWeaponPreBolt::Pool().LiveCount(),
            CWeaponMiniGun::Pool().LiveCount(),
            CWeaponHomingMissile::Pool().LiveCount(),
            CWeaponSwarmer::Pool().LiveCount(),
            CWeaponSlowingRocket::Pool().LiveCount(),
            CWeaponTranslocator::Pool().LiveCount(),
            CWeaponFrontFieldGenerator::Pool().LiveCount(),
            CWeaponNuclearWarhead::Pool().LiveCount()};
}

// Every flying kind, with its lights, particle copies, trails, trigger, field actor and held sound, ends
// cleanly however it goes: set off, run out of life, or still alive when the world is torn down; the charge
// also when its craft dies. Under AddressSanitizer nothing is read after it is freed or leaked; every pool
// is back where it started once the world is gone.
TEST(CWeaponKinds, LifetimesEndCleanly)
{
    enum Ending
    {
        SetOff,
        OutOfLife,
        AtTeardown,
        OwnerDies
    };
    CraftTest::Catalogue catalogue;
    const std::vector<int32_t> before = PoolCounts();
    for (int32_t kind : {2, 3, 4, 5, 6, 7, 8, 9, 10, 40})  // 40: the released quantum bolt
    {
        for (Ending ending : {SetOff, OutOfLife, AtTeardown, OwnerDies})
        {
            if (ending == OwnerDies && kind != 4)
                continue;
            SCOPED_TRACE(testing::Message() << "kind " << kind << " ending " << ending);
            {
                RaceRig rig(CraftTest::Options(2));
                std::string error;
                ASSERT_TRUE(rig.Start(&error)) << error;
                rig.Tick();
                CTuber* a = rig.Craft(0);
                CTuber* b = rig.Craft(1);
                ASSERT_NE(a, nullptr);
                ASSERT_NE(b, nullptr);
                WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
                WeaponTest::Place(b, D3DXVECTOR3(10.0f, 2.0f, 400.0f));
                a->m_LockTarget = b;
                a->m_LockLevel = 1.0f;
                CWeapon::Fire(a, kind == 40 ? 4 : kind, kind == 40 ? 1 : 0);
                rig.Tick(2);
                std::vector<CWeapon*> made = Find<CWeapon>(a->m_World);
                ASSERT_FALSE(made.empty());
                if (ending == SetOff)
                {
                    for (CWeapon* w : made)
                        w->OnCollision(b);
                    rig.Tick(kind == 4 ? 80 : 4);
                }
                else if (ending == OutOfLife)
                {
                    for (CWeapon* w : made)
                        if (w->HasLifeTime())
                            w->m_LifeTime = 0.02f;
                    rig.Tick(kind == 4 ? 80 : 6);
                }
                else if (ending == OwnerDies)
                {
                    a->m_Destroyed = true;
                    rig.Tick(4);
                    EXPECT_TRUE(Find<CWeaponPreBolt>(a->m_World).empty());
                    EXPECT_TRUE(Find<CWeaponQuantumBolt>(a->m_World).empty());
                    a->m_Destroyed = false;
                }
                ClearExplosionRequests();
            }
            EXPECT_EQ(PoolCounts(), before);
        }
    }
}

// Fired on the race's physics with the rival straight ahead: the first contact's explosion, made by the race
// from the kind's request, and what it cost the rival. Every shot kind, the plasma bolt too; the front field
// follows below, and the mines are driven over in their own race suite.
TEST(CWeaponKinds, OnTheRaceEachKindReachesTheRival)
{
    struct Row
    {
        int32_t kind, alternate;
        bool nuke;       // a nuclear blast rather than a localized one
        int32_t visual;  // localized only
        int32_t hits;    // times the rival takes the kind's damage from the request
        int32_t ticks;   // at most
    } rows[] = {
        {1, 0, false, 0, 1, 64},  {2, 0, false, 0, 1, 64},  {3, 0, false, 1, 1, 96}, {4, 1, false, 2, 1, 96},
        {4, 0, false, 2, 1, 160}, {5, 0, false, 1, 1, 96},  {6, 0, false, 6, 1, 96}, {7, 0, false, 4, 2, 96},
        {8, 0, false, 3, 1, 64},  {10, 0, true, 0, 0, 192},
    };
    CraftTest::ArmedRace race(2);
    ASSERT_TRUE(race.Start());
    RaceRig& rig = race.rig;
    CTuber* a = race.a;
    CTuber* b = race.b;
    const D3DXVECTOR3 shooterAt(0.0f, 2.0f, 300.0f), rivalAt(0.0f, 2.0f, 360.0f);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "kind " << row.kind << " alternate " << row.alternate);
        for (CWeapon* w : Find<CWeapon>(a->m_World))
            w->Expire();
        for (CExplosion* x : Find<CExplosion>(a->m_World))
            x->Expire();
        WeaponTest::Place(a, shooterAt);
        WeaponTest::Place(b, rivalAt);
        if (CTuber* c = rig.Craft(2))
            WeaponTest::Place(c, D3DXVECTOR3(-40.0f, 2.0f, 1200.0f));
        rig.Tick();
        b->m_Health = 10000.0f;
        a->m_LockTarget = b;
        a->m_LockLevel = 1.0f;
        WeaponTest::Place(a, shooterAt);
        WeaponTest::Place(b, rivalAt);
        CWeapon::Fire(a, row.kind, row.alternate);
        std::vector<CExplosion*> made;
        for (int32_t tick = 0; tick < row.ticks && made.empty(); ++tick)
        {
            rig.Tick();
            made = Find<CExplosion>(a->m_World);
            // Both held in place: only the weapon moves. The translocator's swap is the exception.
            if (made.empty())
            {
                WeaponTest::Place(a, shooterAt);
                WeaponTest::Place(b, rivalAt);
            }
        }
        ASSERT_FALSE(made.empty()) << "nothing reached the rival";
        CExplosion* x = made.front();
        EXPECT_EQ(x->m_Owner, a);
        EXPECT_EQ(x->m_Kind, row.kind);
        if (row.nuke)
        {
            EXPECT_NE(dynamic_cast<CExplosionNuke*>(x), nullptr);
        }
        else
        {
            auto* local = dynamic_cast<CExplosionLocalized*>(x);
            ASSERT_NE(local, nullptr);
            EXPECT_EQ(local->m_VisualIndex, row.visual);
            EXPECT_EQ(local->m_HitCraft, b);
            const float damage = g_WeaponDescriptions.Get(row.kind).m_Damage * a->m_DamageMultiplier;
            EXPECT_NEAR(b->m_Health, 10000.0f - damage * float(row.hits), 1e-2f);
        }
    }

    // The front field: a rival inside its reach loses health by the touch reports; its owner none.
    for (CWeapon* w : Find<CWeapon>(a->m_World))
        w->Expire();
    for (CExplosion* x : Find<CExplosion>(a->m_World))
        x->Expire();
    WeaponTest::Place(a, shooterAt);
    WeaponTest::Place(b, rivalAt);
    rig.Tick(2);
    ASSERT_TRUE(Find<CExplosion>(a->m_World).empty());
    a->m_Health = b->m_Health = 10000.0f;
    CWeapon::Fire(a, 9, 0);
    for (int32_t tick = 0; tick < 32; ++tick)
    {
        rig.Tick();
        WeaponTest::Place(a, shooterAt);
        WeaponTest::Place(b, rivalAt);
    }
    // Damage x the multiplier x the frame time on each report, one a tick.
    const float perTick = g_WeaponDescriptions.Get(9).m_Damage * a->m_DamageMultiplier / 64.0f;
    EXPECT_NEAR(10000.0f - b->m_Health, perTick * 32.0f, perTick * 1.5f);
    EXPECT_FLOAT_EQ(a->m_Health, 10000.0f);
    for (CWeapon* w : Find<CWeapon>(a->m_World))
        w->Expire();
}

// What a kind's trigger does to a loose body that comes within its reach: the quantum bolt and the slowing
// rocket draw it toward themselves, the translocator pushes it away; crafts are left to the contact rules.
TEST(CWeaponKinds, TriggerTouchesMoveLooseBodies)
{
    struct Row
    {
        int32_t kind, alternate;
        float change;  // along the line from the body to the weapon: + toward, - away
    } rows[] = {{4, 1, 150.0f}, {6, 0, 150.0f}, {7, 0, -25.0f}};
    CraftTest::Catalogue catalogue;
    RaceRig rig(CraftTest::Options(1));
    std::string error;
    ASSERT_TRUE(rig.Start(&error)) << error;
    rig.Tick();
    CTuber* a = rig.Craft(0);
    CTuber* b = rig.Craft(1);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.kind);
        WeaponTest::Place(a, D3DXVECTOR3(0.0f, 2.0f, 300.0f));
        WeaponTest::Place(b, D3DXVECTOR3(30.0f, 2.0f, 900.0f));
        rig.Tick();
        CWeapon::Fire(a, row.kind, row.alternate);
        CWeapon* w = Find<CWeapon>(a->m_World).back();
        CTrigger* trigger = nullptr;
        if (auto* q = dynamic_cast<CWeaponQuantumBolt*>(w))
            trigger = q->m_TriggerVolume;
        else if (auto* r = dynamic_cast<CWeaponSlowingRocket*>(w))
            trigger = r->m_TriggerVolume;
        else if (auto* t = dynamic_cast<CWeaponTranslocator*>(w))
            trigger = t->m_TriggerVolume;
        ASSERT_NE(trigger, nullptr);
        const D3DXVECTOR3 at = w->GetWorldPosition() + D3DXVECTOR3(12.0f, 0.0f, 0.0f);
        WeActor* box = WeaponTest::LooseBox(a->m_World, at);
        w->OnTriggerTouch(box, trigger);
        EXPECT_NEAR(WeaponTest::BodyVelocity(box).x, -row.change, 1e-2f);
        const D3DXVECTOR3 craftBefore = b->m_PendingLinearVelocity;
        w->OnTriggerTouch(b, trigger);
        EXPECT_NEAR(WeaponTest::Length(b->m_PendingLinearVelocity - craftBefore), 0.0f, 1e-4f);
        // Spent, it draws nothing more.
        w->m_Spent = true;
        box->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3());
        w->OnTriggerTouch(box, trigger);
        EXPECT_NEAR(WeaponTest::Length(WeaponTest::BodyVelocity(box)), 0.0f, 1e-4f);
        box->Expire();
        w->Expire();
        rig.Tick();
    }
}

}  // namespace
