#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTrail.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/CWeaponForceFieldMine.h"
#include "Game/craft/CWeaponHomingMine.h"
#include "Game/craft/CWeaponMotionMine.h"
#include "Game/craft/CWeaponNukeMine.h"
#include "Game/craft/CWeaponPlasmaBolt.h"
#include "Game/craft/CWeaponSingularityMine.h"
#include "Game/shell/CRaceParticipant.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

const CWeaponDescription& Description(int32_t kind)
{
    return g_WeaponDescriptions.Get(kind);
}

std::vector<CExplosionRequest> Requests()
{
    std::vector<CExplosionRequest> out;
    for (const CExplosionRequest& r : g_ExplosionRequests)
        out.push_back(r);
    return out;
}

// The mine trigger of a kind, or null for the kinds that act by contact only.
CTrigger* TriggerOf(CWeapon* mine)
{
    switch (mine->m_Kind)
    {
    case 12: return static_cast<CWeaponSingularityMine*>(mine)->m_Trigger;
    case 13: return static_cast<CWeaponHomingMine*>(mine)->m_Trigger;
    case 15: return static_cast<CWeaponForceFieldMine*>(mine)->m_Trigger;
    case 16: return static_cast<CWeaponMotionMine*>(mine)->m_Trigger;
    default: return nullptr;
    }
}

struct CWeaponMines : CraftTest::TwoCraftRig
{
    // Lays a mine of the kind behind the shooter and returns it.
    CWeapon* Lay(int32_t kind)
    {
        CWeapon::Fire(a, kind, 0);
        EXPECT_FALSE(a->m_Mines.IsEmpty());
        return a->m_Mines.IsEmpty() ? nullptr : a->m_Mines.Back();
    }
    // Makes the mine exactly `age` seconds old.
    static void SetAge(CWeapon* mine, float age) { mine->m_SpawnTime = mine->m_World->m_WorldTime - age; }
    // A shot of the rival's, to spend a mine with.
    CWeapon* Shot()
    {
        CWeapon* bolt = new CWeaponPlasmaBolt();
        bolt->m_Owner = b;
        bolt->m_Kind = 1;
        bolt->m_Description = &g_WeaponDescriptions.Get(1);
        bolt->Launch();
        return bolt;
    }
    void Clear()
    {
        for (CWeapon* mine : a->m_Mines)
            mine->Expire();
        rig->Tick();
        ClearExplosionRequests();
        b->SetWeaponsDisabled(false);
        b->m_EmpDisableTimer = -1.0f;
    }
};

