// The instant race from the main menu, on the shipped track list, craft and opponents: what it draws over a
// table of seeds, the difficulty fallback, the races it refuses, the wait for the menu's fade and the fade
// into the loading screen.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Engine/foundation/WeStringList.h"
#include "Game/craft/CAIProfile.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/screens/CInstantRacePhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
class CInstantRacePhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        // The main menu's kept label belongs to the UI of one test.
        g_MainMenuPhase.m_MustRestartLabel = nullptr;
        g_TuberCatalogue.Load();
        g_AIProfiles.Load();
        g_MapCatalogue.Load();
        m_Profile = g_ProfileManager.Create("Ace");
        g_ProfileManager.SetCurrent(m_Profile);
    }
    void TearDown() override
    {
        ResetFader();
        g_MainMenuPhase.m_MustRestartLabel = nullptr;
        ScreenTest::TearDown();
        g_AIProfiles.Load();
        g_MapCatalogue.Load();
        g_TuberCatalogue.Load();
    }
    static void ResetFader()
    {
        g_ScreenFader.m_State = CScreenFader::Idle;
        g_ScreenFader.m_Callback = nullptr;
    }
    static bool FadingToTheRace() { return g_ScreenFader.m_Callback == &CInstantRacePhase::OnFadeDone; }
    // The instant race entered straight over the menu background, run until it has drawn its race.
    static void Draw(uint32_t seed)
    {
        ResetFader();
        Start({&g_MenuPhase, &g_InstantRacePhase});
        SysRandom::Seed(seed);
        // The menu background's own fades end first.
        for (int i = 0; i < 120 && !g_InstantRacePhase.m_Started; ++i)
            Step();
    }
    static std::string RaceLine()
    {
        std::string line = std::string(g_RaceSettings.m_MapName.c_str()) + " laps " +
                           std::to_string(g_RaceSettings.m_Laps) + " difficulty " +
                           std::to_string(g_RaceSettings.m_Difficulty);
        for (int32_t i = 0; i < CRaceSettings::SlotCount; ++i)
        {
            const CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
            line += " | " + std::to_string(slot->m_Kind) + " " + slot->m_CraftKey.c_str() + " " +
                    std::to_string(slot->m_StartPlace) + " " + slot->m_DisplayName.c_str();
        }
        return line;
    }
    static int32_t Opponents()
    {
        int32_t n = 0;
        for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
            if (g_RaceSettings.GetParticipant(i)->IsAI())
                ++n;
        return n;
    }

    CProfile* m_Profile = nullptr;
};

bool Listed(const WeStringList& list, const WeString& name)
{
    for (const WeString& s : list)
        if (s == name)
            return true;
    return false;
}
}  // namespace

TEST_F(CInstantRacePhaseTest, EachSeedDrawsAStandardRaceOfTheShippedTracksAndOpponents)
{
    std::set<int32_t> laps, counts;
    for (uint32_t seed : {1u, 2u, 3u, 7u, 11u, 42u, 99u, 1234u, 31337u, 65535u})
    {
        SCOPED_TRACE(seed);
        Draw(seed);
        ASSERT_TRUE(g_InstantRacePhase.m_Started);
        EXPECT_TRUE(Listed(g_MapCatalogue.m_Names, g_RaceSettings.m_MapName));
        EXPECT_GE(g_RaceSettings.m_Laps, 1);
        EXPECT_LE(g_RaceSettings.m_Laps, 10);
        EXPECT_EQ(g_RaceSettings.m_RaceType, CRaceSettings::StandardRace);
        EXPECT_TRUE(g_RaceSettings.m_Weapons);
        EXPECT_FALSE(g_RaceSettings.m_UnlimitedTurbo);
        EXPECT_TRUE(g_RaceSettings.m_InstantRace);
        EXPECT_GE(g_RaceSettings.m_Difficulty, 1);
        EXPECT_LE(g_RaceSettings.m_Difficulty, 3);

        const CRaceParticipant* human = g_RaceSettings.GetParticipant(0);
        EXPECT_EQ(human->m_Kind, CRaceParticipant::Human);
        EXPECT_STREQ(human->m_DisplayName.c_str(), "Ace");
        EXPECT_EQ(human->m_StartPlace, 1);
        EXPECT_NE(g_TuberCatalogue.Find(human->m_CraftKey), nullptr);

        // Opponents fill slots 1..count without a gap, each of the race difficulty with a driver name of it.
        const int32_t count = Opponents();
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 5);
        const WeStringList& names = g_AIProfiles.m_DriverNames[g_RaceSettings.m_Difficulty - 1];
        for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
        {
            const CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
            if (i > count)
            {
                EXPECT_EQ(slot->m_Kind, CRaceParticipant::Open) << i;
                continue;
            }
            EXPECT_EQ(slot->m_Kind, g_RaceSettings.m_Difficulty) << i;
            EXPECT_EQ(slot->m_StartPlace, i + 1);
            EXPECT_NE(g_TuberCatalogue.Find(slot->m_CraftKey), nullptr);
            EXPECT_TRUE(Listed(names, slot->m_DisplayName)) << slot->m_DisplayName.c_str();
        }
        laps.insert(g_RaceSettings.m_Laps);
        counts.insert(count);
        g_PhaseManager.Shutdown();
    }
    // Ten seeds that always drew the same would mean the draw ignores the generator.
    EXPECT_GT(laps.size(), 1u);
    EXPECT_GT(counts.size(), 1u);
    // The set-up of the single race is not the instant race's: the profile keeps its own.
    EXPECT_TRUE(m_Profile->m_LastMap.IsEmpty());
}

