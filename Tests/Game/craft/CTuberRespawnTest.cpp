#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CPickupAction.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/craft/DamageTestSupport.h"

namespace
{

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return std::sqrt(Dot(d, d));
}

D3DXVECTOR3 Forward(const D3DXMATRIX& m)
{
    return D3DXVECTOR3(m._31, m._32, m._33);
}

void Place(CTuber* c, const D3DXVECTOR3& p)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    // Turned a little off the track, so the respawn's facing shows.
    const float a = 0.4f;
    m._11 = std::cos(a);
    m._13 = -std::sin(a);
    m._31 = std::sin(a);
    m._33 = std::cos(a);
    m._41 = p.x;
    m._42 = p.y;
    m._43 = p.z;
    c->SetTransform(m);
    c->SetVelocity(D3DXVECTOR3());
    c->SetAngularVelocity(D3DXVECTOR3());
}

// An oval whose start straight forks in two branches 60 m apart and joins again.
std::string ForkedOval()
{
    return "map RigFork\nsky Maps.Sky.Plain 0\nprofile channel 16 2\nstep 2\nsegment 200\n"
           "materials Maps.Common.Road Maps.Common.Wall\nnodes 25 1.5\nstarts 8 8\nheader\nend\n"
           "section\n  point 0 0 0\n  point 0 0 600\n  point 0 0 1000\nend\n"
           "fork\n  branch\n    point 0 0 1000\n    point -60 0 1200\n    point -60 0 1400\n    point 0 0 1600\n"
           "  end\n  branch\n    point 0 0 1000\n    point 60 0 1200\n    point 60 0 1400\n    point 0 0 1600\n"
           "  end\nendfork\n"
           "section\n  point 0 0 1600\n  point 0 0 3000\n  point 150 0 3250\n  point 300 0 3000\n"
           "  point 300 0 -300\n  point 150 0 -550\n  point 0 0 -300\nend\n";
}

struct CTuberRespawn : DamageTest::Rig
{
    RaceRigOptions Options() override { return DamageTest::ThreeCraft(ForkedOval()); }
};

TEST_F(CTuberRespawn, ComesBackOnThePathFacingAlongIt)
{
    WeWorld* world = player->m_World;
    ASSERT_NE(world, nullptr);
    struct Row
    {
        const char* name;
        D3DXVECTOR3 death;
        bool ghost;
    };
    const Row rows[] = {
        {"centre line", {0.0f, 1.5f, 300.0f}, false},
        {"against the left wall", {-7.0f, 1.5f, 300.0f}, false},
        {"outside the tube", {11.0f, 1.5f, 400.0f}, true},
        {"high above the road", {0.0f, 21.5f, 500.0f}, false},
        {"just before the start line", {0.0f, 1.5f, -290.0f}, false},
        {"just after the start line", {0.0f, 1.5f, 15.0f}, false},
        {"left branch", {-58.0f, 1.5f, 1300.0f}, false},
        {"right branch", {62.0f, 1.5f, 1300.0f}, false},
        {"far straight, in the wall", {307.5f, 1.5f, 1500.0f}, false},
    };
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.name);
        DamageTest::Revive(player);
        Place(player, r.death);
        player->m_CurrentNode = nullptr;
        player->UpdateTrackPosition();
        ASSERT_NE(player->m_CurrentNode, nullptr);
        player->m_Ghost = r.ghost;
        player->m_StuckTimer = 3.0f;
        WePathNode* nodeBefore = nullptr;
        float alongBefore = 0.0f;
        D3DXVECTOR3 projected;
        world->FindTrackPosition(player->GetWorldPosition(), &nodeBefore, nullptr, &alongBefore, nullptr, &projected,
                                 player->m_CurrentNode);
        // It faces along the nearest node ahead of the one it was on.
        WePathNode* facing = world->FindClosestNodeAlongPath(player->m_CurrentNode, player->GetWorldPosition());
        if (!facing)
            facing = player->m_CurrentNode;
        const int32_t crossings = player->m_LapCrossings;
        ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
        DamageTest::Drain();
        player->Respawn();

        const D3DXVECTOR3 back = player->GetWorldPosition();
        EXPECT_LT(Distance(back, projected), 0.5f);
        WePathNode* nodeAfter = nullptr;
        float alongAfter = 0.0f;
        D3DXVECTOR3 onPath;
        world->FindTrackPosition(back, &nodeAfter, nullptr, &alongAfter, nullptr, &onPath, player->m_CurrentNode);
        EXPECT_EQ(nodeAfter, nodeBefore);
        EXPECT_NEAR(alongAfter, alongBefore, 0.01f);
        EXPECT_LT(Distance(back, onPath), 0.01f);
        D3DXVECTOR3 nodeForward = Forward(facing->GetWorldMatrix());
        nodeForward *= 1.0f / std::sqrt(Dot(nodeForward, nodeForward));
        EXPECT_GT(Dot(Forward(player->GetWorldMatrix()), nodeForward), 0.99f);
        EXPECT_EQ(player->m_LapCrossings, crossings);
        EXPECT_FALSE(player->m_Ghost);
        EXPECT_EQ(player->m_StuckTimer, 0.0f);
        EXPECT_FALSE(player->m_Destroyed);
        EXPECT_TRUE(player->m_ModelVisible);
        EXPECT_FLOAT_EQ(player->m_Health, player->m_MaxHealth);

        // Nothing throws it about afterwards: it sits clear of every wall.
        rig->Tick(64);
        EXPECT_LT(Distance(player->GetWorldPosition(), back), 0.5f);
    }
}