// What a craft's touch does to each kind, just before and once it is armed (strictly after for the EMP mine).
TEST_F(CWeaponMines, ATouchBeforeArmingDoesNothingAndAfterItTheKindsRule)
{
    rig->Tick();  // a frame time for the per-report damage
    ASSERT_GT(g_Timer.m_FrameDeltaF, 0.0f);
    enum Effect
    {
        Splash,
        Collapse,
        Hurt,
        Disable,
        Target,
        Brake
    };
    const struct
    {
        int32_t kind;
        Effect effect;
        bool atExactly;  // acts at exactly the activation time
    } rows[] = {
        {14, Splash, true}, {16, Splash, true},   {17, Splash, true}, {15, Collapse, true},
        {19, Hurt, true},   {20, Disable, false}, {13, Target, true}, {12, Brake, true},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.kind);
        const float activation = Description(row.kind).m_ActivationTime;
        for (int stage = 0; stage < 3; ++stage)
        {
            CWeapon* mine = Lay(row.kind);
            ASSERT_NE(mine, nullptr);
            // Before, at exactly, and well after the activation time.
            SetAge(mine, stage == 0 ? activation - 0.25f : stage == 1 ? activation : activation + 0.25f);
            const bool acts = stage == 2 || (stage == 1 && row.atExactly);
            const float health = b->m_Health;
            const D3DXVECTOR3 fast(0.0f, 0.0f, b->m_Description->m_Speed);
            b->SetLinearVelocity(fast);
            if (row.effect == Brake)
            {
                // Braking depends on the distance: the craft at the centre.
                D3DXMATRIX m;
                D3DXMatrixIdentity(&m);
                const D3DXVECTOR3 p = mine->GetWorldPosition();
                m._41 = p.x, m._42 = p.y, m._43 = p.z;
                b->SetTransform(m);
                b->UpdateMatrices();
                b->SetLinearVelocity(fast);
            }
            ClearExplosionRequests();
            mine->OnTriggerTouch(b, TriggerOf(mine));
            const std::vector<CExplosionRequest> posted = Requests();
            switch (row.effect)
            {
            case Splash:
                ASSERT_EQ(posted.size(), acts ? 1u : 0u) << stage;
                EXPECT_EQ(mine->m_Spent, acts);
                if (acts)
                {
                    EXPECT_EQ(posted[0].m_Type, CExplosionRequest::Splash);
                    EXPECT_FLOAT_EQ(posted[0].m_Radius, 20.0f);
                    EXPECT_FLOAT_EQ(posted[0].m_Damage, Description(row.kind).m_Damage);
                    EXPECT_EQ(posted[0].m_SplashMode, 1);
                    EXPECT_EQ(posted[0].m_Kind, row.kind);
                    EXPECT_EQ(posted[0].m_Owner, a);
                }
                break;
            case Collapse:
                ASSERT_EQ(posted.size(), acts ? 1u : 0u) << stage;
                if (acts)
                {
                    EXPECT_EQ(posted[0].m_Type, CExplosionRequest::Localized);
                    EXPECT_EQ(posted[0].m_VisualIndex, 7);
                    EXPECT_FLOAT_EQ(posted[0].m_Damage, 0.0f);
                    EXPECT_EQ(posted[0].m_Victim, nullptr);
                }
                break;
            case Hurt:
                EXPECT_TRUE(posted.empty());
                EXPECT_NEAR(health - b->m_Health,
                            acts ? a->m_DamageMultiplier * Description(19).m_Damage * g_Timer.m_FrameDeltaF : 0.0f,
                            1e-4)
                    << stage;
                EXPECT_FALSE(mine->m_Spent);
                break;
            case Disable:
                EXPECT_TRUE(posted.empty());
                EXPECT_EQ(b->m_WeaponsDisabled, acts) << stage;
                if (acts)
                {
                    EXPECT_FLOAT_EQ(b->m_EmpDisableTimer, 0.0f);
                }
                EXPECT_FALSE(mine->m_Spent);
                break;
            case Target:
                EXPECT_TRUE(posted.empty());
                EXPECT_EQ(mine->m_Target, acts ? b : nullptr) << stage;
                EXPECT_EQ(mine->m_BobEnabled, !acts);
                EXPECT_TRUE(mine->m_SpinEnabled);
                EXPECT_EQ(b->m_IncomingWeapons.Contains(mine), acts);
                break;
            case Brake:
                EXPECT_TRUE(posted.empty());
                if (acts)
                {
                    EXPECT_LT(Length(b->m_PendingLinearVelocity), Length(fast)) << stage;
                }
                else
                {
                    EXPECT_FLOAT_EQ(Length(b->m_PendingLinearVelocity), Length(fast)) << stage;
                }
                break;
            }
            Clear();
        }
    }
}

