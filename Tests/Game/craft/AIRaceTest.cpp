#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tools/race_common/AIRace.h"

namespace
{

struct AIRaceTest : ::testing::Test
{
    std::vector<AIRaceCraft> Race(AIRaceOptions options, const std::function<void(AIRace&)>& eachTick = {})
    {
        AIRace race(options);
        std::string error;
        EXPECT_TRUE(race.Run(&error, eachTick)) << error;
        return race.Crafts();
    }
    CraftTest::Catalogue catalogue;
};

double MeanFinish(const std::vector<std::vector<AIRaceCraft>>& races, int32_t kind)
{
    double sum = 0.0;
    int n = 0;
    for (const auto& race : races)
        for (const AIRaceCraft& craft : race)
            if (craft.kind == kind)
            {
                sum += craft.finish;
                ++n;
            }
    return n > 0 ? sum / n : 0.0;
}

// Six seeds of three laps on the test track: every craft laps in time, never stuck for long, always moving on;
// and Hard is faster than Easy on average.
TEST_F(AIRaceTest, AllDifficultiesFinishAndHardBeatsEasyOnAverage)
{
    std::vector<std::vector<AIRaceCraft>> races;
    for (uint32_t seed = 1; seed <= 6; ++seed)
    {
        AIRaceOptions o;
        o.seed = seed;
        o.laps = 3;
        races.push_back(Race(o));
        for (const AIRaceCraft& craft : races.back())
        {
            const std::string what = "seed " + std::to_string(seed) + " slot " + std::to_string(craft.slot);
            ASSERT_EQ(craft.laps.size(), 3u) << what;
            EXPECT_GT(craft.finish, 0.0) << what;
            EXPECT_LE(craft.finish, 180.0) << what;
            EXPECT_LT(craft.longestStuck, 3.0) << what;
            EXPECT_GE(craft.leastProgress, 50.0) << what;
            EXPECT_EQ(craft.destroyed, 0.0) << what;
        }
    }
    const double easy = MeanFinish(races, 1), hard = MeanFinish(races, 3);
    EXPECT_LE(hard, 0.98 * easy) << "Hard " << hard << " s, Easy " << easy << " s";
}

TEST_F(AIRaceTest, BranchesByParity)
{
    AIRaceOptions o;
    o.seed = 2;
    o.laps = 3;
    const std::vector<AIRaceCraft> crafts = Race(o);
    int32_t next = 0, alt = 0;
    for (const AIRaceCraft& craft : crafts)
    {
        EXPECT_EQ(craft.branchNext + craft.branchAlt, 3) << craft.slot;
        EXPECT_EQ(craft.branchAgainstParity, 0) << craft.slot;
        next += craft.branchNext;
        alt += craft.branchAlt;
    }
    EXPECT_GT(next, 0);
    EXPECT_GT(alt, 0);
}

TEST_F(AIRaceTest, DeterministicAndEachRaceStartsClean)
{
    AIRaceOptions o;
    o.seed = 4;
    o.laps = 1;
    const std::vector<AIRaceCraft> first = Race(o);
    EXPECT_EQ(g_AIKernel.m_Agents.Count(), 0);
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
        EXPECT_EQ(g_RaceSettings.GetParticipant(slot)->m_Agent, nullptr);
    const std::vector<AIRaceCraft> second = Race(o);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_EQ(first[i].lineDigest, second[i].lineDigest) << i;
        EXPECT_EQ(first[i].finish, second[i].finish) << i;
    }
    // Another seed permutes the start places, so the lines differ.
    o.seed = 5;
    const std::vector<AIRaceCraft> other = Race(o);
    bool differs = false;
    for (size_t i = 0; i < first.size(); ++i)
        differs = differs || other[i].lineDigest != first[i].lineDigest;
    EXPECT_TRUE(differs);
}

