#include <gtest/gtest.h>

#include <string>

#include "Engine/world/WePathNode.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgentMotoricsHyperbrake.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/PathNodeFields.h"
#include "Tests/Game/craft/AgentTestSupport.h"

namespace
{

// The player in slot 0, a Hard agent in slot 1 and an Easy one in slot 2; every test sets the race state the
// decision reads directly on the craft and participants.
struct CAgentChoice : ::testing::Test
{
    void SetUp() override
    {
        rig = AgentTest::StartRig({3, 1});
        ASSERT_NE(rig, nullptr);
        rig->Tick(1);  // the track positions
        hard = AgentTest::AgentOf(*rig, 1);
        ASSERT_NE(hard, nullptr);
        own = rig->Craft(1);
        human = rig->Craft(0);
        easy = rig->Craft(2);
        Reset();
    }
    // The base state every row of a table starts from.
    void Reset()
    {
        hard->m_Level = 2;
        AgentTest::AgentOf(*rig, 2)->m_Level = 0;
        for (int slot = 0; slot < 3; ++slot)
            rig->Craft(slot)->m_Participant->m_StartPlace = slot + 1;
        g_RaceSettings.m_UnlimitedTurbo = false;
        own->m_Finished = false;
        g_RaceSettings.m_RaceType = CRaceSettings::StandardRace;
        g_RaceSettings.m_Laps = 3;
        // A lead of 100 over the human, who comes on at 50: (100 + 75) / 50 = 3.5 s of braking for 175 energy.
        own->m_RaceDistance[0] = 1000.0f;
        human->m_RaceDistance[0] = 900.0f;
        human->m_MeasuredSpeed = 50.0f;
        easy->m_RaceDistance[0] = 1000.0f;
        easy->m_MeasuredSpeed = 50.0f;
        own->m_TurboEnergy = 175.0f;
        own->m_SelectedPrimaryKind = 1;
        own->m_LapFraction[0] = 0.5f;
        own->m_LapsCompleted = 0;
        own->m_HyperBrakeLaunch = false;
    }
    void TearDown() override { rig.reset(); }

    CraftTest::Catalogue catalogue;
    ConfigOverride usage{"tuber.HyperBrake.UsagePerSecond", "50"};
    std::unique_ptr<RaceRig> rig;
    CAgent* hard = nullptr;
    CTuber *own = nullptr, *human = nullptr, *easy = nullptr;
};

TEST_F(CAgentChoice, DecideHyperbrakeAsATable)
{
    struct Row
    {
        const char* what;
        void (*change)(CAgentChoice&);
        float seconds;
    };
    const Row rows[] = {
        {"the example", [](CAgentChoice&) {}, 3.5f},
        {"one energy short", [](CAgentChoice& t) { t.own->m_TurboEnergy = 174.0f; }, 0.0f},
        {"not Hard", [](CAgentChoice& t) { t.hard->m_Level = 1; }, 0.0f},
        {"launch running", [](CAgentChoice& t) { t.own->m_HyperBrakeLaunch = true; }, 0.0f},
        {"last lap, late",
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.95f;
             t.own->m_LapsCompleted = 2;
         },
         0.0f},
        {"last lap, early",
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.85f;
             t.own->m_LapsCompleted = 2;
         },
         3.5f},
        {"late, not the last lap",
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.95f;
             t.own->m_LapsCompleted = 1;
         },
         3.5f},
        {"late in a last-one-out race",
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.95f;
             g_RaceSettings.m_RaceType = CRaceSettings::LastOneOut;
         },
         0.0f},
        {"late in a time trial",
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.95f;
             t.own->m_LapsCompleted = 2;
             g_RaceSettings.m_RaceType = CRaceSettings::TimeTrial;
         },
         3.5f},
        {"no primary", [](CAgentChoice& t) { t.own->m_SelectedPrimaryKind = 0; }, 0.0f},
        {"SlowingRocket", [](CAgentChoice& t) { t.own->m_SelectedPrimaryKind = 6; }, 0.0f},
        {"Translocator", [](CAgentChoice& t) { t.own->m_SelectedPrimaryKind = 7; }, 0.0f},
        {"FFG", [](CAgentChoice& t) { t.own->m_SelectedPrimaryKind = 9; }, 0.0f},
        {"HomingMissile", [](CAgentChoice& t) { t.own->m_SelectedPrimaryKind = 3; }, 3.5f},
        {"gap 69", [](CAgentChoice& t) { t.human->m_RaceDistance[0] = 931.0f; }, 0.0f},
        {"gap 70", [](CAgentChoice& t) { t.human->m_RaceDistance[0] = 930.0f; }, 145.0f / 50.0f},
        {"gap 151", [](CAgentChoice& t) { t.human->m_RaceDistance[0] = 849.0f; }, 0.0f},
        {"rival at rest", [](CAgentChoice& t) { t.human->m_MeasuredSpeed = 0.0f; }, 0.0f},
        {"rival reversing, the next slot decides",
         [](CAgentChoice& t)
         {
             t.human->m_MeasuredSpeed = -50.0f;
             t.easy->m_RaceDistance[0] = 880.0f;
             t.easy->m_MeasuredSpeed = 65.0f;
         },
         195.0f / 65.0f},
        {"both qualify: the first slot wins",
         [](CAgentChoice& t)
         {
             t.easy->m_RaceDistance[0] = 880.0f;
             t.easy->m_MeasuredSpeed = 65.0f;
         },
         3.5f},
        {"a Hard rival is not waited for",
         [](CAgentChoice& t)
         {
             t.human->m_RaceDistance[0] = 1000.0f;
             t.easy->m_RaceDistance[0] = 900.0f;
             AgentTest::AgentOf(*t.rig, 2)->m_Level = 2;
         },
         0.0f},
        {"a rival of the own team is not waited for",
         [](CAgentChoice& t) { t.human->m_Participant->m_StartPlace = t.own->m_Participant->m_StartPlace; }, 0.0f},
    };
    for (const Row& row : rows)
    {
        Reset();
        row.change(*this);
        EXPECT_NEAR(hard->DecideHyperbrake(), row.seconds, 1e-4f) << row.what;
    }
    Reset();
    ConfigOverride off("AI.Common.DisableHyperbrake", "1");
    EXPECT_EQ(hard->DecideHyperbrake(), 0.0f);
}

