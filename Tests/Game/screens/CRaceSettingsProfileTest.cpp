// The race set-up copied from and into the current profile, with what a stored file may get wrong.
#include <gtest/gtest.h>

#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/GetLapCounts.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
class CRaceSettingsProfile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The three craft, whatever the pack lists.
        ConfigOverride falconer("tubers.Falconer.UnlockID", "0");
        ConfigOverride hunter("tubers.EclosionHunter.UnlockID", "0");
        ConfigOverride drone("tubers.Xdrone.UnlockID", "0");
        g_TuberCatalogue.Load();
        g_ProfileManager.Clear();
        m_Profile = new CProfile();
        g_ProfileManager.GetProfiles().PushBack(m_Profile);
        g_ProfileManager.SetCurrent(m_Profile);
        g_RaceSettings.ClearParticipants();
        for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
            g_RaceSettings.m_RandomOpponents[i] = false;
    }
    void TearDown() override { g_ProfileManager.Clear(); }

    CProfile* m_Profile = nullptr;
};
}  // namespace

TEST_F(CRaceSettingsProfile, NormalisesLapCountRaceTypeAndDifficulty)
{
    ConfigOverride laps("game.GamePlay.LapCounts", "3,5,0,7");
    struct Case
    {
        int32_t lapCount, raceType, difficulty;
        int32_t laps, type, level;
    };
    const Case cases[] = {
        {5, 1, 2, 5, 1, 2}, {4, 5, 0, 3, 0, 1}, {0, -1, 4, 3, 0, 1}, {7, 2, 3, 7, 2, 3}, {3, 0, 1, 3, 0, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.lapCount);
        m_Profile->m_LapCount = c.lapCount;
        m_Profile->m_RaceType = c.raceType;
        m_Profile->m_Difficulty = c.difficulty;
        g_RaceSettings.LoadFromProfile();
        EXPECT_EQ(g_RaceSettings.m_Laps, c.laps);
        EXPECT_EQ(g_RaceSettings.m_RaceType, c.type);
        EXPECT_EQ(g_RaceSettings.m_Difficulty, c.level);
    }
}

TEST_F(CRaceSettingsProfile, StoredSlotsAreCheckedAndSlotZeroIsNeverCopied)
{
    g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1);
    m_Profile->m_RaceSlots[0] = {2, "Xdrone", 4};
    m_Profile->m_RaceSlots[1] = {4, "Falconer", 2};        // a second human
    m_Profile->m_RaceSlots[2] = {2, "Xdrone", 0};          // no team
    m_Profile->m_RaceSlots[3] = {3, "NoSuchCraft", 7};     // an unknown craft, a seventh team
    m_Profile->m_RaceSlots[4] = {1, "EclosionHunter", 6};  // all good
    m_Profile->m_RaceSlots[5] = {0, "", 3};
    m_Profile->m_RandomOpponents[5] = 1;
    g_RaceSettings.LoadFromProfile();

    const CRaceParticipant* s0 = g_RaceSettings.GetParticipant(0);
    EXPECT_EQ(s0->m_Kind, CRaceParticipant::Human);
    EXPECT_STREQ(s0->m_CraftKey.c_str(), "Falconer");
    EXPECT_EQ(s0->m_StartPlace, 1);

    EXPECT_EQ(g_RaceSettings.GetParticipant(1)->m_Kind, CRaceParticipant::Open);
    EXPECT_EQ(g_RaceSettings.GetParticipant(2)->m_StartPlace, 3);
    EXPECT_FALSE(g_RaceSettings.m_RandomOpponents[2]);
    EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_Kind, CRaceParticipant::AIHard);
    EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_StartPlace, 4);
    EXPECT_TRUE(g_RaceSettings.m_RandomOpponents[3]);
    EXPECT_EQ(g_RaceSettings.GetParticipant(4)->m_StartPlace, 6);
    EXPECT_FALSE(g_RaceSettings.m_RandomOpponents[4]);
    EXPECT_TRUE(g_RaceSettings.m_RandomOpponents[5]);
}

TEST_F(CRaceSettingsProfile, SaveCopiesBackAndLeavesTheReservedFlagAlone)
{
    m_Profile->m_Reserved = 0;
    g_RaceSettings.m_MapName = "Fusion Sphere (night)";
    g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 5);
    g_RaceSettings.SetParticipant(2, CRaceParticipant::AIMedium, "Xdrone", 2);
    g_RaceSettings.m_RandomOpponents[2] = true;
    g_RaceSettings.m_Weapons = false;
    g_RaceSettings.m_Reserved = true;
    g_RaceSettings.m_Laps = 5;
    g_RaceSettings.m_RaceType = 1;
    g_RaceSettings.m_Dynamics = false;
    g_RaceSettings.m_UnlimitedTurbo = true;
    g_RaceSettings.m_Difficulty = 3;
    g_RaceSettings.SaveToProfile();

    EXPECT_STREQ(m_Profile->m_LastMap.c_str(), "Fusion Sphere (night)");
    EXPECT_EQ(m_Profile->m_RaceSlots[0].kind, 0);
    EXPECT_EQ(m_Profile->m_RaceSlots[2].kind, CRaceParticipant::AIMedium);
    EXPECT_STREQ(m_Profile->m_RaceSlots[2].craft.c_str(), "Xdrone");
    EXPECT_EQ(m_Profile->m_RaceSlots[2].startPlace, 2);
    EXPECT_EQ(m_Profile->m_RandomOpponents[2], 1);
    EXPECT_EQ(m_Profile->m_Weapons, 0);
    EXPECT_EQ(m_Profile->m_Reserved, 0);
    EXPECT_EQ(m_Profile->m_LapCount, 5);
    EXPECT_EQ(m_Profile->m_RaceType, 1);
    EXPECT_EQ(m_Profile->m_Dynamics, 0);
    EXPECT_EQ(m_Profile->m_UnlimitedTurbo, 1);
    EXPECT_EQ(m_Profile->m_Difficulty, 3);

    // And back: the reserved byte of the set-up is always raised.
    g_RaceSettings.m_Reserved = false;
    g_RaceSettings.LoadFromProfile();
    EXPECT_TRUE(g_RaceSettings.m_Reserved);
    EXPECT_EQ(g_RaceSettings.GetParticipant(2)->m_Kind, CRaceParticipant::AIMedium);
}

TEST(CRaceSettingsProfileLapCounts, TheListOfTheSingleRaceScreen)
{
    struct Case
    {
        const char* text;
        std::vector<int32_t> counts;
    };
    const Case cases[] = {
        {"3,5,0,7", {3, 5, 7}},
        {"0", {1}},
        {"x", {1}},
        {"", {1}},
        {"2,,5", {2}},
        {"-3,4", {4}},
        {" 7 ,x9,9x", {7}},
        {"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseLapCounts(c.text), c.counts);
    }
}
