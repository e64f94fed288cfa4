#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

// Every test starts and ends with open slots, no agents and the autopilot off.
class CAIKernelTest : public ::testing::Test
{
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        g_AIKernel.DeleteAgents();
        g_AIKernel.SetAutopilot(-1);
        g_RaceSettings.ClearParticipants();
    }
    static CRaceParticipant& Slot(int32_t index) { return *g_RaceSettings.GetParticipant(index); }
};

TEST_F(CAIKernelTest, ARaceWithOnlyTheHumanCreatesNoAgentAndStillLoadsTheRecords)
{
    Slot(0).m_Kind = CRaceParticipant::Human;
    ConfigOverride easy("AI.Easy.FlyingCoef", "0.31");
    ConfigOverride hard("AI.Hard.OverSpeed", "0.77");
    g_AIKernel.CreateAgents();
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 0);
    EXPECT_EQ(Slot(0).m_Agent, nullptr);
    EXPECT_TRUE(g_AIKernel.m_AIDrivingOn);
    EXPECT_TRUE(g_AIKernel.m_AIWeaponsOn);
    EXPECT_FLOAT_EQ(g_AIKernel.m_Profiles[0].m_FlyingCoef, 0.31f);
    EXPECT_FLOAT_EQ(g_AIKernel.m_Profiles[2].m_OverSpeed, 0.77f);
    EXPECT_FLOAT_EQ(g_AIKernel.m_Profiles[3].m_OverSpeed, 0.77f);  // the second Hard record
}

TEST_F(CAIKernelTest, OnlyComputerKindsGetAgentsOfTheirLevel)
{
    const int32_t kinds[CRaceSettings::SlotCount] = {0, 1, 2, 3, 4, 7};
    for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
        Slot(i).m_Kind = kinds[i];
    g_AIKernel.CreateAgents();
    ASSERT_EQ(g_AIKernel.m_Agents.Count(), 3);
    const int32_t levels[CRaceSettings::SlotCount] = {-1, 0, 1, 2, -1, -1};
    for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
    {
        CAgent* agent = Slot(i).m_Agent;
        if (levels[i] < 0)
        {
            EXPECT_EQ(agent, nullptr) << "slot " << i;
            continue;
        }
        ASSERT_NE(agent, nullptr) << "slot " << i;
        EXPECT_EQ(agent->m_Level, levels[i]);
        EXPECT_EQ(agent->m_Participant, &Slot(i));
        EXPECT_EQ(agent->m_Profile, &g_AIKernel.m_Profiles[levels[i]]);
        EXPECT_FALSE(agent->m_Autopilot);
        EXPECT_TRUE(agent->m_WeaponsEnabled);
        EXPECT_EQ(agent->m_CatchUpVariation, 0.0f);
        EXPECT_EQ(agent->m_ForcedStrategy, nullptr);
        EXPECT_EQ(agent->m_TimedStrategy, nullptr);
    }
    // The list holds them in slot order.
    EXPECT_EQ(g_AIKernel.m_Agents.Front(), Slot(1).m_Agent);
    EXPECT_EQ(g_AIKernel.m_Agents.Back(), Slot(3).m_Agent);
}

TEST_F(CAIKernelTest, TheConstructorMapsKindsToLevels)
{
    const struct
    {
        int32_t kind, level;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}, {0, 1}, {4, 1}, {-5, 1}, {99, 1}};
    for (const auto& c : cases)
    {
        CRaceParticipant participant(0);
        CAgent agent(&participant, c.kind);
        EXPECT_EQ(agent.m_Level, c.level) << c.kind;
        EXPECT_EQ(agent.m_Profile, &g_AIKernel.m_Profiles[c.level]) << c.kind;
        EXPECT_EQ(participant.m_Agent, &agent);
    }
}

TEST_F(CAIKernelTest, DeleteAgentsLeavesNoParticipantPointingAtADeletedAgent)
{
    Slot(0).m_Kind = CRaceParticipant::Human;
    for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
        Slot(i).m_Kind = 1 + (i % 3);
    g_AIKernel.CreateAgents();
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 5);
    // The human's finish agent joins the same list.
    CAgent* finish = new CAgent(&Slot(0), CRaceParticipant::AIHard);
    g_AIKernel.AppendAgent(finish);
    g_AIKernel.AppendAgent(finish);  // a second append keeps one entry
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 6);
    EXPECT_EQ(Slot(0).m_Agent, finish);

    g_AIKernel.DeleteAgents();
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 0);
    for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
        EXPECT_EQ(Slot(i).m_Agent, nullptr) << "slot " << i;
    // Deleting again (a second Leave) finds nothing to free.
    g_AIKernel.DeleteAgents();
}