// A shot spends every kind through the default impact, so none sets itself off after, and a nuke mine hit so
// never blows.
TEST_F(CWeaponMines, AProjectileSpendsAnyMine)
{
    for (int32_t kind = 11; kind <= 20; ++kind)
    {
        SCOPED_TRACE(kind);
        CWeapon* mine = Lay(kind);
        ASSERT_NE(mine, nullptr);
        SetAge(mine, 5.0f);
        mine->OnCollision(Shot());
        EXPECT_TRUE(mine->m_Spent);
        EXPECT_TRUE(mine->m_PendingDeletion);
        std::vector<CExplosionRequest> posted = Requests();
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].m_Type, CExplosionRequest::Localized);
        EXPECT_EQ(posted[0].m_VisualIndex, 5);
        EXPECT_FLOAT_EQ(posted[0].m_Damage, 0.01f);
        // Spent: the craft's touch and contact do nothing more.
        mine->OnTriggerTouch(b, TriggerOf(mine));
        mine->OnCollision(b);
        rig->Tick(2);
        posted = Requests();
        EXPECT_EQ(posted.size(), 1u);
        EXPECT_FALSE(a->m_Mines.Contains(mine));
        ClearExplosionRequests();
    }
}

// Contacts with static bodies leave the touch mines armed; a moving body sets them off; the contact mine goes off
// on anything and the singularity mine on nothing.
TEST_F(CWeaponMines, StaticContactsLeaveTheTouchMinesArmed)
{
    WeActor wall;
    wall.m_PhysicModel.physicsClass = WePhysicsStaticMesh;
    WeActor box;
    box.m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    const struct
    {
        int32_t kind;
        bool onStatic, onMoving;
        int32_t type;
    } rows[] = {
        {11, true, true, CExplosionRequest::Splash},     {12, false, false, CExplosionRequest::Splash},
        {13, false, true, CExplosionRequest::Splash},    {14, false, true, CExplosionRequest::Splash},
        {15, false, true, CExplosionRequest::Localized}, {16, false, true, CExplosionRequest::Splash},
        {17, false, true, CExplosionRequest::Splash},    {19, false, true, CExplosionRequest::Localized},
        {20, false, true, CExplosionRequest::Localized},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.kind);
        CWeapon* mine = Lay(row.kind);
        ASSERT_NE(mine, nullptr);
        mine->OnCollision(&wall);
        EXPECT_EQ(mine->m_Spent, row.onStatic);
        if (!row.onStatic)
        {
            mine->OnCollision(&box);
            EXPECT_EQ(mine->m_Spent, row.onMoving);
            mine->OnCollision(b);  // a second contact posts nothing more
        }
        const std::vector<CExplosionRequest> posted = Requests();
        ASSERT_EQ(posted.size(), row.onStatic || row.onMoving ? 1u : 0u);
        if (!posted.empty())
        {
            EXPECT_EQ(posted[0].m_Type, row.type);
            EXPECT_EQ(posted[0].m_Kind, row.kind);
            if (row.type == CExplosionRequest::Localized)
            {
                EXPECT_EQ(posted[0].m_VisualIndex, row.kind == 15 ? 7 : 5);
            }
        }
        Clear();
    }
}

// The nuke mine blows when its life ends at the activation time, or at once on a craft, through its destructor.
TEST_F(CWeaponMines, TheNukeMineBlowsAtArmingOrOnACraft)
{
    const CWeaponDescription& nuke = Description(18);
    CWeapon* mine = Lay(18);
    ASSERT_NE(mine, nullptr);
    EXPECT_TRUE(static_cast<CWeaponNukeMine*>(mine)->m_Armed);
    const int ticks = int(std::ceil(nuke.m_ActivationTime * 64.0f));
    rig->Tick(ticks - 2);
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    rig->Tick(4);
    std::vector<CExplosionRequest> posted = Requests();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].m_Type, CExplosionRequest::Nuke);
    EXPECT_FLOAT_EQ(posted[0].m_Radius, nuke.m_EffectiveRadius);
    EXPECT_FLOAT_EQ(posted[0].m_Damage, nuke.m_Damage);
    EXPECT_EQ(posted[0].m_Kind, 18);
    EXPECT_TRUE(a->m_Mines.IsEmpty());
    ClearExplosionRequests();

    mine = Lay(18);
    WeActor wall;
    wall.m_PhysicModel.physicsClass = WePhysicsStaticMesh;
    mine->OnCollision(&wall);  // level geometry: nothing
    rig->Tick();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
    mine->OnCollision(b);
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);  // nothing inside the report
    rig->Tick();
    posted = Requests();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].m_Type, CExplosionRequest::Nuke);
    ClearExplosionRequests();

    // A mine alive when the world goes posts nothing.
    Lay(18);
    rig.reset();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
}