TEST_F(CTuberRespawn, WithoutAPathTheCraftKeepsItsTransform)
{
    Place(player, D3DXVECTOR3(3.0f, 4.0f, 100.0f));
    const D3DXMATRIX before = player->GetWorldMatrix();
    ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
    DamageTest::Drain();
    player->m_CurrentNode = nullptr;
    player->Respawn();
    const D3DXMATRIX& after = player->GetWorldMatrix();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_FLOAT_EQ(after.m[i][j], before.m[i][j]);
}

TEST_F(CTuberRespawn, ComputerAndHumanCraftWaitTheirOwnTimes)
{
    ConfigOverride ai("tuber.Respawn.AITime", "1");
    ConfigOverride human("tuber.Respawn.Time", "3");
    ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    DamageTest::Drain();
    int64_t rivalBack = -1, playerBack = -1;
    for (int64_t tick = 1; tick <= 64 * 4 && playerBack < 0; ++tick)
    {
        rig->Tick();
        if (rivalBack < 0 && !rival->m_Destroyed)
            rivalBack = tick;
        if (playerBack < 0 && !player->m_Destroyed)
            playerBack = tick;
        // Timers run only while destroyed.
        if (!rival->m_Destroyed)
        {
            EXPECT_EQ(rival->m_DeathTimer, 0.0f);
        }
    }
    EXPECT_NEAR(double(rivalBack), 64.0, 1.0);
    EXPECT_NEAR(double(playerBack), 192.0, 1.0);
    EXPECT_FALSE(rival->m_Destroyed);
    EXPECT_FALSE(player->m_Destroyed);
}

TEST_F(CTuberRespawn, BadTimesRespawnAtTheNextTickOrByTheDefault)
{
    {
        ConfigOverride negative("tuber.Respawn.Time", "-4");
        ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
        DamageTest::Drain();
        rig->Tick();
        EXPECT_FALSE(player->m_Destroyed);
    }
    {
        ConfigOverride bad("tuber.Respawn.Time", "nan");
        ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
        DamageTest::Drain();
        rig->Tick(127);
        EXPECT_TRUE(player->m_Destroyed);
        rig->Tick(2);
        EXPECT_FALSE(player->m_Destroyed);
    }
}

