#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgentArmory.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/AgentTestSupport.h"

namespace
{

const D3DXVECTOR3 AlongZ(0.0f, 0.0f, 1.0f), AlongX(1.0f, 0.0f, 0.0f);

// The player (slot 0) and Easy, Medium, Hard agents (slots 1 to 3) on the long oval, whose start straight runs
// 1.5 km along +z between walls 8 m either side of the centre line. The deciding craft stands at z = 100
// facing along the straight, the others far behind it unless a test places them.
struct CAgentArmory : ::testing::Test
{
    // The generated oval's long straight for the reaches; the shipped test track, whose walls the ray casts
    // meet, for the lines of sight.
    virtual std::string Map() const { return CraftTest::LongOval(); }
    void SetUp() override
    {
        rig = AgentTest::StartRig({1, 2, 3}, true, Map());
        ASSERT_NE(rig, nullptr);
        rig->Tick(1);
        g_RaceSettings.m_Weapons = true;
        for (int slot = 0; slot < 4; ++slot)
            Park(slot);
    }
    void TearDown() override { rig.reset(); }

    CTuber* Craft(int slot) const { return rig->Craft(slot); }
    CAgent* Agent(int slot) const { return AgentTest::AgentOf(*rig, slot); }
    // Out of every range: behind the start.
    void Park(int slot) { AgentTest::Place(Craft(slot), D3DXVECTOR3(-4.0f + 2.0f * slot, 1.0f, -200.0f), AlongZ); }
    void Put(int slot, float x, float z, const D3DXVECTOR3& forward = AlongZ)
    {
        AgentTest::Place(Craft(slot), D3DXVECTOR3(x, 1.0f, z), forward);
    }
    // The primary strategy the agent picks for the craft's primary kind, deciding on a fresh message.
    bool FiresPrimary(int slot)
    {
        CAgent* agent = Agent(slot);
        agent->m_CurrentPrimaryArmory = nullptr;
        agent->UseWeapons();
        if (agent->m_CurrentPrimaryArmory == nullptr)
            return false;
        CInputMessage message;
        message.m_FireWeapon = 1;
        agent->m_CurrentPrimaryArmory->Decide(message);
        return message.m_FireWeapon != 0;
    }
    bool FiresMine(int slot)
    {
        CAgent* agent = Agent(slot);
        agent->m_CurrentSecondaryArmory = nullptr;
        agent->UseWeapons();
        if (agent->m_CurrentSecondaryArmory == nullptr)
            return false;
        CInputMessage message;
        message.m_FireMine = 1;
        agent->m_CurrentSecondaryArmory->Decide(message);
        return message.m_FireMine != 0;
    }
    void Arm(int slot, int32_t primary, int32_t secondary = 0)
    {
        CTuber* craft = Craft(slot);
        craft->m_PickupPrimaryKind = primary;
        craft->m_SelectedPrimaryKind = primary;
        craft->m_PickupSecondaryKind = secondary;
        craft->m_SelectedSecondaryKind = secondary;
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

TEST_F(CAgentArmory, EachKindHasItsFamilyAndWeaponsOffChooseNone)
{
    CAgent* agent = Agent(3);
    const auto primaryOf = [&](int32_t kind)
    {
        Arm(3, kind);
        agent->m_CurrentPrimaryArmory = agent->m_CurrentSecondaryArmory = nullptr;
        agent->UseWeapons();
        return agent->m_CurrentPrimaryArmory;
    };
    const auto secondaryOf = [&](int32_t kind)
    {
        Arm(3, 0, kind);
        agent->m_CurrentPrimaryArmory = agent->m_CurrentSecondaryArmory = nullptr;
        agent->UseWeapons();
        return agent->m_CurrentSecondaryArmory;
    };
    ::CAgentArmory* const none = nullptr;
    ::CAgentArmory* const primaries[] = {none,
                                         agent->m_Bolts,
                                         agent->m_Bolts,
                                         agent->m_HomingMissiles,
                                         agent->m_Bolts,
                                         agent->m_HomingMissiles,
                                         agent->m_PositionMissiles,
                                         agent->m_PositionMissiles,
                                         agent->m_Bolts,
                                         agent->m_FFG,
                                         agent->m_PositionMissiles};
    for (int32_t kind = -1; kind <= 23; ++kind)
    {
        EXPECT_EQ(primaryOf(kind), kind >= 0 && kind <= 10 ? primaries[kind] : none) << kind;
        ::CAgentArmory* mine = kind == 18 ? agent->m_NukeMine : kind >= 11 && kind <= 20 ? agent->m_ClassicMines : none;
        EXPECT_EQ(secondaryOf(kind), mine) << kind;
    }
    // Carried but not selected this frame: nothing.
    Arm(3, 1, 11);
    Craft(3)->m_SelectedPrimaryKind = 0;
    Craft(3)->m_SelectedSecondaryKind = 0;
    agent->m_CurrentPrimaryArmory = agent->m_CurrentSecondaryArmory = nullptr;
    agent->UseWeapons();
    EXPECT_EQ(agent->m_CurrentPrimaryArmory, none);
    EXPECT_EQ(agent->m_CurrentSecondaryArmory, none);
    // With the race's weapons off nothing is chosen, whatever is carried.
    g_RaceSettings.m_Weapons = false;
    for (int32_t kind = 1; kind <= 20; ++kind)
    {
        EXPECT_EQ(primaryOf(kind), none) << kind;
        EXPECT_EQ(secondaryOf(kind), none) << kind;
    }
}

TEST_F(CAgentArmory, BoltsReachAndConeByLevel)
{
    // Bound with their defaults first, so that the overrides leave them as they found them.
    GetConfigFloat("tuber.Weapons.BoltLockDistance", 500.0f);
    GetConfigFloat("tuber.Weapons.BoltLockMinDot", 0.995f);
    ConfigOverride distance("tuber.Weapons.BoltLockDistance", "500");
    ConfigOverride dot("tuber.Weapons.BoltLockMinDot", "0.995");
    struct Row
    {
        int slot;           // 1 Easy, 2 Medium, 3 Hard
        float ahead, side;  // where the player stands from the deciding craft
        bool fires;
    };
    // The cone's dot is ahead / distance: 60 ahead and 7 aside is 0.9932, 5 ahead and 7 aside 0.581, 3 and 7
    // 0.394.
    const Row rows[] = {
        {1, 990.0f, 0.0f, true}, {1, 1010.0f, 0.0f, false}, {2, 740.0f, 0.0f, true}, {2, 760.0f, 0.0f, false},
        {3, 490.0f, 0.0f, true}, {3, 510.0f, 0.0f, false},  {3, 60.0f, 7.0f, false}, {2, 60.0f, 7.0f, true},
        {2, 5.0f, 7.0f, false},  {1, 5.0f, 7.0f, true},     {1, 3.0f, 7.0f, false},
    };
    for (const Row& row : rows)
    {
        for (int slot = 0; slot < 4; ++slot)
            Park(slot);
        Put(row.slot, 0.0f, 100.0f);
        Put(0, row.side, 100.0f + row.ahead);
        Arm(row.slot, 1);
        Craft(row.slot)->m_WrapTimer = 0.99f;
        EXPECT_EQ(FiresPrimary(row.slot), row.fires) << "slot " << row.slot << " ahead " << row.ahead;
    }
}

TEST_F(CAgentArmory, TheWrapTimerDecidesWhichKindABoltMayTarget)
{
    // A Medium agent (ShootAtEasy 0.5, ShootAtHard 0 by default) with an Easy craft and a Hard craft ahead.
    ConfigOverride easyShare("AI.Medium.ShootAtEasy", "0.5");
    ConfigOverride hardShare("AI.Medium.ShootAtHard", "0");
    g_AIKernel.LoadProfiles();
    Put(2, 0.0f, 100.0f);
    Arm(2, 2);
    const struct
    {
        int target;
        float wrap;
        bool fires;
    } rows[] = {{1, 0.0f, false}, {1, 0.49f, false}, {1, 0.5f, true},   {1, 0.99f, true},
                {3, 0.0f, false}, {3, 0.5f, false},  {3, 0.999f, false}};
    for (const auto& row : rows)
    {
        Park(1);
        Park(3);
        Put(row.target, 0.0f, 200.0f);
        Craft(2)->m_WrapTimer = row.wrap;
        EXPECT_EQ(FiresPrimary(2), row.fires) << "target slot " << row.target << " wrap " << row.wrap;
    }
}

// The test track's start straight runs along +z from z = 20 to 340 between walls 9 m either side.
struct CAgentArmoryWalls : CAgentArmory
{
    std::string Map() const override { return ""; }
};

TEST_F(CAgentArmoryWalls, AHardBoltNeedsAClearLine)
{
    // Facing the wall, with the player 30 m beyond it: only the Hard agent looks for a clear line.
    for (int slot : {2, 3})
    {
        for (int other = 0; other < 4; ++other)
            Park(other);
        Put(slot, 0.0f, 100.0f, AlongX);
        Put(0, 30.0f, 100.0f);
        ASSERT_TRUE(g_Physics.RaycastAny(D3DXVECTOR3(0.0f, 1.0f, 100.0f), AlongX, 1, 7, 30.0f));
        Arm(slot, 1);
        Craft(slot)->m_WrapTimer = 0.99f;
        EXPECT_EQ(FiresPrimary(slot), slot == 2) << slot;
        // Along the open straight the line is clear.
        Put(slot, 0.0f, 100.0f);
        Put(0, 0.0f, 130.0f);
        EXPECT_TRUE(FiresPrimary(slot)) << slot;
    }
}

TEST_F(CAgentArmory, HomingAndPositionMissilesByLockAimAndPlace)
{
    struct Row
    {
        const char* what;
        int slot;
        int32_t kind;
        float lock;
        D3DXVECTOR3 target;  // the lock target's place; the deciding craft is at (0, 1, 100) facing +z
        int place;
        bool fires;
    };
    const Row rows[] = {
        {"Easy, any lock", 1, 3, 0.1f, {0.0f, 1.0f, 400.0f}, 2, true},
        {"Medium, part lock", 2, 3, 0.9f, {0.0f, 1.0f, 400.0f}, 2, false},
        {"Medium, full lock", 2, 5, 1.0f, {0.0f, 1.0f, 400.0f}, 2, true},
        {"Hard, part lock", 3, 3, 0.99f, {0.0f, 1.0f, 150.0f}, 2, false},
        {"Hard at 50, aimed", 3, 3, 1.0f, {0.0f, 1.0f, 150.0f}, 2, true},
        {"Hard at 50, off the 0.99 cone", 3, 3, 1.0f, {7.5f, 1.0f, 149.5f}, 2, false},
        {"leader with a SlowingRocket", 1, 6, 1.0f, {0.0f, 1.0f, 400.0f}, 1, false},
        {"overtaken with a SlowingRocket", 1, 6, 0.1f, {0.0f, 1.0f, 400.0f}, 2, true},
        {"leader with a Translocator", 3, 7, 1.0f, {0.0f, 1.0f, 150.0f}, 1, false},
        {"overtaken Medium, part lock, NuclearWarhead", 2, 10, 0.5f, {0.0f, 1.0f, 400.0f}, 2, false},
        {"overtaken Hard, aimed NuclearWarhead", 3, 10, 1.0f, {0.0f, 1.0f, 150.0f}, 3, true},
    };
    for (const Row& row : rows)
    {
        Put(row.slot, 0.0f, 100.0f);
        Arm(row.slot, row.kind);
        CTuber* target = Craft(0);
        AgentTest::Place(target, row.target, AlongZ);
        Craft(row.slot)->m_LockTarget = target;
        Craft(row.slot)->m_LockLevel = row.lock;
        Craft(row.slot)->m_Participant->m_RacePlace = row.place;
        EXPECT_EQ(FiresPrimary(row.slot), row.fires) << row.what;
        Craft(row.slot)->m_LockTarget = nullptr;
        EXPECT_FALSE(FiresPrimary(row.slot)) << row.what << ", no lock";
        Park(row.slot);
    }
    // A target on the craft itself gives no aim and casts no ray.
    Put(3, 0.0f, 100.0f);
    Arm(3, 3);
    Craft(3)->m_LockTarget = Craft(0);
    Craft(3)->m_LockLevel = 1.0f;
    Put(0, 0.0f, 100.0f);
    EXPECT_FALSE(FiresPrimary(3));
}

TEST_F(CAgentArmoryWalls, AHardMissileBeyondTheFireDistanceNeedsItsFirst100MetresClear)
{
    Put(3, 0.0f, 100.0f);
    Arm(3, 3);
    Craft(3)->m_LockTarget = Craft(0);
    Craft(3)->m_LockLevel = 1.0f;
    Put(0, 0.0f, 400.0f);  // 300 ahead, along the open straight
    EXPECT_TRUE(FiresPrimary(3));
    Put(0, 300.0f, 100.0f);  // 300 aside, beyond the wall
    EXPECT_FALSE(FiresPrimary(3));
    // Medium needs no line.
    Put(2, 0.0f, 100.0f);
    Arm(2, 3);
    Craft(2)->m_LockTarget = Craft(0);
    Craft(2)->m_LockLevel = 1.0f;
    EXPECT_TRUE(FiresPrimary(2));
}

TEST_F(CAgentArmory, TheFrontFieldOfAHardAgentFiresOnlyCloseAndAimed)
{
    const struct
    {
        int slot;
        D3DXVECTOR3 target;
        bool fires;
    } rows[] = {{1, {0.0f, 1.0f, 400.0f}, true},  {2, {0.0f, 1.0f, 400.0f}, true},  {3, {0.0f, 1.0f, 110.0f}, true},
                {3, {0.0f, 1.0f, 116.0f}, false}, {3, {2.0f, 1.0f, 110.0f}, false}, {3, {0.5f, 1.0f, 112.0f}, true}};
    for (const auto& row : rows)
    {
        Put(row.slot, 0.0f, 100.0f);
        Arm(row.slot, 9);
        AgentTest::Place(Craft(0), row.target, AlongZ);
        Craft(row.slot)->m_LockTarget = Craft(0);
        Craft(row.slot)->m_LockLevel = 0.2f;
        EXPECT_EQ(FiresPrimary(row.slot), row.fires) << row.slot << " " << row.target.x << " " << row.target.z;
        Craft(row.slot)->m_LockTarget = nullptr;
        EXPECT_FALSE(FiresPrimary(row.slot));
        Park(row.slot);
    }
}

TEST_F(CAgentArmory, ClassicMinesWithALeadAndAnEnemyInTheDropWindow)
{
    CTuber* own = Craft(2);
    Arm(2, 0, 11);
    const float length = own->m_World->m_TrackLength;
    ASSERT_GT(length, 1000.0f);
    const struct
    {
        const char* what;
        float lead, ownDistance, enemyDistance;
        bool drops;
    } rows[] = {
        {"lead 74", 74.0f, 600.0f, 300.0f, false},
        {"gap 300", 75.0f, 600.0f, 300.0f, true},
        {"gap 150", 75.0f, 600.0f, 450.0f, true},
        {"gap 149", 75.0f, 600.0f, 451.0f, false},
        {"gap 550", 75.0f, 600.0f, 50.0f, true},
        {"gap 551", 75.0f, 600.0f, 49.0f, false},
        {"across the line", 80.0f, 100.0f, length - 200.0f, true},
        {"across the line, too far", 80.0f, 100.0f, length - 500.0f, false},
    };
    for (const auto& row : rows)
    {
        for (int slot = 0; slot < 4; ++slot)
            Craft(slot)->m_TrackDistance[0] = row.ownDistance - 50.0f;  // 50 behind: never in the window
        own->m_GapBehind = row.lead;
        own->m_TrackDistance[0] = row.ownDistance;
        Craft(3)->m_TrackDistance[0] = row.enemyDistance;
        EXPECT_EQ(FiresMine(2), row.drops) << row.what;
    }
    // A team mate in the window is no reason.
    own->m_GapBehind = 100.0f;
    for (int slot = 0; slot < 4; ++slot)
        Craft(slot)->m_TrackDistance[0] = 590.0f;
    own->m_TrackDistance[0] = 600.0f;
    Craft(3)->m_TrackDistance[0] = 300.0f;
    Craft(3)->m_Participant->m_StartPlace = own->m_Participant->m_StartPlace;
    EXPECT_FALSE(FiresMine(2));
}

TEST_F(CAgentArmory, TheNukeMineCountsEnemiesAndFriendsWhereTheyWillBe)
{
    // The deciding craft at z = 500; craft placed beside it will be within the 40 m radius when the mine arms,
    // those parked far behind will not.
    ASSERT_GE(g_WeaponDescriptions.Get(18).m_EffectiveRadius, 30.0f);
    const auto decide = [&](int slot, int enemies, bool friendBeside, float lapTime = 0.0f)
    {
        for (int other = 0; other < 4; ++other)
        {
            Park(other);
            Craft(other)->m_Participant->m_StartPlace = other + 1;
            Craft(other)->m_LapTime = lapTime;
        }
        Put(slot, 0.0f, 500.0f);
        int placed = 0;
        for (int other = 0; other < 4 && placed < enemies; ++other)
            if (other != slot)
            {
                Put(other, -3.0f + 3.0f * placed, 505.0f + 5.0f * placed);
                ++placed;
            }
        if (friendBeside)
            for (int other = 3; other >= 0; --other)
                if (other != slot && Craft(other)->GetWorldPosition().z < 0.0f)
                {
                    Put(other, 4.0f, 495.0f);
                    Craft(other)->m_Participant->m_StartPlace = Craft(slot)->m_Participant->m_StartPlace;
                    break;
                }
        for (int other = 0; other < 4; ++other)
            Craft(other)->UpdateTrackPosition();
        Arm(slot, 0, 18);
        return FiresMine(slot);
    };
    // Two enemies and the own craft: Medium (more enemies than friends) and Hard (2 >= 1.5 x 1) drop.
    EXPECT_TRUE(decide(2, 2, false));
    EXPECT_TRUE(decide(3, 2, false));
    EXPECT_FALSE(decide(1, 2, false));  // Easy never
    // One and one: neither.
    EXPECT_FALSE(decide(2, 1, false));
    EXPECT_FALSE(decide(3, 1, false));
    // Two enemies against the own craft and a team mate: as many friends as enemies, no drop.
    EXPECT_FALSE(decide(2, 2, true));
    EXPECT_FALSE(decide(3, 2, true));
    // Every lap just begun (no pace yet, or one that would be enormous): each craft is predicted where it is,
    // and the walk ends at once.
    EXPECT_TRUE(decide(2, 2, false, 1e-30f));
    EXPECT_TRUE(decide(3, 2, false, 0.049f));
    // A pace far beyond the path is bounded by its node count: the prediction ends, wherever it lands.
    decide(3, 2, false, 0.06f);
}

}  // namespace