// The pull-push cycle once armed: waits, rests a tick, pulls 5 s, pushes 0.2 s, rests a tick, pulls again.
TEST_F(CWeaponMines, TheSingularityCycle)
{
    auto* mine = static_cast<CWeaponSingularityMine*>(Lay(12));
    ASSERT_NE(mine, nullptr);
    const float activation = Description(12).m_ActivationTime;
    std::vector<std::pair<int32_t, float>> changes;  // state, age at the change
    int32_t state = mine->m_CycleState;
    EXPECT_EQ(state, 0);
    for (int tick = 0; tick < int((activation + 11.0f) * 64.0f); ++tick)
    {
        rig->Tick();
        if (mine->m_CycleState != state)
        {
            state = mine->m_CycleState;
            changes.emplace_back(state, mine->m_World->m_WorldTime - mine->m_SpawnTime);
        }
    }
    ASSERT_GE(changes.size(), 7u);
    const int32_t expected[] = {1, 2, 3, 1, 2, 3, 1};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(changes[i].first, expected[i]) << i;
    const float tick = 1.0f / 64.0f;
    EXPECT_GE(changes[0].second, activation);
    EXPECT_NEAR(changes[1].second - changes[0].second, tick, 1e-4);         // one rest tick
    EXPECT_NEAR(changes[2].second - changes[1].second, 5.0f, 2.0f * tick);  // the pull
    EXPECT_NEAR(changes[3].second - changes[2].second, 0.2f, 2.0f * tick);  // the push
    EXPECT_NEAR(changes[4].second - changes[3].second, tick, 1e-4);
    mine->Expire();
    rig->Tick();
}