TEST_F(CAgentChoice, TheForcedStrategyWinsAndATimedHyperbrakeEndsWithThePlaceOrItsTime)
{
    own->m_Participant->m_RacePlace = 1;
    CAgentMotorics* tube = hard->m_StandardTube;
    CAgentMotorics* brake = hard->m_Hyperbrake;
    ASSERT_EQ(hard->Drive(), brake);
    EXPECT_FLOAT_EQ(hard->m_TimedDuration, 3.5f);
    EXPECT_EQ(hard->m_TimedRacePlace, 1);
    // The hyperbrake holds for its time: 3.5 s of 1/64 s frames.
    own->m_TurboEnergy = 0.0f;  // no new one afterwards
    int frames = 1;
    while (hard->Drive() == brake && frames < 1000)
        ++frames;
    EXPECT_EQ(frames, 224);
    EXPECT_EQ(hard->m_TimedStrategy, nullptr);

    // A change of place ends it at once.
    own->m_TurboEnergy = 175.0f;
    ASSERT_EQ(hard->Drive(), brake);
    EXPECT_EQ(hard->Drive(), brake);
    own->m_Participant->m_RacePlace = 2;
    own->m_TurboEnergy = 0.0f;
    EXPECT_EQ(hard->Drive(), tube);

    // The forced strategy wins over everything.
    own->m_TurboEnergy = 175.0f;
    ASSERT_EQ(hard->Drive(), brake);
    hard->m_StandardTube->m_AxisFactor = 3.0f;
    hard->ForceStandardTube();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(hard->Drive(), tube);
    EXPECT_EQ(hard->m_StandardTube->m_AxisFactor, 0.0f);
}

TEST_F(CAgentChoice, ANodeHoldTimeMakesTheStandardTubeATimedStrategy)
{
    ASSERT_NE(own->m_NextNode, nullptr);
    PathNodeFields::SetHoldTime(*own->m_NextNode, 0.5f);
    own->m_TurboEnergy = 0.0f;
    EXPECT_EQ(hard->Drive(), hard->m_StandardTube);
    EXPECT_EQ(hard->m_TimedStrategy, hard->m_StandardTube);
    EXPECT_FLOAT_EQ(hard->m_TimedDuration, 0.5f);
    PathNodeFields::SetHoldTime(*own->m_NextNode, 0.0f);
    // Meanwhile no hyperbrake is considered, though one would now qualify.
    own->m_TurboEnergy = 175.0f;
    for (int i = 1; i < 32; ++i)
        EXPECT_EQ(hard->Drive(), hard->m_StandardTube) << i;
    EXPECT_EQ(hard->Drive(), hard->m_Hyperbrake);
}

TEST_F(CAgentChoice, TheHyperbrakeHoldsBackwardAndTurbo)
{
    CInputMessage message;
    message.m_Forward = 1;
    message.m_LookX = 10;
    hard->m_Hyperbrake->m_AxisFactor = 2.0f;
    hard->m_Hyperbrake->Drive(message);
    EXPECT_TRUE(message.m_Backward);
    EXPECT_TRUE(message.m_Turbo);
    EXPECT_EQ(message.m_LookX, 20);
    // Without a craft nothing is pressed.
    CRaceParticipant alone(5);
    CAgent agent(&alone, 3);
    CInputMessage empty;
    agent.m_Hyperbrake->Drive(empty);
    EXPECT_FALSE(empty.m_Backward);
    EXPECT_FALSE(empty.m_Turbo);
}

