#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgentArmory.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CWeapon.h"
#include "Game/craft/CWeaponContactMine.h"
#include "Game/craft/CWeaponNukeMine.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/AgentTestSupport.h"

namespace
{

const D3DXVECTOR3 AlongZ(0.0f, 0.0f, 1.0f);

// The player (slot 0) and Easy, Medium, Hard agents (slots 1 to 3) on the long oval's start straight.
struct CAgentMines : ::testing::Test
{
    void SetUp() override
    {
        rig = AgentTest::StartRig({1, 2, 3});
        ASSERT_NE(rig, nullptr);
        rig->Tick(1);
        g_RaceSettings.m_Weapons = true;
        for (int slot = 0; slot < 4; ++slot)
            Park(slot);
    }
    void TearDown() override
    {
        rig.reset();
        ClearExplosionRequests();  // the nuke mines' blasts, which no race drains here
    }

    CTuber* Craft(int slot) const { return rig->Craft(slot); }
    CAgent* Agent(int slot) const { return AgentTest::AgentOf(*rig, slot); }
    void Park(int slot) { AgentTest::Place(Craft(slot), D3DXVECTOR3(-4.0f + 2.0f * slot, 1.0f, -200.0f), AlongZ); }
    void Put(int slot, float x, float z) { AgentTest::Place(Craft(slot), D3DXVECTOR3(x, 1.0f, z), AlongZ); }
    // A real mine of the kind, laid by the craft of the slot and then moved to a point with a track fraction.
    CWeapon* Lay(int slot, int32_t kind, const D3DXVECTOR3& at, float fraction)
    {
        CWeapon::Fire(Craft(slot), kind, 0);
        CWeapon* mine = Craft(slot)->m_Mines.Back();
        mine->SetLocation(at);
        mine->UpdateMatrices();
        mine->m_TrackFraction = fraction;
        return mine;
    }
    void Arm(int slot, int32_t secondary)
    {
        CTuber* craft = Craft(slot);
        craft->m_PickupSecondaryKind = secondary;
        craft->m_SelectedSecondaryKind = secondary;
        craft->m_PickupSecondaryAmmo = 10;
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

// Which laid mine each level steers around: the kinds, the stealth mine for Hard only, ahead on the lap (also
// across the line), and within the profile's reach.
TEST_F(CAgentMines, TheDangerousMineByKindLevelLapAndReach)
{
    const struct
    {
        const char* what;
        int slot;        // the deciding agent: 1 Easy, 2 Medium, 3 Hard
        int32_t kind;    // laid by the player's craft
        float distance;  // ahead of the agent, as a fraction of its reach
        float lap, mineFraction;
        bool avoided;
    } rows[] = {
        {"contact mine ahead", 2, 11, 0.5f, 0.3f, 0.31f, true},
        {"homing mine", 2, 13, 0.5f, 0.3f, 0.31f, true},
        {"proximity mine", 1, 14, 0.5f, 0.3f, 0.31f, true},
        {"motion mine", 3, 16, 0.5f, 0.3f, 0.31f, true},
        {"EMP mine", 2, 20, 0.5f, 0.3f, 0.31f, true},
        {"stealth mine, Medium", 2, 17, 0.5f, 0.3f, 0.31f, false},
        {"stealth mine, Hard", 3, 17, 0.5f, 0.3f, 0.31f, true},
        {"singularity mine", 3, 12, 0.5f, 0.3f, 0.31f, false},
        {"force-field mine", 3, 15, 0.5f, 0.3f, 0.31f, false},
        {"nuke mine", 3, 18, 0.5f, 0.3f, 0.31f, false},
        {"electric mine", 3, 19, 0.5f, 0.3f, 0.31f, false},
        {"behind on the lap", 2, 11, 0.5f, 0.3f, 0.29f, false},
        {"across the line", 2, 11, 0.5f, 0.97f, 0.02f, true},
        {"across the line, not near its end", 2, 11, 0.5f, 0.9f, 0.02f, false},
        {"beyond the reach", 2, 11, 1.2f, 0.3f, 0.31f, false},
    };
    for (const auto& row : rows)
    {
        CAgent* agent = Agent(row.slot);
        ASSERT_NE(agent, nullptr);
        const float reach = agent->m_Profile->m_MineAvoidCoef * 80.0f;
        ASSERT_GT(reach, 0.0f);
        Put(row.slot, 0.0f, 500.0f);
        Craft(row.slot)->UpdateMatrices();
        Craft(row.slot)->m_LapFraction[0] = row.lap;
        CWeapon* mine = Lay(0, row.kind, D3DXVECTOR3(0.0f, 1.0f, 500.0f + row.distance * reach), row.mineFraction);
        EXPECT_EQ(agent->FindDangerousMine(), row.avoided ? mine : nullptr) << row.what;
        mine->Expire();
        rig->Tick(1);
        EXPECT_EQ(agent->FindDangerousMine(), nullptr) << row.what;
    }
}

// The nearest of the counted mines, of any craft's (its own included); a spent one no longer counts.
TEST_F(CAgentMines, TheNearestMineOfAnyCraft)
{
    CAgent* agent = Agent(2);
    const float reach = agent->m_Profile->m_MineAvoidCoef * 80.0f;
    Put(2, 0.0f, 500.0f);
    Craft(2)->UpdateMatrices();
    Craft(2)->m_LapFraction[0] = 0.3f;
    CWeapon* far = Lay(1, 14, D3DXVECTOR3(0.0f, 1.0f, 500.0f + 0.8f * reach), 0.31f);
    CWeapon* near = Lay(2, 11, D3DXVECTOR3(2.0f, 1.0f, 500.0f + 0.4f * reach), 0.31f);
    EXPECT_EQ(agent->FindDangerousMine(), near);
    near->m_Spent = true;
    EXPECT_EQ(agent->FindDangerousMine(), far);
    far->Expire();
    near->Expire();
    rig->Tick(1);
}

// The direction to steer by is the one the mine stored when it was laid: toward the track's centre line.
TEST_F(CAgentMines, TheAvoidDirectionPointsFromTheMineToTheTrack)
{
    EXPECT_EQ(GetMineAvoidDirection(nullptr).x, 0.0f);
    Put(0, 5.0f, 500.0f);
    Craft(0)->UpdateMatrices();
    Craft(0)->UpdateTrackPosition();
    CWeapon::Fire(Craft(0), 11, 0);
    ASSERT_FALSE(Craft(0)->m_Mines.IsEmpty());
    CWeapon* mine = Craft(0)->m_Mines.Back();
    const D3DXVECTOR3 d = GetMineAvoidDirection(mine);
    EXPECT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1.0f, 1e-3);
    EXPECT_LT(d.x, -0.9f);  // laid 5 right of the centre line
    mine->Expire();
    rig->Tick(1);
}

// The mine strategies' flag, through the craft's firing, lays the real mine of the selected kind behind it.
TEST_F(CAgentMines, TheMineStrategiesLayRealMines)
{
    const struct
    {
        int32_t kind;
        bool (*isKind)(CWeapon*);
    } rows[] = {
        {11, [](CWeapon* w) { return dynamic_cast<CWeaponContactMine*>(w) != nullptr; }},
        {18, [](CWeapon* w) { return dynamic_cast<CWeaponNukeMine*>(w) != nullptr; }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.kind);
        CTuber* own = Craft(3);
        for (int slot = 0; slot < 4; ++slot)
            Park(slot);
        Arm(3, row.kind);
        if (row.kind == 11)
        {
            // A lead and an enemy 300 behind.
            own->m_GapBehind = 100.0f;
            for (int slot = 0; slot < 4; ++slot)
                Craft(slot)->m_TrackDistance[0] = 550.0f;
            own->m_TrackDistance[0] = 600.0f;
            Craft(1)->m_TrackDistance[0] = 300.0f;
        }
        else
        {
            // Two enemies beside the own craft.
            Put(3, 0.0f, 500.0f);
            Put(1, -3.0f, 505.0f);
            Put(2, 0.0f, 510.0f);
            for (int slot = 0; slot < 4; ++slot)
            {
                Craft(slot)->m_LapTime = 0.0f;
                Craft(slot)->UpdateTrackPosition();
            }
        }
        CAgent* agent = Agent(3);
        agent->m_CurrentSecondaryArmory = nullptr;
        agent->UseWeapons();
        ASSERT_NE(agent->m_CurrentSecondaryArmory, nullptr);
        CInputMessage message;
        agent->m_CurrentSecondaryArmory->Decide(message);
        ASSERT_NE(message.m_FireMine, 0);
        const int32_t before = own->m_Mines.Count();
        own->m_FireRequests = 2;
        own->ProcessFireRequests();
        ASSERT_EQ(own->m_Mines.Count(), before + 1);
        CWeapon* mine = own->m_Mines.Back();
        EXPECT_TRUE(row.isKind(mine));
        EXPECT_EQ(mine->m_Kind, row.kind);
        EXPECT_EQ(mine->m_Owner, own);
        // Behind the craft, which faces along +z.
        EXPECT_LT(mine->GetWorldPosition().z, own->GetWorldPosition().z);
        mine->Expire();
        rig->Tick(1);
    }
}

}  // namespace