// Crafts are braked toward their floor and never sped up, even when only their box reaches the sphere; loose
// bodies are pulled and pushed under the caps, and nothing moves at the very centre.
TEST_F(CWeaponMines, SingularityBrakingAndTheLooseBodyCaps)
{
    rig->Tick();
    const float dt = g_Timer.m_FrameDeltaF;
    auto* mine = static_cast<CWeaponSingularityMine*>(Lay(12));
    ASSERT_NE(mine, nullptr);
    SetAge(mine, 10.0f);
    const float r = Description(12).m_EffectiveRadius;
    const float sMin = b->m_Description->m_Speed * 0.25f;
    const D3DXVECTOR3 centre = mine->GetWorldPosition();
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    const auto put = [&](WeActor* actor, float offset)
    {
        m._41 = centre.x + offset;
        m._42 = centre.y;
        m._43 = centre.z;
        actor->SetTransform(m);
        actor->UpdateMatrices();
    };
    const struct
    {
        const char* what;
        float offset, speed, expected;
    } crafts[] = {
        {"slower than the floor: untouched", 5.0f, sMin * 0.5f, sMin * 0.5f},
        {"at the centre: full strength", 0.0f, sMin + 50.0f, sMin + 50.0f - 100.0f * dt},
        {"inside the full-strength distance", 1.0f, sMin + 50.0f, sMin + 50.0f - 100.0f * dt},
        {"halfway between", 2.0f + (r - 2.0f) * 0.5f, sMin + 50.0f, sMin + 50.0f - 50.0f * dt},
        {"beyond the radius (a box reaching in): not sped up", r + 3.0f, sMin + 50.0f, sMin + 50.0f},
        {"just above the floor: raised to it", 0.0f, sMin + 0.1f, sMin},
    };
    for (const auto& row : crafts)
    {
        put(b, row.offset);
        b->SetLinearVelocity(D3DXVECTOR3(0.0f, 0.0f, row.speed));
        mine->m_CycleState = 2;
        mine->OnTriggerTouch(b, mine->m_Trigger);
        const D3DXVECTOR3 v = b->m_PendingLinearVelocity;
        EXPECT_NEAR(Length(v), row.expected, 1e-3) << row.what;
        EXPECT_NEAR(v.x, 0.0f, 1e-5) << row.what;  // the direction is kept
        EXPECT_TRUE(std::isfinite(v.z)) << row.what;
    }

    // A loose body of the map, 10 units off along +x.
    WeActor* body = new WeActor();
    body->m_HasModel = false;
    body->m_PhysicModel.physicsClass = WePhysicsDynamicBox;
    body->m_PhysicModel.explicitSize = true;
    body->m_PhysicModel.size = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
    body->m_PhysicModel.gravity = false;
    body->m_PhysicModel.collisionGroup = 24;
    put(body, 0.0f);
    a->m_World->AddActor(body);
    ASSERT_NE(body->m_PhysicHandle, nullptr);
    const struct
    {
        const char* what;
        int32_t state;
        float offset, startSpeed, expectedDx;  // the velocity change along +x
    } bodies[] = {
        {"pull", 2, 10.0f, 0.0f, -(10.0f / r) * 300.0f * dt},
        {"push", 3, 10.0f, 0.0f, (1.0f - 10.0f / r) * 200.0f * dt},
        {"rest", 1, 10.0f, 0.0f, 0.0f},
        {"pull above the cap of 100", 2, 10.0f, -99.9f, 0.0f},
        {"push above the square root of 3000", 3, 10.0f, 54.7f, 0.0f},
        {"push beyond the radius: no pull", 3, r + 2.0f, 0.0f, 0.0f},
        {"at the centre: nothing", 2, 0.0f, 0.0f, 0.0f},
    };
    for (const auto& row : bodies)
    {
        put(body, row.offset);
        body->m_PhysicHandle->SetPose(body->GetWorldMatrix());
        body->m_PhysicHandle->SetLinearVelocity(D3DXVECTOR3(row.startSpeed, 0.0f, 0.0f));
        mine->m_CycleState = row.state;
        mine->OnTriggerTouch(body, mine->m_Trigger);
        D3DXVECTOR3 v;
        body->m_PhysicHandle->GetLinearVelocity(v);
        EXPECT_NEAR(v.x - row.startSpeed, row.expectedDx, 1e-3) << row.what;
        EXPECT_TRUE(std::isfinite(v.x)) << row.what;
    }
    body->Expire();
    mine->Expire();
    rig->Tick();
}

// The chase retargets at most once a second and only to enemies; the first target keeps no stale entry.
TEST_F(CWeaponMines, TheHomingMineRetargetsOnceASecondOnlyToEnemies)
{
    CTuber* c = rig->Craft(2);
    ASSERT_NE(c, nullptr);
    auto* mine = static_cast<CWeaponHomingMine*>(Lay(13));
    ASSERT_NE(mine, nullptr);
    SetAge(mine, 5.0f);
    mine->OnTriggerTouch(b, mine->m_Trigger);
    ASSERT_EQ(mine->m_Target, b);
    mine->OnTriggerTouch(c, mine->m_Trigger);  // within the second: kept
    EXPECT_EQ(mine->m_Target, b);
    rig->Tick(66);
    // A team mate of the owner is no target.
    const int32_t place = c->m_Participant->m_StartPlace;
    c->m_Participant->m_StartPlace = a->m_Participant->m_StartPlace;
    mine->OnTriggerTouch(c, mine->m_Trigger);
    EXPECT_EQ(mine->m_Target, b);
    mine->OnTriggerTouch(a, mine->m_Trigger);  // nor the owner
    EXPECT_EQ(mine->m_Target, b);
    c->m_Participant->m_StartPlace = place;
    mine->OnTriggerTouch(c, mine->m_Trigger);
    EXPECT_EQ(mine->m_Target, c);
    EXPECT_FALSE(b->m_IncomingWeapons.Contains(mine));
    EXPECT_TRUE(c->m_IncomingWeapons.Contains(mine));
    // Gone, it leaves neither list with an entry; the first target's search reads nothing freed.
    mine->Expire();
    rig->Tick();
    EXPECT_FALSE(c->m_IncomingWeapons.Contains(static_cast<CWeapon*>(mine)));
    b->FindNearestIncomingWeapon();
    c->FindNearestIncomingWeapon();
    EXPECT_EQ(c->m_NearestIncomingWeapon, nullptr);
}

