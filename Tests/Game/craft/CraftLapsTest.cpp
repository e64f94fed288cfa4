// Laps on the race ring, driven exactly on the rig's path rail through the real race phase.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Tests/Game/shell/RaceRulesTestSupport.h"

namespace
{
constexpr double Step = 1.0 / 64.0;

class CraftLaps : public RaceFixture
{
protected:
    // One player on the ring, on the rail at the speed given (0: off the rail).
    void StartAlone(float speed, int32_t laps = 3)
    {
        RaceRigOptions o = RulesOptions(1);
        o.laps = laps;
        StartRace(o);
        if (speed != 0.0f)
            rig->SetRail(0, speed);
        RunToState(CPlayGamePhase::Racing, 60.0);
        me = rig->Craft(0);
        ASSERT_NE(me, nullptr);
        length = g_Game.m_Map->m_TrackLength;
        ASSERT_GT(length, 100.0f);
    }
    // Ticks until the craft's lap fraction passes f (forwards), at most the seconds given.
    void RunToFraction(float f, double seconds = 60.0)
    {
        rig->RunUntil([&] { return me->m_LapFraction[0] >= f && me->m_LapFraction[1] < f; }, seconds);
    }
    CTuber* me = nullptr;
    float length = 0.0f;
};
}  // namespace

TEST_F(CraftLaps, ThreeLapsAtConstantSpeedCreditThreeWithTheirTimesRecordsAndLeaderClock)
{
    const float speed = 120.0f;
    StartAlone(speed);
    std::vector<float> lapTimes;
    std::vector<float> records;
    int32_t seen = 0;
    rig->RunUntil(
        [&]
        {
            if (me->m_LapsCompleted != seen)
            {
                seen = me->m_LapsCompleted;
                lapTimes.push_back(me->m_LastLapTime);
                records.push_back(g_Game.m_Map ? g_Game.m_Map->m_FastestLap : -1.0f);
            }
            return me->m_Finished;
        },
        120.0);
    ASSERT_EQ(me->m_LapsCompleted, 3);
    ASSERT_EQ(lapTimes.size(), 3u);
    const float expected = length / speed;
    // The first lap starts at GO from the grid, just past the line; the others are whole laps.
    EXPECT_LT(lapTimes[0], expected + float(Step) * 2.0f);
    EXPECT_GT(lapTimes[0], expected * 0.9f);
    for (size_t i = 1; i < lapTimes.size(); ++i)
        EXPECT_NEAR(lapTimes[i], expected, float(Step) * 1.01f) << i;
    float best = lapTimes[0];
    for (float t : lapTimes)
        best = std::min(best, t);
    EXPECT_EQ(me->m_Participant->m_BestLap, best);
    EXPECT_EQ(records[0], lapTimes[0]);  // the first lap sets the record
    for (size_t i = 1; i < records.size(); ++i)
        EXPECT_EQ(records[i], std::min(records[i - 1], lapTimes[i]));
    for (int32_t lap = 1; lap <= 3; ++lap)
    {
        EXPECT_GT(g_Game.m_Map->m_LeaderLapClock[lap], 0.0f) << lap;
        const CRaceStats::LapRecord* record = g_RaceStats.GetLap(0, lap);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->time, lapTimes[size_t(lap - 1)]) << lap;
    }
    EXPECT_TRUE(me->m_Participant->m_Won);
}

TEST_F(CraftLaps, TheFirstLapIsCreditedOnlyAfterAWholeLap)
{
    StartAlone(100.0f);
    // The grid stands just past the start line.
    EXPECT_LT(me->m_LapFraction[0], 0.2f);
    RunToFraction(0.5f);
    EXPECT_EQ(me->m_LapsCompleted, 0);
    rig->RunUntil([&] { return me->m_LapsCompleted == 1; }, 60.0);
    EXPECT_EQ(me->m_LapsCompleted, 1);
    EXPECT_GT(rig->RaceSeconds(), 0.9 * double(length) / 100.0);
}