TEST_F(CInstantRacePhaseTest, TheSameSeedDrawsTheSameRace)
{
    Draw(7);
    const std::string first = RaceLine();
    g_PhaseManager.Shutdown();
    Draw(8);
    const std::string other = RaceLine();
    g_PhaseManager.Shutdown();
    Draw(7);
    EXPECT_EQ(RaceLine(), first);
    EXPECT_NE(other, first);
}

TEST_F(CInstantRacePhaseTest, WithOnlyEasyOpponentsTheDifficultyIsAlwaysEasy)
{
    ConfigOverride names("AIProfiles.List.Names", "Pebble,Drizzle,Moth");
    g_AIProfiles.Load();
    for (uint32_t seed = 1; seed <= 12; ++seed)
    {
        SCOPED_TRACE(seed);
        Draw(seed);
        EXPECT_EQ(g_RaceSettings.m_Difficulty, 1);
        EXPECT_GE(Opponents(), 1);
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CInstantRacePhaseTest, WithoutOpponentsTheProfilesCraftRacesAlone)
{
    ConfigOverride names("AIProfiles.List.Names", "");
    g_AIProfiles.Load();
    struct Case
    {
        const char* lastCraft;
        const char* expected;
    };
    const std::string first = g_TuberCatalogue.m_Names.FirstNode()->payload.c_str();
    const Case cases[] = {{"Xdrone", "Xdrone"}, {"NoSuchCraft", first.c_str()}, {"", first.c_str()}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.lastCraft);
        m_Profile->m_LastCraft = c.lastCraft;
        Draw(5);
        ASSERT_TRUE(g_InstantRacePhase.m_Started);
        EXPECT_EQ(Opponents(), 0);
        EXPECT_STREQ(g_RaceSettings.GetParticipant(0)->m_CraftKey.c_str(), c.expected);
        EXPECT_TRUE(FadingToTheRace());
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CInstantRacePhaseTest, WithoutAMapOrACraftItRefusesAndReturnsToTheMainMenu)
{
    for (const char* missing : {"map", "craft"})
    {
        SCOPED_TRACE(missing);
        if (std::string(missing) == "map")
            g_MapCatalogue.Clear();
        else
        {
            g_MapCatalogue.Load();
            g_TuberCatalogue.Clear();
        }
        const int32_t denied = Sounds(CMenuPhase::SoundDenied);
        Draw(3);
        Step();
        EXPECT_EQ(Sounds(CMenuPhase::SoundDenied), denied + 1);
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_FALSE(FadingToTheRace());
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CInstantRacePhaseTest, ItWaitsForTheMenuToFadeOutThenFadesIntoTheLoadingScreen)
{
    Start({&g_MenuPhase, &g_MainMenuPhase});
    ASSERT_TRUE(WaitShown("SinglePlayer_Window"));
    SysRandom::Seed(7);
    ASSERT_TRUE(Click("SinglePlayer_InstantRace_Button", false));
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CInstantRacePhase");
    // The menu's windows are still fading out: nothing is drawn yet.
    EXPECT_FALSE(g_UIMain.IsFadeOutDone());
    EXPECT_FALSE(g_InstantRacePhase.m_Started);
    for (int i = 0; i < 120 && !g_InstantRacePhase.m_Started; ++i)
        Step();
    ASSERT_TRUE(g_InstantRacePhase.m_Started);
    EXPECT_TRUE(g_UIMain.IsFadeOutDone());
    ASSERT_TRUE(FadingToTheRace());
    const std::string race = RaceLine();
    for (int i = 0; i < 200 && Stack() != "CLoadMapPhase"; ++i)
    {
        g_ScreenFader.Update();
        Step();
    }
    EXPECT_EQ(Stack(), "CLoadMapPhase");
    EXPECT_EQ(RaceLine(), race);
    // The race would own the map the loading screen began.
    g_PhaseManager.Shutdown();
    delete g_Game.m_Map;
    g_Game.m_Map = nullptr;
}

TEST_F(CInstantRacePhaseTest, EveryVisitDrawsARaceOfItsOwn)
{
    Draw(7);
    const std::string first = RaceLine();
    // Entered again without a new seed: the started flag of the first visit does not stop the second.
    g_PhaseManager.Shutdown();
    ResetFader();
    Start({&g_MenuPhase, &g_InstantRacePhase});
    EXPECT_FALSE(g_InstantRacePhase.m_Started);
    for (int i = 0; i < 120 && !g_InstantRacePhase.m_Started; ++i)
        Step();
    EXPECT_TRUE(g_InstantRacePhase.m_Started);
    EXPECT_TRUE(FadingToTheRace());
    EXPECT_NE(RaceLine(), first);
}
