// The race card's lines from the race set-up.
#include <gtest/gtest.h>

#include <string>

#include "Engine/foundation/WeLocalization.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
std::string Text(const char* key)
{
    return g_Localization.GetText(key).c_str();
}

class CLoadMapPhaseCard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_RaceSettings.ClearParticipants();
        g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1)->m_DisplayName = "Ada";
        g_RaceSettings.m_MapName = "Fusion Sphere (night)";
        g_RaceSettings.m_Laps = 5;
        g_RaceSettings.m_RaceType = 0;
        g_RaceSettings.m_Difficulty = 1;
    }
    CLoadMapPhase m_Phase;
};
}  // namespace

TEST_F(CLoadMapPhaseCard, LapsAndOpponents)
{
    EXPECT_EQ(std::string(m_Phase.GetLapsLine().c_str()), Text("UI: LAP COUNT") + ": 5");
    // One participant: no opponents line.
    EXPECT_TRUE(m_Phase.GetOpponentsLine(1000).IsEmpty());
    g_RaceSettings.SetParticipant(2, CRaceParticipant::AIHard, "Xdrone", 3)->m_DisplayName = "Vex";
    g_RaceSettings.SetParticipant(4, CRaceParticipant::AIEasy, "Xdrone", 5)->m_DisplayName = "Mor";
    EXPECT_EQ(std::string(m_Phase.GetOpponentsLine(0).c_str()), Text("UI: OPPONENTS") + ": Vex, Mor");
}

TEST_F(CLoadMapPhaseCard, ModeColourRunsAndDifficultyTexts)
{
    ConfigOverride trial("UI.LoadMap.ModeColorTimeTrial", "FF112233");
    g_RaceSettings.m_RaceType = 1;
    const std::string mode = m_Phase.GetModeLine().c_str();
    const std::string expected = std::string("\x01") + "FFFFFFFF" + Text("UI: MODE") + ": " + "\x02" + "\x01" +
                                 "FF112233" + Text("UI: TIME TRIAL") + "\x02";
    EXPECT_EQ(mode, expected);

    struct Case
    {
        int32_t difficulty;
        const char* key;
    };
    const Case cases[] = {{1, "UI: DIFF_EASY"},
                          {2, "UI: DIFF_MEDIUM"},
                          {3, "UI: DIFF_HARD"},
                          {7, "UI: DIFF_MEDIUM"},
                          {0, "UI: DIFF_MEDIUM"}};
    for (const Case& c : cases)
    {
        g_RaceSettings.m_Difficulty = c.difficulty;
        EXPECT_EQ(std::string(m_Phase.GetDifficultyLine().c_str()), Text("UI: DIFFICULTY") + ": " + Text(c.key));
    }
}

TEST_F(CLoadMapPhaseCard, MapNameAndVariant)
{
    EXPECT_EQ(std::string(m_Phase.GetMapNameLine().c_str()), Text("Maps: Fusion Sphere: NAME"));
    EXPECT_EQ(std::string(m_Phase.GetVariantLine().c_str()), Text("UI: night"));
    g_RaceSettings.m_MapName = "Fusion Sphere (day)_reverse";
    EXPECT_EQ(std::string(m_Phase.GetVariantLine().c_str()), Text("UI: day") + " / " + Text("UI: reverse"));
    g_RaceSettings.m_MapName = "_TestRace";
    EXPECT_TRUE(m_Phase.GetVariantLine().IsEmpty());
}