TEST_F(CraftLaps, BackwardsOverTheLineAndForwardsAgainCreditsNothingUntilAFurtherWholeLap)
{
    StartAlone(-60.0f);
    // Back over the line: one crossing taken away.
    rig->RunUntil([&] { return me->m_LapFraction[0] > 0.85f; }, 30.0);
    EXPECT_EQ(me->m_LapCrossings, -1);
    rig->SetRail(0, 60.0f);
    rig->RunUntil([&] { return me->m_LapFraction[0] > 0.05f && me->m_LapFraction[0] < 0.5f; }, 30.0);
    EXPECT_EQ(me->m_LapCrossings, 0);
    EXPECT_EQ(me->m_LapsCompleted, 0);
    RunToFraction(0.9f);
    EXPECT_EQ(me->m_LapsCompleted, 0);
    rig->RunUntil([&] { return me->m_LapsCompleted == 1; }, 60.0);
    EXPECT_EQ(me->m_LapsCompleted, 1);
}

TEST_F(CraftLaps, JumpsOverTheLineFromBelowEightTenthsCreditNothingButAJumpIntoTheLastFifthCounts)
{
    StartAlone(20.0f);
    // From 0.5 straight past the line: no crossing.
    rig->JumpToFraction(0, 0.5f);
    rig->Tick(3);
    rig->JumpToFraction(0, 0.05f);
    rig->Tick(3);
    EXPECT_EQ(me->m_LapCrossings, 0);
    EXPECT_EQ(me->m_LapsCompleted, 0);
    // From 0.3 to 0.85, then on over the line: the middle of the lap is not checked.
    rig->JumpToFraction(0, 0.3f);
    rig->Tick(3);
    rig->JumpToFraction(0, 0.85f);
    rig->Tick(3);
    rig->JumpToFraction(0, 0.02f);
    rig->Tick(3);
    EXPECT_EQ(me->m_LapCrossings, 1);
    EXPECT_EQ(me->m_LapsCompleted, 1);
}

TEST_F(CraftLaps, TrackPositionIsContinuousAlongTheLap)
{
    StartAlone(90.0f);
    float last = me->m_TrackDistance[0];
    int32_t wraps = 0;
    for (int32_t i = 0; i < 600; ++i)
    {
        rig->Tick(1);
        const float now = me->m_TrackDistance[0];
        float step = now - last;
        if (step < -length * 0.5f)
        {
            step += length;
            ++wraps;
        }
        EXPECT_NEAR(step, 90.0f * float(Step), 1.0f) << i;
        EXPECT_FALSE(me->m_WrongWay);
        last = now;
    }
    EXPECT_LE(wraps, 1);
}

TEST_F(CraftLaps, AFinishedPlayerDrivesOnUnderAHardAgentWithoutWeaponsOrHyperbrake)
{
    RaceRigOptions o = RulesOptions(2);
    o.weapons = true;
    StartRace(o);
    RunToState(CPlayGamePhase::Racing, 60.0);
    rig->Tick(64 * 3);
    CTuber* player = rig->Craft(0);
    ASSERT_NE(player, nullptr);
    ASSERT_EQ(player->m_Participant->m_Agent, nullptr);
    const int32_t agentsBefore = g_AIKernel.m_Agents.Count();
    player->FinishRace(true);
    const CAgent* agent = player->m_Participant->m_Agent;
    ASSERT_NE(agent, nullptr);
    EXPECT_EQ(agent->m_Level, 2);
    EXPECT_EQ(agent->m_ForcedStrategy, static_cast<CAgentMotorics*>(agent->m_StandardTube));
    EXPECT_FALSE(agent->m_WeaponsEnabled);
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), agentsBefore + 1);
    EXPECT_FALSE(player->m_StillRacing);
    EXPECT_FALSE(player->m_GameContact);
    // A full tank would allow a hyper brake: the forced standard tube still only drives on.
    player->m_TurboEnergy = player->m_MaxTurboEnergy;
    const float start = player->m_RaceDistance[0];
    for (int32_t i = 0; i < 64 * 4; ++i)
    {
        rig->Tick(1);
        const CInputMessage& m = player->m_ControlMessage;
        EXPECT_FALSE(m.m_Backward && m.m_Turbo) << i;
        EXPECT_FALSE(m.m_FireWeapon || m.m_FireMine) << i;
    }
    EXPECT_GT(player->m_RaceDistance[0] - start, 100.0f);
    EXPECT_FALSE(player->m_HyperBrakeLaunch);
    rig->Stop();
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 0);
    rig.reset();
}