TEST_F(CAIKernelTest, DeleteAgentRemovesOnlyTheKernelsAgentOfTheParticipant)
{
    Slot(1).m_Kind = CRaceParticipant::AIEasy;
    Slot(2).m_Kind = CRaceParticipant::AIHard;
    g_AIKernel.CreateAgents();
    g_AIKernel.DeleteAgent(&Slot(1));
    EXPECT_EQ(Slot(1).m_Agent, nullptr);
    ASSERT_EQ(g_AIKernel.m_Agents.Count(), 1);
    EXPECT_EQ(g_AIKernel.m_Agents.Front(), Slot(2).m_Agent);
    g_AIKernel.DeleteAgent(&Slot(1));  // nothing left to delete
    g_AIKernel.DeleteAgent(&Slot(0));
    g_AIKernel.DeleteAgent(nullptr);
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 1);

    // An agent the kernel does not own stays with whoever made it.
    CRaceParticipant stranger(3);
    CAgent own(&stranger, CRaceParticipant::AIMedium);
    g_AIKernel.DeleteAgent(&stranger);
    EXPECT_EQ(stranger.m_Agent, &own);
}

TEST_F(CAIKernelTest, AStartWithoutALeaveReplacesTheEarlierAgents)
{
    Slot(1).m_Kind = CRaceParticipant::AIMedium;
    g_AIKernel.CreateAgents();
    CAgent* first = Slot(1).m_Agent;
    ASSERT_NE(first, nullptr);
    g_AIKernel.CreateAgents();
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 1);
    EXPECT_NE(Slot(1).m_Agent, nullptr);
    EXPECT_EQ(g_AIKernel.m_Agents.Front(), Slot(1).m_Agent);
}

TEST_F(CAIKernelTest, HardOverSpeedChangedBetweenRacesAppliesToTheNextRace)
{
    Slot(3).m_Kind = CRaceParticipant::AIHard;
    {
        ConfigOverride overSpeed("AI.Hard.OverSpeed", "0.8");
        g_AIKernel.CreateAgents();
        EXPECT_FLOAT_EQ(Slot(3).m_Agent->m_Profile->m_OverSpeed, 0.8f);
        g_AIKernel.DeleteAgents();
    }
    ConfigOverride overSpeed("AI.Hard.OverSpeed", "1.2");
    g_AIKernel.CreateAgents();
    EXPECT_FLOAT_EQ(Slot(3).m_Agent->m_Profile->m_OverSpeed, 1.2f);
    // Agents read the record through their pointer, so a reload while they exist reaches them too.
    ConfigOverride later("AI.Hard.OverSpeed", "1.3");
    g_AIKernel.LoadProfiles();
    EXPECT_FLOAT_EQ(Slot(3).m_Agent->m_Profile->m_OverSpeed, 1.3f);
    EXPECT_FLOAT_EQ(AgentMaxHPModifier(Slot(3).m_Agent), g_AIKernel.m_Profiles[2].m_MaxHPModifier);
}

TEST_F(CAIKernelTest, TheAutopilotGivesEachHumanSlotAnAgentOfItsLevel)
{
    Slot(0).m_Kind = CRaceParticipant::Human;
    Slot(1).m_Kind = CRaceParticipant::AIEasy;
    g_AIKernel.SetAutopilot(2);
    g_AIKernel.CreateAgents();
    ASSERT_EQ(g_AIKernel.m_Agents.Count(), 2);
    CAgent* autopilot = Slot(0).m_Agent;
    ASSERT_NE(autopilot, nullptr);
    EXPECT_EQ(g_AIKernel.m_Agents.Back(), autopilot);  // appended after the computer slots
    EXPECT_TRUE(autopilot->m_Autopilot);
    EXPECT_EQ(autopilot->m_Level, 2);
    EXPECT_TRUE(IsAutopilotAgent(autopilot));
    EXPECT_FALSE(IsAutopilotAgent(Slot(1).m_Agent));
    EXPECT_FALSE(IsAutopilotAgent(nullptr));
    EXPECT_EQ(Slot(0).m_Kind, CRaceParticipant::Human);

    g_AIKernel.DeleteAgents();
    for (int32_t level : {0, 1})
    {
        g_AIKernel.SetAutopilot(level);
        g_AIKernel.CreateAgents();
        ASSERT_NE(Slot(0).m_Agent, nullptr);
        EXPECT_EQ(Slot(0).m_Agent->m_Level, level);
        g_AIKernel.DeleteAgents();
    }
    // Out of range switches it off.
    g_AIKernel.SetAutopilot(3);
    EXPECT_EQ(g_AIKernel.m_AutopilotLevel, -1);
    g_AIKernel.CreateAgents();
    EXPECT_EQ(Slot(0).m_Agent, nullptr);
}

