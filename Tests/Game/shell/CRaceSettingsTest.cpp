#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceStats.h"

#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

namespace
{

// Six fresh slots for each test; the process-wide object is shared with every other test.
class CRaceSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { m_Settings.ClearParticipants(); }
    CRaceSettings m_Settings;
};

TEST_F(CRaceSettingsTest, TeamColorsTakeMissingKeysAndComponentsAsZeroWithAlphaOne)
{
    const struct
    {
        const char* text;
        float rgb[3];
    } cases[] = {
        {"255,128,0", {1.0f, 128.0f / 255.0f, 0.0f}},
        {"255", {1.0f, 0.0f, 0.0f}},
        {"", {0.0f, 0.0f, 0.0f}},
        {"0,,51", {0.0f, 0.0f, 0.2f}},
    };
    GetConfigString("game.TeamColors.TeamColor3", WeString());
    for (const auto& c : cases)
    {
        ConfigOverride colour("game.TeamColors.TeamColor3", c.text);
        m_Settings.LoadTeamColors();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(m_Settings.m_TeamColors[2][i], c.rgb[i], 1e-4f) << c.text << " component " << i;
        EXPECT_EQ(m_Settings.m_TeamColors[2][3], 1.0f) << c.text;
    }
}

TEST_F(CRaceSettingsTest, CountsAndPlacesSeeOnlyRacingSlots)
{
    m_Settings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1);
    m_Settings.SetParticipant(2, CRaceParticipant::AIHard, "Xdrone", 3);
    EXPECT_EQ(m_Settings.SetParticipant(6, CRaceParticipant::AIEasy, "Xdrone", 2), nullptr);
    EXPECT_EQ(m_Settings.SetParticipant(-1, CRaceParticipant::AIEasy, "Xdrone", 2), nullptr);
    EXPECT_EQ(m_Settings.CountParticipants(), 2);
    // No craft exists outside a race: nobody has finished and nobody is still racing.
    EXPECT_EQ(m_Settings.CountFinishedParticipants(), 0);
    EXPECT_EQ(m_Settings.CountActiveParticipants(), 0);

    // An open slot with a stale place from an earlier race is not found.
    m_Settings.m_Participants[1]->m_RacePlace = 1;
    m_Settings.m_Participants[0]->m_RacePlace = 2;
    m_Settings.m_Participants[2]->m_RacePlace = 1;
    EXPECT_EQ(m_Settings.FindParticipantByPlace(1), m_Settings.m_Participants[2]);
    EXPECT_EQ(m_Settings.FindParticipantByPlace(2), m_Settings.m_Participants[0]);
    EXPECT_EQ(m_Settings.FindParticipantByPlace(3), nullptr);
}

TEST_F(CRaceSettingsTest, ResetResultsKeepsWhoRacesFromWhereInWhatUnderWhichName)
{
    CRaceParticipant* slot = m_Settings.SetParticipant(3, CRaceParticipant::AIMedium, "EclosionHunter", 4);
    slot->m_DisplayName = "Vask";
    slot->m_RacePlace = 2;
    slot->m_Kills = 3;
    slot->m_Won = true;
    slot->m_RaceTime = 91.5f;
    slot->m_BestLap = 30.25f;
    slot->m_Score = 6;
    slot->ResetResults();
    EXPECT_EQ(slot->m_Kind, CRaceParticipant::AIMedium);
    EXPECT_EQ(slot->m_StartPlace, 4);
    EXPECT_EQ(slot->m_CraftKey, "EclosionHunter");
    EXPECT_EQ(slot->m_DisplayName, "Vask");
    EXPECT_EQ(slot->m_Index, 3);
    EXPECT_EQ(slot->m_RacePlace, 0);
    EXPECT_EQ(slot->m_Kills, 0);
    EXPECT_FALSE(slot->m_Won);
    EXPECT_EQ(slot->m_RaceTime, 0.0f);
    EXPECT_EQ(slot->m_BestLap, 0.0f);
    EXPECT_EQ(slot->m_Score, 0);
    EXPECT_EQ(slot->m_Craft, nullptr);
    EXPECT_EQ(slot->m_CraftEntry, nullptr);

    m_Settings.ClearParticipants();
    EXPECT_EQ(slot->m_Kind, CRaceParticipant::Open);
    EXPECT_TRUE(slot->m_CraftKey.IsEmpty());
    EXPECT_TRUE(slot->m_DisplayName.IsEmpty());
}

