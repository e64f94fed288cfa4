// The single race set-up over the menu background, on the shipped map list, craft and opponents: the
// lap-count list, the race types, the "last one" lap rule, difficulty changes, the team colours, the map
// browser and its auto-repeat, START's fade to the shipyard and what Leave draws and stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CShipyardPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
class CSingleRacePhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_TuberCatalogue.Load();
        g_AIProfiles.Load();
        g_MapCatalogue.Load();
        g_RaceSettings.LoadTeamColors();
        m_Profile = g_ProfileManager.Create("Ace");
        g_ProfileManager.SetCurrent(m_Profile);
        SysRandom::Seed(7);
    }
    void Open()
    {
        Start({&g_MenuPhase, &g_SingleRacePhase});
        ASSERT_TRUE(WaitShown("SingleRace_MapDescription_Window"));
    }
    static WeUIComboBox* ComboOf(const std::string& name)
    {
        return static_cast<WeUIComboBox*>(g_UIMain.FindComponent(name.c_str()));
    }
    static WeUIComboBox* Option(const char* option)
    {
        return ComboOf(std::string("SingleRace_") + option + "_Combobox");
    }
    // Chooses an item as a click on the list would: the selection, then the change callback.
    static void Choose(WeUIComboBox* combo, int32_t index)
    {
        ASSERT_NE(combo, nullptr);
        combo->SetSelectedIndex(index, -1);
        ASSERT_NE(combo->m_OnChange, nullptr);
        combo->m_OnChange(combo);
        Step();
    }
    static std::vector<std::string> Items(WeUIComboBox* combo)
    {
        std::vector<std::string> items;
        for (int32_t i = 0; combo != nullptr && i < combo->GetItemCount(); ++i)
            items.push_back(combo->GetItem(i)->m_Text->m_Text.c_str());
        return items;
    }
    static bool Enabled(const char* name)
    {
        WeUIComponent* c = g_UIMain.FindComponent(name);
        return c != nullptr && c->m_InputEnabled && c->m_Opacity == 1.0f;
    }
    static std::string MapName() { return g_RaceSettings.m_MapName.c_str(); }
    static int32_t Kind(int32_t slot) { return g_RaceSettings.GetParticipant(slot)->m_Kind; }

    CProfile* m_Profile = nullptr;
};
}  // namespace

TEST_F(CSingleRacePhaseTest, TheLapCountComboListsTheParsedCounts)
{
    struct Case
    {
        const char* setting;
        std::vector<std::string> items;
    };
    std::vector<std::string> twenty;
    std::string twentyFive;
    for (int i = 1; i <= 25; ++i)
    {
        twentyFive += (i > 1 ? "," : "") + std::to_string(i);
        if (i <= 20)
            twenty.push_back(std::to_string(i));
    }
    const Case cases[] = {
        {"3,5,0,7", {"3", "5", "7"}}, {twentyFive.c_str(), twenty}, {"0", {"1"}}, {"x", {"1"}}, {"", {"1"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.setting);
        ConfigOverride laps("game.GamePlay.LapCounts", c.setting);
        Open();
        EXPECT_EQ(Items(Option("LapCount")), c.items);
        EXPECT_GE(Option("LapCount")->GetSelectedIndex(), 0);
        g_PhaseManager.Shutdown();
        Settle();
    }
}

TEST_F(CSingleRacePhaseTest, TheTimeTrialOpensAndHidesTheOpponentRowsAndFixesItsOptions)
{
    Open();
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 1);
    Choose(ComboOf("SingleRace_PlayersCombo 2"), 2);
    ASSERT_TRUE(g_RaceSettings.GetParticipant(2)->IsAI());
    Choose(Option("RaceType"), 1);
    Settle();
    EXPECT_EQ(g_RaceSettings.m_RaceType, 1);
    for (int32_t i = 1; i < 6; ++i)
    {
        EXPECT_EQ(Kind(i), CRaceParticipant::Open) << i;
        EXPECT_FALSE(Visible(("SingleRace_PlayersCombo " + std::to_string(i)).c_str())) << i;
        EXPECT_FALSE(Visible(("SingleRace_TeamColors " + std::to_string(i)).c_str())) << i;
    }
    EXPECT_TRUE(Visible("SingleRace_PlayersCombo 0"));
    EXPECT_FALSE(g_RaceSettings.m_Weapons);
    EXPECT_FALSE(g_RaceSettings.m_UnlimitedTurbo);
    EXPECT_TRUE(g_RaceSettings.m_Dynamics);
    for (const char* disabled : {"SingleRace_Weapons_Combobox", "SingleRace_UnlimitedTurbo_Combobox",
                                 "SingleRace_Dynamics_Combobox", "SingleRace_Weapons_Combobox_title"})
        EXPECT_FALSE(Enabled(disabled)) << disabled;
    EXPECT_TRUE(Enabled("SingleRace_LapCount_Combobox"));
    EXPECT_EQ(Option("Weapons")->GetSelectedIndex(), 1);

    Choose(Option("RaceType"), 0);
    EXPECT_TRUE(g_RaceSettings.m_Weapons);
    EXPECT_TRUE(Enabled("SingleRace_Weapons_Combobox"));
    EXPECT_TRUE(Visible("SingleRace_PlayersCombo 3"));
}