// The mine moves on its path once armed, and its box and trigger go with it.
TEST_F(CWeaponMines, TheMotionMinePathWithItsBodyFollowing)
{
    auto* mine = static_cast<CWeaponMotionMine*>(Lay(16));
    ASSERT_NE(mine, nullptr);
    const D3DXVECTOR3 base = mine->m_BasePosition;
    const float activation = Description(16).m_ActivationTime;
    rig->Tick(int(activation * 64.0f) - 4);
    EXPECT_LT(Length(mine->GetWorldPosition() - base), 1e-3);  // still before arming
    rig->Tick(40);
    const float t = 3.0f * (mine->m_World->m_WorldTime - mine->m_SpawnTime - activation);
    const D3DXVECTOR3 expected =
        base + D3DXVECTOR3(4.0f * std::sin(t), 4.0f * std::sin(t * 1.37f), 12.0f * std::sin(t * 1.73f));
    const D3DXVECTOR3 p = mine->GetWorldPosition();
    EXPECT_LT(Length(p - expected), 0.05f);
    EXPECT_GT(Length(p - base), 1.0f);
    ASSERT_NE(mine->m_PhysicHandle, nullptr);
    D3DXVECTOR3 body;
    mine->m_PhysicHandle->GetPosition(body);
    EXPECT_LT(Length(body - p), 0.05f);
    ASSERT_NE(mine->m_Trigger, nullptr);
    EXPECT_LT(Length(mine->m_Trigger->GetWorldPosition() - p), 0.05f);
    ASSERT_NE(mine->m_Trail, nullptr);
    EXPECT_EQ(mine->m_Trail->m_Parent, mine);
    mine->Expire();
    rig->Tick();
}

// The EMP mine disables a craft in reach again at every report, so it stays off until it leaves.
TEST_F(CWeaponMines, TheEMPMineReDisablesWhileACraftStays)
{
    CWeapon* mine = Lay(20);
    ASSERT_NE(mine, nullptr);
    SetAge(mine, 5.0f);
    mine->OnTriggerTouch(b, nullptr);
    ASSERT_TRUE(b->m_WeaponsDisabled);
    rig->Tick(32);
    EXPECT_GT(b->m_EmpDisableTimer, 0.0f);
    mine->OnTriggerTouch(b, nullptr);
    EXPECT_FLOAT_EQ(b->m_EmpDisableTimer, 0.0f);
    EXPECT_TRUE(b->m_WeaponsDisabled);
    EXPECT_FALSE(mine->m_Spent);
    Clear();
}