// Once past its goal a craft's agent is forced to the standard tube without weapons, as the finish does: it
// drives on along the path and never brakes for a rival.
TEST_F(AIRaceTest, AForcedAgentDrivesOnWithoutWeaponsOrHyperbrake)
{
    AIRaceOptions o;
    o.seed = 3;
    o.laps = 2;
    o.weapons = true;
    o.timeLimit = 40.0;
    std::vector<bool> forced(6, false);
    int32_t hyperbrakes = 0, fires = 0;
    const auto watch = [&](AIRace& race)
    {
        for (const AIRaceCraft& craft : race.Crafts())
        {
            CTuber* tuber = race.Rig().Craft(craft.slot);
            CAgent* agent = tuber->m_Participant->m_Agent;
            // Counted from the tick after the one that forced it.
            if (forced[craft.slot])
            {
                hyperbrakes += tuber->m_ControlMessage.m_Backward ? 1 : 0;
                fires += tuber->m_ControlMessage.m_FireWeapon || tuber->m_ControlMessage.m_FireMine ? 1 : 0;
            }
            else if (craft.laps.size() >= 1)
            {
                agent->ForceStandardTube();
                agent->SetWeaponsEnabled(false);
                forced[craft.slot] = true;
            }
        }
    };
    for (const AIRaceCraft& craft : Race(o, watch))
        EXPECT_EQ(craft.laps.size(), 2u) << craft.slot;
    EXPECT_EQ(hyperbrakes, 0);
    EXPECT_EQ(fires, 0);
}

// The player's craft on an agent of level 2 laps like a computer craft and stays the player's.
TEST_F(AIRaceTest, Autopilot)
{
    AIRaceOptions o;
    o.seed = 1;
    o.laps = 2;
    o.autopilot = 2;
    bool stayedThePlayers = true;
    const auto watch = [&](AIRace& race)
    {
        CTuber* player = race.Rig().Craft(0);
        stayedThePlayers = stayedThePlayers && player->m_IsPlayer && g_Game.m_PlayerTuber == player &&
                           player->m_Participant->m_Kind == CRaceParticipant::Human &&
                           player->m_Participant->m_Agent != nullptr && player->m_Participant->m_Agent->m_Autopilot &&
                           player->m_Participant->m_Agent->m_Level == 2;
    };
    const std::vector<AIRaceCraft> crafts = Race(o, watch);
    ASSERT_FALSE(crafts.empty());
    EXPECT_EQ(crafts[0].kind, CRaceParticipant::Human);
    EXPECT_EQ(crafts[0].laps.size(), 2u);
    EXPECT_LT(crafts[0].longestStuck, 3.0);
    EXPECT_TRUE(stayedThePlayers);
    EXPECT_EQ(g_AIKernel.m_AutopilotLevel, -1);  // the fixture switches it off again
}

// With the race's weapons on every craft still laps.
TEST_F(AIRaceTest, WeaponsOn)
{
    AIRaceOptions o;
    o.seed = 2;
    o.laps = 2;
    o.weapons = true;
    for (const AIRaceCraft& craft : Race(o))
    {
        EXPECT_EQ(craft.laps.size(), 2u) << craft.slot;
        EXPECT_LT(craft.longestStuck, 3.0) << craft.slot;
    }
}

TEST_F(AIRaceTest, TheCommandPrintsItsLinesAndSummaries)
{
    std::string output;
    EXPECT_EQ(RunAIRaceCommand({"--seeds", "1-2", "--laps", "1"}, &output), 0) << output;
    int craftLines = 0, summaries = 0;
    for (size_t at = 0; (at = output.find("ai seed ", at)) != std::string::npos; ++at)
        ++craftLines;
    for (size_t at = 0; (at = output.find("ai summary ", at)) != std::string::npos; ++at)
        ++summaries;
    EXPECT_EQ(craftLines, 12);
    EXPECT_EQ(summaries, 3);
    EXPECT_NE(output.find("ai-race: ok\n"), std::string::npos) << output;
    EXPECT_NE(output.find("ai summary Hard craft 4 laps 4 finished 4 mean-finish "), std::string::npos) << output;
    std::string bad;
    EXPECT_EQ(RunAIRaceCommand({"--nonsense"}, &bad), 1);
    EXPECT_NE(bad.find("unknown argument --nonsense"), std::string::npos);
}

}  // namespace
