#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Engine/runtime/WeSound.h"
#include "Engine/world/WePathNode.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CWeaponFactory.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

// Player (slot 0, human), then Easy, Medium and Hard rivals, each of its own team.
struct Targeting : ::testing::Test
{
    void SetUp() override
    {
        RaceRigOptions o = CraftTest::Options(3);
        o.weapons = true;
        rig = std::make_unique<RaceRig>(o);
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        for (int i = 0; i < 4; ++i)
        {
            craft[i] = rig->Craft(i);
            ASSERT_NE(craft[i], nullptr);
        }
        Place(0, D3DXVECTOR3(0, 0, 0));
    }
    void TearDown() override { rig.reset(); }

    // At a point, facing +z.
    void Place(int slot, const D3DXVECTOR3& at)
    {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m._41 = at.x;
        m._42 = at.y;
        m._43 = at.z;
        craft[slot]->SetTransform(m);
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
    CTuber* craft[4] = {};
};

using CTuberTargeting = Targeting;
using CTuberLocking = Targeting;

TEST_F(CTuberTargeting, IsEnemyAndVulnerable)
{
    CTuber* self = craft[0];
    CTuber* other = craft[1];
    struct Case
    {
        const char* what;
        void (*set)(CTuber*);
        bool enemy;
    };
    const Case cases[] = {
        {"a rival", [](CTuber*) {}, true},
        {"fading", [](CTuber* c) { c->m_Visibility = 0.99f; }, false},
        {"destroyed", [](CTuber* c) { c->m_Destroyed = true; }, false},
        {"finished", [](CTuber* c) { c->m_Finished = true; }, false},
        {"team mate", [](CTuber* c) { c->m_Participant->m_StartPlace = 1; }, false},
    };
    for (const Case& c : cases)
    {
        const int32_t team = other->m_Participant->m_StartPlace;
        c.set(other);
        EXPECT_EQ(self->IsEnemy(other), c.enemy) << c.what;
        other->m_Visibility = 1.0f;
        other->m_Destroyed = other->m_Finished = false;
        other->m_Participant->m_StartPlace = team;
    }
    EXPECT_FALSE(self->IsEnemy(nullptr));
    EXPECT_FALSE(self->IsEnemy(self));
    EXPECT_TRUE(self->IsVulnerable());
    self->m_Invulnerable = true;
    EXPECT_FALSE(self->IsVulnerable());
}

TEST_F(CTuberTargeting, FindTargetByDistanceConeAndKind)
{
    // From the Medium rival at the origin: the human 20 ahead, the Easy one 60 ahead, the Hard one behind.
    Place(2, D3DXVECTOR3(0, 0, 0));
    Place(0, D3DXVECTOR3(0, 0, 20));
    Place(1, D3DXVECTOR3(0, 0, 60));
    Place(3, D3DXVECTOR3(0, 0, -30));
    CTuber* medium = craft[2];
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, false, 0), craft[0]);
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, false, 2), craft[1]);  // Easy, though the human is nearer
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, false, 1), craft[0]);
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, false, 8), nullptr);  // the Hard one is behind
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, true, 8), craft[3]);
    EXPECT_EQ(medium->FindTarget(50.0f, 0.9f, false, 2), nullptr);  // beyond the distance
    // A rival at the very same point has no direction: skipped, never a NaN aim.
    Place(0, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(medium->FindTarget(500.0f, 0.9f, false, 1), nullptr);
    EXPECT_EQ(medium->FindTarget(500.0f, -1.0f, false, 0), craft[3]);  // any direction: the Hard one behind
}

TEST_F(CTuberLocking, TheMostCentredRivalIsLockedOverTheNearer)
{
    Place(1, D3DXVECTOR3(15, 0, 60));   // nearer, off-centre (dot about 0.97)
    Place(2, D3DXVECTOR3(0, 0, 200));   // farther, dead ahead
    Place(3, D3DXVECTOR3(0, 0, -100));  // behind
    EXPECT_EQ(craft[0]->FindLockCandidate(), craft[2]);
    g_RaceSettings.m_Weapons = false;
    EXPECT_EQ(craft[0]->FindLockCandidate(), nullptr);
}

struct LockTime
{
    explicit LockTime(int32_t kind) : kind(kind), saved(g_WeaponDescriptions.Get(kind).m_HomingLockTime)
    {
        g_WeaponDescriptions.Get(kind).m_HomingLockTime = 0.5f;
    }
    ~LockTime() { g_WeaponDescriptions.Get(kind).m_HomingLockTime = saved; }
    int32_t kind;
    float saved;
};

TEST_F(CTuberLocking, ProgressesToAFullLockWithLockingThenLockedOnce)
{
    CTuber* me = craft[0];
    const LockTime lockTime(me->GetPrimaryWeaponKind());
    me->SetPrimaryAmmo(5);
    Place(1, D3DXVECTOR3(0, 0, 100));
    Place(2, D3DXVECTOR3(300, 0, 0));
    Place(3, D3DXVECTOR3(-300, 0, 0));
    me->UpdateLocking();
    ASSERT_EQ(me->m_LockTarget, craft[1]);
    EXPECT_EQ(me->m_LockWeaponKind, me->GetPrimaryWeaponKind());
    float last = 0.0f;
    for (int i = 0; i < 31; ++i)
    {
        me->UpdateLocking();
        EXPECT_GT(me->m_LockLevel, last);
        EXPECT_LT(me->m_LockLevel, 1.0f);
        last = me->m_LockLevel;
    }
    ASSERT_NE(me->m_LockingSound, nullptr);
    EXPECT_EQ(me->m_LockedSound, nullptr);
    EXPECT_TRUE(CTuber::s_LockingHeard);
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockLevel, 1.0f);
    EXPECT_TRUE(craft[1]->m_FullyLocked);
    ASSERT_NE(me->m_LockedSound, nullptr);
    EXPECT_FALSE(CTuber::s_LockingHeard);
    // Held at 1: the locked tone is not played again.
    WeSound* locked = me->m_LockedSound;
    me->m_LockedSound->Stop();
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockedSound, locked);
    EXPECT_FALSE(me->m_LockedSound->IsPlaying());
}