// What each kind leaves in the world at its launch.
TEST_F(CWeaponMines, TheLaunchTable)
{
    const struct
    {
        int32_t kind;
        bool light, bob, spin, dynamic;
        int32_t spinAxis;
    } rows[] = {
        {11, true, true, true, false, 1},  {12, true, true, true, false, 1},   {13, true, true, true, true, 1},
        {14, true, true, true, false, 1},  {15, true, false, false, false, 1}, {16, true, false, true, false, 1},
        {17, false, true, true, false, 1}, {18, true, true, true, false, 1},   {19, true, true, true, false, 0},
        {20, true, true, true, false, 1},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.kind);
        CWeapon* mine = Lay(row.kind);
        ASSERT_NE(mine, nullptr);
        EXPECT_EQ(mine->m_Type, 11);
        EXPECT_EQ(mine->m_MineLight != nullptr, row.light);
        EXPECT_EQ(mine->m_BobEnabled, row.bob);
        EXPECT_EQ(mine->m_SpinEnabled, row.spin);
        EXPECT_EQ(mine->m_Dynamic, row.dynamic);
        EXPECT_EQ(mine->m_SpinAxis, row.spinAxis);
        EXPECT_EQ(mine->m_PhysicModel.collisionGroup, row.kind == 12 ? 12 : 4);
        if (row.kind == 15)
        {
            auto* field = static_cast<CWeaponForceFieldMine*>(mine);
            ASSERT_NE(field->m_Trigger, nullptr);
            EXPECT_EQ(field->m_Trigger->m_PhysicModel.physicsClass, WePhysicsStaticBox);
            EXPECT_EQ(field->m_Trigger->m_PhysicModel.collisionGroup, 7);
            EXPECT_FLOAT_EQ(field->m_Trigger->m_PhysicModel.size.x, 50.0f);
            EXPECT_FLOAT_EQ(field->m_Trigger->m_PhysicModel.size.z, 5.0f);
            EXPECT_FLOAT_EQ(mine->m_PhysicModel.size.z, 6.5f);
        }
        const float life = row.kind == 18 ? Description(18).m_ActivationTime : 20.0f;
        EXPECT_FLOAT_EQ(mine->m_LifeTime, life);
        Clear();
    }
}

// A laid mine's light is one the renderer takes: in the world's lights, on, with reach and a lit colour scale
// once faded in, at the mine, in its kind's colour.
TEST_F(CWeaponMines, EveryLitMineShinesInItsKindsColour)
{
    const struct
    {
        int32_t kind;
        float r, g, b;
    } rows[] = {
        {11, 1, 1, 1}, {12, 1, 1, 1}, {13, 1, 1, 0}, {14, 1, 1, 0}, {15, 0, 1, 1},
        {16, 1, 0, 0}, {18, 1, 1, 1}, {19, 0, 0, 1}, {20, 1, 1, 1},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.kind);
        CWeapon* mine = Lay(row.kind);
        ASSERT_NE(mine, nullptr);
        rig->Tick(16);
        WeLight* light = mine->m_MineLight;
        ASSERT_NE(light, nullptr);
        bool listed = false;
        WeHashTable<WeActor*>& lights = mine->m_World->GetLights();
        for (auto* e = lights.First(); e; e = lights.Next())
            listed = listed || e->value == light;
        EXPECT_TRUE(listed);
        EXPECT_TRUE(light->m_SwitchedOn);
        EXPECT_GT(light->m_Range, 0.0f);
        EXPECT_GT(light->GetColorScale(), 0.5f);
        EXPECT_LT(Length(light->GetWorldPosition() - mine->GetWorldPosition()), 0.01f);
        EXPECT_FLOAT_EQ(light->m_Current.color[0], row.r);
        EXPECT_FLOAT_EQ(light->m_Current.color[1], row.g);
        EXPECT_FLOAT_EQ(light->m_Current.color[2], row.b);
        Clear();
    }
}

// Under the sanitizer: every kind detonated, expired by life, or alive with its children when the world goes.
TEST_F(CWeaponMines, LifetimesEndCleanly)
{
    for (int32_t kind = 11; kind <= 20; ++kind)
    {
        CWeapon* mine = Lay(kind);
        if (kind % 2 == 0)
        {
            SetAge(mine, 5.0f);
            mine->OnCollision(b);
            mine->OnTriggerTouch(b, nullptr);
        }
    }
    rig->Tick(4);
    for (int32_t kind = 11; kind <= 20; ++kind)
    {
        CWeapon* mine = Lay(kind);
        mine->SetLifeTime(0.05f);
    }
    for (int32_t kind = 11; kind <= 20; ++kind)
        Lay(kind)->SetTarget(b);
    rig->Tick(8);
    ClearExplosionRequests();
    rig.reset();
    EXPECT_EQ(g_ExplosionRequests.Count(), 0);
}

}  // namespace