// The turbo decision on the Hard agent's standard tube (and the Easy one's), with the lap and the tank set.
TEST_F(CAgentChoice, DecideTurboAsATable)
{
    struct Row
    {
        const char* what;
        int32_t level;
        void (*change)(CAgentChoice&);
        bool turbo;
    };
    const Row rows[] = {
        {"trailing past the start index", 1, [](CAgentChoice&) {}, true},
        {"finished", 1, [](CAgentChoice& t) { t.own->m_Finished = true; }, false},
        {"unlimited", 1, [](CAgentChoice&) { g_RaceSettings.m_UnlimitedTurbo = true; }, true},
        {"finished with unlimited turbo", 1,
         [](CAgentChoice& t)
         {
             g_RaceSettings.m_UnlimitedTurbo = true;
             t.own->m_Finished = true;
         },
         false},
        {"no energy", 1, [](CAgentChoice& t) { t.own->m_TurboEnergy = 0.0f; }, false},
        {"slow", 1, [](CAgentChoice& t) { t.own->m_MeasuredSpeed = 0.89f * t.own->m_MaxSpeed; }, true},
        {"slow but leading", 1,
         [](CAgentChoice& t)
         {
             t.own->m_MeasuredSpeed = 0.89f * t.own->m_MaxSpeed;
             t.own->m_Participant->m_RacePlace = 1;
         },
         true},
        {"leading, Medium", 1, [](CAgentChoice& t) { t.own->m_Participant->m_RacePlace = 1; }, false},
        {"leading, Hard", 2, [](CAgentChoice& t) { t.own->m_Participant->m_RacePlace = 1; }, true},
        {"before the start index", 1, [](CAgentChoice& t) { t.own->m_LapFraction[0] = 0.2f; }, false},
        {"Easy before the start index", 0, [](CAgentChoice& t) { t.own->m_LapFraction[0] = 0.2f; }, false},
        {"Easy past it", 0, [](CAgentChoice&) {}, true},
        {"only a team mate ahead", 1,
         [](CAgentChoice& t) { t.human->m_Participant->m_StartPlace = t.own->m_Participant->m_StartPlace; }, false},
        {"Hard saving at 0.27", 2,
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.27f;
             t.own->m_TurboEnergy = 9.0f;
         },
         false},
        {"Hard at 0.31", 2,
         [](CAgentChoice& t)
         {
             t.own->m_LapFraction[0] = 0.31f;
             t.own->m_TurboEnergy = 9.0f;
         },
         true},
        {"Hard at 0.27 with a full tank", 2, [](CAgentChoice& t) { t.own->m_LapFraction[0] = 0.27f; }, true},
    };
    for (const Row& row : rows)
    {
        Reset();
        hard->m_Level = row.level;
        hard->m_Profile->m_TurboStartPathIndex = 0.25f;
        own->m_MaxSpeed = 100.0f;
        own->m_TurboMaxSpeed = 120.0f;
        own->m_MeasuredSpeed = 95.0f;
        own->m_MaxTurboEnergy = 20.0f;
        own->m_TurboEnergy = 19.0f;
        own->m_Participant->m_RacePlace = 2;
        human->m_Participant->m_RacePlace = 1;
        easy->m_Participant->m_RacePlace = 3;
        own->m_LapFraction[0] = 0.5f;
        g_RaceSettings.m_UnlimitedTurbo = false;
        row.change(*this);
        CInputMessage message;
        message.m_Turbo = 1;
        hard->m_StandardTube->DecideTurbo(message);
        EXPECT_EQ(message.m_Turbo != 0, row.turbo) << row.what;
        g_AIKernel.LoadProfiles();
    }
}

TEST_F(CAgentChoice, HardCruisesDownFromTheTurboSpeedBeforeItBoostsAgain)
{
    own->m_MaxSpeed = 100.0f;
    own->m_TurboMaxSpeed = 120.0f;
    own->m_MaxTurboEnergy = 20.0f;
    own->m_TurboEnergy = 20.0f;
    own->m_LapFraction[0] = 0.5f;
    own->m_Participant->m_RacePlace = 2;
    human->m_Participant->m_RacePlace = 1;
    CAgentMotoricsStandardTube& tube = *hard->m_StandardTube;
    const struct
    {
        float speed;
        bool turbo, cruise;
    } frames[] = {{110.0f, true, false}, {118.7f, true, false}, {118.8f, false, true}, {119.0f, false, true},
                  {112.0f, false, true}, {110.0f, true, false}, {115.0f, true, false}};
    for (const auto& f : frames)
    {
        own->m_MeasuredSpeed = f.speed;
        CInputMessage message;
        tube.DecideTurbo(message);
        EXPECT_EQ(message.m_Turbo != 0, f.turbo) << f.speed;
        EXPECT_EQ(tube.m_TurboCruise, f.cruise) << f.speed;
    }
}

}  // namespace