TEST_F(CSingleRacePhaseTest, LastOneRacesOneLapFewerThanItsParticipantsAndNeedsTwo)
{
    Open();
    Choose(Option("RaceType"), 2);
    EXPECT_FALSE(Enabled("SingleRace_LapCount_Combobox"));
    // The player alone.
    EXPECT_EQ(g_RaceSettings.m_Laps, 1);
    EXPECT_FALSE(Enabled("SingleRace_Start_Button"));
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 1);
    Choose(ComboOf("SingleRace_PlayersCombo 2"), 2);
    EXPECT_EQ(g_SingleRacePhase.m_ParticipantCount, 3);
    EXPECT_EQ(g_RaceSettings.m_Laps, 2);
    EXPECT_TRUE(Enabled("SingleRace_Start_Button"));
}

TEST_F(CSingleRacePhaseTest, ADifficultyChangeMakesEveryChosenOpponentRandomAndRefillsTheRows)
{
    Open();
    ASSERT_GE(g_SingleRacePhase.m_DifficultyLevels.Count(), 2);
    EXPECT_EQ(g_RaceSettings.m_Difficulty, 1);
    // The rows list open, random, then the craft of each easy opponent.
    std::vector<std::string> expected = {g_Localization.GetText("UI: OPEN").c_str(),
                                         g_Localization.GetText("UI: RANDOM").c_str()};
    for (auto* n = g_SingleRacePhase.m_EasyOpponents.FirstNode(); n != nullptr;
         n = g_SingleRacePhase.m_EasyOpponents.NextNode(n))
    {
        WeString name;
        g_RaceSettings.LookupCraftName(name, n->payload->m_CraftKeyword);
        expected.push_back(name.c_str());
    }
    EXPECT_EQ(Items(ComboOf("SingleRace_PlayersCombo 1")), expected);
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 2);
    Choose(ComboOf("SingleRace_PlayersCombo 2"), 3);
    EXPECT_FALSE(g_RaceSettings.m_RandomOpponents[1]);
    Choose(Option("RaceDifficulty"), 1);
    EXPECT_EQ(g_RaceSettings.m_Difficulty, 2);
    for (int32_t i : {1, 2})
    {
        EXPECT_TRUE(g_RaceSettings.m_RandomOpponents[i]) << i;
        EXPECT_EQ(Kind(i), 2) << i;
        EXPECT_EQ(ComboOf("SingleRace_PlayersCombo " + std::to_string(i))->GetSelectedIndex(), 1) << i;
    }
    EXPECT_EQ(Kind(3), CRaceParticipant::Open);
}

TEST_F(CSingleRacePhaseTest, EachVisibleColourFrameShowsItsTeamsColour)
{
    Open();
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 2);
    Choose(ComboOf("SingleRace_Teams 1"), 2);
    EXPECT_EQ(g_RaceSettings.GetParticipant(1)->m_StartPlace, 3);
    for (int32_t row : {0, 1})
    {
        SCOPED_TRACE(row);
        const int32_t team = g_RaceSettings.GetParticipant(row)->m_StartPlace;
        WeUIComponent* frame = g_UIMain.FindComponent(("SingleRace_TeamColors " + std::to_string(row)).c_str());
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->m_Visible);
        for (int32_t c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(frame->m_Colour[c], g_RaceSettings.m_TeamColors[team - 1][c]);
    }
    EXPECT_FALSE(Visible("SingleRace_TeamColors 2"));
}

TEST_F(CSingleRacePhaseTest, TheMapBrowserWrapsBothWaysAndAStaleLastMapStartsAtTheFirst)
{
    m_Profile->m_LastMap = "No Such Map";
    Open();
    const WeStringList& names = g_MapCatalogue.m_Names;
    ASSERT_GE(names.Count(), 2);
    const std::string first = names.FirstNode()->payload.c_str();
    const std::string last = names.LastNode()->payload.c_str();
    EXPECT_EQ(MapName(), first);
    auto* title = static_cast<WeUILabel*>(g_UIMain.FindComponent("SingleRace_MapTitle"));
    ASSERT_NE(title, nullptr);
    EXPECT_FALSE(title->m_Text->m_Text.IsEmpty());
    ASSERT_TRUE(Click("SingleRace_PrevMap"));
    EXPECT_EQ(MapName(), last);
    ASSERT_TRUE(Click("SingleRace_NextMap"));
    EXPECT_EQ(MapName(), first);
    ASSERT_TRUE(Click("SingleRace_NextMap"));
    EXPECT_EQ(MapName(), std::string(names.NextNode(names.FirstNode())->payload.c_str()));
    g_PhaseManager.Shutdown();
    // Leave stored the map shown: the next visit starts on it.
    EXPECT_EQ(std::string(m_Profile->m_LastMap.c_str()),
              std::string(names.NextNode(names.FirstNode())->payload.c_str()));
}