TEST_F(CTuberRespawn, EndsOnlyItsOwnDeathEffectAndPlaysTheSpawnSound)
{
    ClearPostProcessSlots();
    ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
    DamageTest::Drain();
    UpdatePostProcessSlots();
    ASSERT_EQ(g_PostProcessSlots[0].m_Extra, player);
    const int32_t spawns = CountOneShotSounds(WeString("Sounds.Tuber.Spawn"));
    player->Respawn();
    ASSERT_EQ(g_PostProcessRequests.size(), 1u);
    EXPECT_EQ(g_PostProcessRequests[0].effect, 0);
    EXPECT_EQ(g_PostProcessRequests[0].mode, 3);
    EXPECT_FLOAT_EQ(g_PostProcessRequests[0].value, 1.0f);
    EXPECT_EQ(g_PostProcessRequests[0].data, nullptr);
    EXPECT_EQ(CountOneShotSounds(WeString("Sounds.Tuber.Spawn")), spawns + 1);
    EXPECT_EQ(g_Game.m_Snap, 1);
    UpdatePostProcessSlots();

    // Another craft's death effect runs on through the player's respawn.
    g_PostProcessRequests.clear();
    ClearPostProcessSlots();
    RequestPostProcessEffect(0, 1, 1.4f, rival);
    UpdatePostProcessSlots();
    ASSERT_TRUE(player->ApplyDamage(1.0e6f, rival, 1));
    DamageTest::Drain();
    g_PostProcessRequests.clear();
    player->Respawn();
    EXPECT_TRUE(g_PostProcessRequests.empty());
    ClearPostProcessSlots();
}

}  // namespace

namespace
{

TEST_F(CTuberRespawn, InvulnerableForThreeSecondsWhenWeaponsAreOn)
{
    const bool weapons = g_RaceSettings.m_Weapons;
    struct Row
    {
        bool weapons, running;
    };
    for (const Row& r : {Row{true, false}, Row{true, true}, Row{false, false}})
    {
        SCOPED_TRACE(r.weapons ? (r.running ? "weapons on, one running" : "weapons on") : "weapons off");
        g_RaceSettings.m_Weapons = r.weapons;
        DamageTest::Revive(rival);
        rival->EndAllPowerUps(true);
        rival->m_Invulnerable = false;
        if (r.running)
        {
            CPickupAction* running = rival->StartPowerUp(1, false, 0.0f, false);
            ASSERT_NE(running, nullptr);
            running->m_Elapsed = 5.0f;
        }
        rival->m_Destroyed = true;
        rival->Respawn();
        CPickupAction* action = rival->FindPowerUp(1);
        if (!r.weapons)
        {
            EXPECT_EQ(action, nullptr);
            EXPECT_FALSE(rival->m_Invulnerable);
            continue;
        }
        ASSERT_NE(action, nullptr);
        EXPECT_FLOAT_EQ(action->m_Duration, 3.0f);
        EXPECT_FLOAT_EQ(action->m_Elapsed, 0.0f);
        EXPECT_TRUE(action->m_Active);
        EXPECT_TRUE(rival->m_Invulnerable);
        EXPECT_FALSE(rival->ApplyDamage(10.0f, player, 1));
    }
    g_RaceSettings.m_Weapons = weapons;
    rival->EndAllPowerUps(true);
}

TEST_F(CTuberRespawn, DeathEndsEveryAbilityButTheForcedOnes)
{
    const bool weapons = g_RaceSettings.m_Weapons;
    g_RaceSettings.m_Weapons = true;
    ASSERT_NE(rival->StartPowerUp(0, false, 0.0f, false), nullptr);  // invisibility
    rival->SetCheatPowerUp(2, true);                                 // a forced quad damage
    ASSERT_NE(rival->FindPowerUp(2), nullptr);
    const int32_t sounds = CountOneShotSounds();
    ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
    EXPECT_EQ(rival->FindPowerUp(0), nullptr);
    EXPECT_FALSE(rival->m_Invisible);
    EXPECT_NE(rival->FindPowerUp(2), nullptr);
    EXPECT_EQ(CountOneShotSounds(), sounds);  // ended without their end sounds
    DamageTest::Drain();
    rival->SetCheatPowerUp(2, false);
    rival->EndAllPowerUps(true);
    g_RaceSettings.m_Weapons = weapons;
}

}  // namespace