TEST_F(CTuberLocking, AnInvisibleTargetDropsEveryLockAtOnce)
{
    const LockTime lockTime(craft[0]->GetPrimaryWeaponKind());
    const LockTime lockTime3(craft[3]->GetPrimaryWeaponKind());
    Place(1, D3DXVECTOR3(0, 0, 100));
    Place(2, D3DXVECTOR3(300, 0, 0));
    Place(3, D3DXVECTOR3(0, 0, 50));
    craft[0]->SetPrimaryAmmo(5);
    craft[3]->SetPrimaryAmmo(5);
    // The player's lock is full; the Hard rival's, from behind the player, only partial.
    for (int i = 0; i < 40; ++i)
        craft[0]->UpdateLocking();
    craft[3]->m_LockTarget = craft[1];
    craft[3]->m_LockWeaponKind = craft[3]->GetPrimaryWeaponKind();
    craft[3]->m_LockTimer = 0.1f;
    ASSERT_EQ(craft[0]->m_LockLevel, 1.0f);
    ASSERT_TRUE(craft[1]->m_FullyLocked);
    craft[1]->m_Visibility = 0.5f;
    craft[1]->UpdateLocking();
    EXPECT_FALSE(craft[1]->m_FullyLocked);
    EXPECT_EQ(craft[0]->m_LockTarget, nullptr);
    craft[3]->UpdateLocking();
    EXPECT_EQ(craft[3]->m_LockTarget, nullptr);
    EXPECT_EQ(craft[3]->m_LockLevel, 0.0f);
}

TEST_F(CTuberLocking, BranchesAmmunitionPauseAndSafetyLock)
{
    CTuber* me = craft[0];
    const LockTime lockTime(me->GetPrimaryWeaponKind());
    Place(1, D3DXVECTOR3(0, 0, 100));
    Place(2, D3DXVECTOR3(300, 0, 0));
    Place(3, D3DXVECTOR3(-300, 0, 0));
    me->SetPrimaryAmmo(5);
    auto lockOn = [&]
    {
        me->ClearLock();
        me->UpdateLocking();
        me->UpdateLocking();
        return me->m_LockTarget == craft[1] && me->m_LockLevel > 0.0f;
    };

    // On two different branches of a fork the lock cannot hold.
    ASSERT_TRUE(lockOn());
    WePathNode left, right;
    left.m_BranchTag = 1;
    right.m_BranchTag = 2;
    me->m_CurrentNode = &left;
    craft[1]->m_CurrentNode = &right;
    EXPECT_FALSE(me->IsLockValid());
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockTarget, nullptr);
    craft[1]->m_CurrentNode = &left;
    EXPECT_TRUE(lockOn());
    me->m_CurrentNode = craft[1]->m_CurrentNode = nullptr;

    // No ammunition for the primary kind: cleared.
    ASSERT_TRUE(lockOn());
    me->SetPrimaryAmmo(0);
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockTarget, nullptr);
    me->SetPrimaryAmmo(5);

    // Paused: nothing changes.
    ASSERT_TRUE(lockOn());
    const float level = me->m_LockLevel;
    rig->SetRaceState(6);
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockLevel, level);
    rig->SetRaceState(4);

    // Before the safety lock expires no lock is taken.
    g_WeaponFactory.m_SafetyLockExpired = 0;
    me->ClearLock();
    me->UpdateLocking();
    me->UpdateLocking();
    EXPECT_EQ(me->m_LockTarget, nullptr);
    g_WeaponFactory.m_SafetyLockExpired = 1;
}

TEST_F(CTuberTargeting, AmmunitionSettersClampAndAbilityKinds)
{
    CTuber* me = craft[0];
    me->SetPrimaryAmmo(-4);
    EXPECT_EQ(me->m_BuiltInPrimaryAmmo, 0);
    me->SetSecondaryAmmo(1500);
    EXPECT_EQ(me->m_BuiltInSecondaryAmmo, 999);
    me->SetPickupPrimaryAmmo(12);
    EXPECT_EQ(me->m_PickupPrimaryAmmo, 12);
    me->SetPickupSecondaryAmmo(1000);
    EXPECT_EQ(me->m_PickupSecondaryAmmo, 999);
    me->m_PickupPrimaryKind = 7;
    EXPECT_EQ(me->GetPrimaryWeaponKind(), 7);
    me->m_PickupPrimaryKind = 0;
    EXPECT_EQ(me->GetPrimaryWeaponKind(), me->m_BuiltInPrimaryKind);
    EXPECT_EQ(GetAbilityPickupKind(0), 10029);
    EXPECT_EQ(GetAbilityPickupKind(1), 10030);
    EXPECT_EQ(GetAbilityPickupKind(2), 10032);
    EXPECT_EQ(GetAbilityPickupKind(3), 10031);
    EXPECT_EQ(GetAbilityPickupKind(-1), 10032);
}

}  // namespace