TEST_F(CRaceSettingsTest, PlayerTakesSlotZeroAndTheFirstStartPlace)
{
    m_Settings.SetParticipant(4, CRaceParticipant::AIEasy, "Xdrone", 5);
    m_Settings.SetPlayerParticipant();
    EXPECT_EQ(m_Settings.m_Participants[0]->m_Kind, CRaceParticipant::Human);
    EXPECT_EQ(m_Settings.m_Participants[0]->m_StartPlace, 1);
    EXPECT_EQ(m_Settings.m_Participants[4]->m_Kind, CRaceParticipant::Open);
    EXPECT_EQ(m_Settings.CountParticipants(), 1);
}

TEST_F(CRaceSettingsTest, AINamesFillOnlyUnnamedComputerSlots)
{
    m_Settings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1);
    m_Settings.SetParticipant(1, CRaceParticipant::AIEasy, "Xdrone", 2);
    m_Settings.SetParticipant(3, CRaceParticipant::AIHard, "Xdrone", 4)->m_DisplayName = "Named";
    m_Settings.SetParticipant(5, CRaceParticipant::AIMedium, "Xdrone", 6);
    m_Settings.m_Difficulty = 2;
    // The profiles offer no names yet: the named slot keeps its name and nothing else changes.
    m_Settings.AssignAINames();
    EXPECT_EQ(m_Settings.m_Participants[3]->m_DisplayName, "Named");
    EXPECT_TRUE(m_Settings.m_Participants[0]->m_DisplayName.IsEmpty());
}

TEST_F(CRaceSettingsTest, CraftNameOfAnUnknownKeyIsEmpty)
{
    WeString name("stale");
    m_Settings.LookupCraftName(name, "NoSuchCraft");
    EXPECT_TRUE(name.IsEmpty());
}

TEST(CRaceStats, PointsForPlacesOneToFiveFromTheTableAndNoneElsewhere)
{
    GetConfigInt("game.PointsTable.1", 0);
    GetConfigInt("game.PointsTable.5", 0);
    ConfigOverride first("game.PointsTable.1", "10");
    ConfigOverride fifth("game.PointsTable.5", "1");
    CRaceStats stats;
    EXPECT_EQ(stats.GetPointsForPlace(1), 10);
    EXPECT_EQ(stats.GetPointsForPlace(5), 1);
    EXPECT_EQ(stats.GetPointsForPlace(6), 0);
    EXPECT_EQ(stats.GetPointsForPlace(0), 0);
    EXPECT_EQ(stats.GetPointsForPlace(-3), 0);
    EXPECT_EQ(stats.GetPointsForPlace(7), 0);
}

TEST(CRaceStats, LapRecordsOutsideTheTableAreIgnored)
{
    CRaceStats stats;
    g_RaceSettings.m_Participants[2]->m_RacePlace = 3;
    stats.RecordLap(2, 1, 41.5f, 0.25f);
    stats.RecordLap(2, 20, 39.0f, 0.5f);
    const CRaceStats::LapRecord* first = stats.GetLap(2, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->place, 3);
    EXPECT_EQ(first->time, 41.5f);
    EXPECT_EQ(first->ratio, 0.25f);
    EXPECT_EQ(stats.GetLap(2, 20)->time, 39.0f);
    g_RaceSettings.m_Participants[2]->m_RacePlace = 0;

    // A finish estimate loops up to the lap count: laps past 20, lap 0 and foreign slots touch nothing.
    const CRaceStats before = stats;
    for (int32_t lap : {0, 21, 50, -1})
        stats.RecordLap(1, lap, 1.0f, 1.0f);
    for (int32_t slot : {-1, 6, 100})
        stats.RecordLap(slot, 1, 1.0f, 1.0f);
    for (int s = 0; s < CRaceStats::SlotCount; ++s)
        for (int l = 0; l < CRaceStats::MaxLaps; ++l)
            EXPECT_EQ(stats.m_Laps[s][l].time, before.m_Laps[s][l].time);
    EXPECT_EQ(stats.GetLap(6, 1), nullptr);
    EXPECT_EQ(stats.GetLap(0, 21), nullptr);
}

}  // namespace