// Holding the rotate-left control (A) browses back once at once and then about every half second.
TEST_F(CSingleRacePhaseTest, HoldingRotateLeftBrowsesBackAtTheRepeatCadence)
{
    Open();
    const int32_t key = 30;  // A
    std::vector<int> moves;
    int32_t confirms = Sounds(CMenuPhase::SoundConfirm);
    Hold(key, 70,
         [&](int frame)
         {
             for (; confirms < Sounds(CMenuPhase::SoundConfirm); ++confirms)
                 moves.push_back(frame);
         });
    // Frames 0, about 32 and about 64.
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0], 0);
    EXPECT_NEAR(moves[1], 32, 1);
    EXPECT_NEAR(moves[2], 64, 1);
    const int32_t afterHold = Sounds(CMenuPhase::SoundConfirm);
    Hold(key, 1);
    Step(3);
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm) - afterHold, 1);
}

TEST_F(CSingleRacePhaseTest, StartFadesToTheShipyardAndEscapeDuringTheFadeChangesNothing)
{
    Open();
    ASSERT_TRUE(Click("SingleRace_Start_Button"));
    EXPECT_EQ(g_SingleRacePhase.m_Leaving, 1);
    const int32_t backs = Sounds(CMenuPhase::SoundBack);
    Press(1);
    ASSERT_TRUE(Click("SingleRace_Back_Button"));
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
    for (int i = 0; i < 200 && Stack() != "CShipyardPhase"; ++i)
    {
        g_ScreenFader.Update();
        Step();
    }
    EXPECT_EQ(Stack(), "CShipyardPhase");
    EXPECT_EQ(g_UIMain.FindComponent("SingleRace_RootWindow"), nullptr);
}

TEST_F(CSingleRacePhaseTest, BackAndEscapeReturnToTheMainMenu)
{
    Open();
    ASSERT_TRUE(Click("SingleRace_Back_Button"));
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
    g_PhaseManager.Shutdown();
    Open();
    Press(1);
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

// Leave draws an opponent for each random row only, names the computer drivers and saves the profile.
TEST_F(CSingleRacePhaseTest, LeaveDrawsOnlyTheRandomRowsNamesThemAndSaves)
{
    Open();
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 1);
    Choose(ComboOf("SingleRace_PlayersCombo 2"), 2);
    const std::string chosen = g_RaceSettings.GetParticipant(2)->m_CraftKey.c_str();
    Choose(ComboOf("SingleRace_Teams 1"), 4);
    g_PhaseManager.Shutdown();
    const CRaceParticipant* random = g_RaceSettings.GetParticipant(1);
    EXPECT_EQ(random->m_Kind, 1);
    EXPECT_FALSE(random->m_CraftKey.IsEmpty());
    EXPECT_EQ(random->m_StartPlace, 5);
    EXPECT_FALSE(random->m_DisplayName.IsEmpty());
    EXPECT_EQ(std::string(g_RaceSettings.GetParticipant(2)->m_CraftKey.c_str()), chosen);
    EXPECT_FALSE(g_RaceSettings.GetParticipant(2)->m_DisplayName.IsEmpty());
    EXPECT_EQ(Kind(3), CRaceParticipant::Open);
    EXPECT_TRUE(m_Profile->m_RandomOpponents[1]);
    EXPECT_NE(SaveFile().find("Ace"), std::string::npos);
}

// A random row whose level has no opponents left becomes open; a row whose team combo has no selection
// keeps its start place (its own row's when that cannot index a colour).
TEST_F(CSingleRacePhaseTest, LeaveWithNoOpponentsOpensTheSlotAndWithoutATeamKeepsTheStartPlace)
{
    Open();
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 1);
    Choose(ComboOf("SingleRace_PlayersCombo 2"), 1);
    g_RaceSettings.GetParticipant(2)->m_StartPlace = 9;
    ComboOf("SingleRace_Teams 2")->SetSelection(nullptr);
    ComboOf("SingleRace_Teams 1")->SetSelection(nullptr);
    g_RaceSettings.GetParticipant(1)->m_StartPlace = 4;
    g_PhaseManager.Shutdown();
    EXPECT_EQ(g_RaceSettings.GetParticipant(1)->m_StartPlace, 4);
    EXPECT_EQ(g_RaceSettings.GetParticipant(2)->m_StartPlace, 3);

    Open();
    Choose(ComboOf("SingleRace_PlayersCombo 1"), 1);
    g_SingleRacePhase.m_EasyOpponents.Clear();
    g_PhaseManager.Shutdown();
    EXPECT_EQ(Kind(1), CRaceParticipant::Open);
    EXPECT_FALSE(g_RaceSettings.m_RandomOpponents[1]);
}