TEST_F(CAIKernelTest, TheFinishForcesTheStandardTubeAndDisablesWeapons)
{
    CRaceParticipant participant(0);
    CAgent agent(&participant, CRaceParticipant::AIHard);
    agent.ForceStandardTube();
    agent.SetWeaponsEnabled(false);
    EXPECT_EQ(agent.m_ForcedStrategy, static_cast<CAgentMotorics*>(agent.m_StandardTube));
    EXPECT_EQ(agent.m_TimedStrategy, nullptr);
    EXPECT_FALSE(agent.m_WeaponsEnabled);
}

TEST(CAIDifficultyProfile, UnsetKeysTakeTheDefaultTable)
{
    CAIDifficultyProfile record;
    record.m_OverSpeed = 5.0f;
    record.m_PickupLookup = 17;
    record.Load("UnsetLevel");
    const float expected[] = {1.0f,  0.5f,   0.1f,   0.0f,   0.5f, 1.0f, 0.2f, 0.5f,
                              0.25f, 100.0f, 100.0f, 500.0f, 0.2f, 0.2f, 1.0f, 1.0f};
    const float actual[] = {record.m_ShootAtPlayer,
                            record.m_ShootAtEasy,
                            record.m_ShootAtMedium,
                            record.m_ShootAtHard,
                            record.m_FlyingCoef,
                            record.m_OverSpeed,
                            record.m_MineAvoidCoef,
                            record.m_TurboMultiplier,
                            record.m_TurboStartPathIndex,
                            record.m_AICatchUpMinDistance,
                            record.m_AICatchUpMinDistanceVariation,
                            record.m_AICatchUpMaxDistance,
                            record.m_CatchUpSpeedKoefFront,
                            record.m_CatchUpSpeedKoefBack,
                            record.m_DamageModifier,
                            record.m_MaxHPModifier};
    for (size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); ++i)
        EXPECT_FLOAT_EQ(actual[i], expected[i]) << "value " << i;
    EXPECT_EQ(record.m_PickupLookup, 3);
}

TEST(CAIDifficultyProfile, EveryKeyIsReadUnderItsLevelAndNonNumbersCountAsTheDefault)
{
    ConfigOverride player("AI.TestLevel.ShootAtPlayer", "0.25");
    ConfigOverride lookup("AI.TestLevel.PickupLookup", "6");
    ConfigOverride hp("AI.TestLevel.MaxHPModifier", "1.5");
    ConfigOverride nan("AI.TestLevel.FlyingCoef", "nan");
    ConfigOverride inf("AI.TestLevel.DamageModifier", "inf");
    ConfigOverride other("AI.OtherLevel.ShootAtPlayer", "0.75");
    CAIDifficultyProfile record;
    record.Load("TestLevel");
    EXPECT_FLOAT_EQ(record.m_ShootAtPlayer, 0.25f);
    EXPECT_EQ(record.m_PickupLookup, 6);
    EXPECT_FLOAT_EQ(record.m_MaxHPModifier, 1.5f);
    EXPECT_FLOAT_EQ(record.m_FlyingCoef, 0.5f);
    EXPECT_FLOAT_EQ(record.m_DamageModifier, 1.0f);
    record.Load("OtherLevel");
    EXPECT_FLOAT_EQ(record.m_ShootAtPlayer, 0.75f);
    EXPECT_EQ(record.m_PickupLookup, 3);
}

}  // namespace
