// The end-of-race screen over what a race left in the participants: the table, the scores of each race type,
// the win or lose picture, the fly-in, BACK and RESTART with their fades and what each keeps loaded, and
// the pause menu's leave-at-once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIText.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CRaceStats.h"
#include "Game/shell/CScreenFader.h"
#include "Game/shell/HudText.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
struct Result
{
    int32_t slot;
    int32_t kind;
    const char* craft;
    const char* name;
    int32_t startPlace;
    int32_t place;
    int32_t kills;
    bool won;
    float raceTime;
    float bestLap;
};

class CEndGamePhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_TuberCatalogue.Load();
        g_RaceStats.LoadPointsTable();
        m_RaceType = g_RaceSettings.m_RaceType;
        m_Instant = g_RaceSettings.m_InstantRace;
        g_EndGamePhase.m_LeaveAtOnce = 0;
        g_EndGamePhase.m_Restarting = 0;
    }
    void TearDown() override
    {
        ScreenTest::TearDown();
        g_RaceSettings.ClearParticipants();
        g_RaceSettings.m_RaceType = m_RaceType;
        g_RaceSettings.m_InstantRace = m_Instant;
        g_EndGamePhase.m_LeaveAtOnce = 0;
        g_EndGamePhase.m_Restarting = 0;
    }
    // Three racers in slots 0, 1 and 3 (slot 2 open), finished in the order 3, 0, 1.
    static void ThreeRacers(bool playerWon)
    {
        const Result results[] = {
            {0, CRaceParticipant::Human, "Falconer", "Ace", 1, 2, 3, playerWon, 95.25f, 30.5f},
            {1, CRaceParticipant::AIHard, "EclosionHunter", "Vex", 2, 3, 0, false, 97.0f, 0.0f},
            {3, CRaceParticipant::AIEasy, "Xdrone", "Mor", 4, 1, 5, false, 91.125f, 29.75f},
        };
        g_RaceSettings.ClearParticipants();
        for (const Result& r : results)
        {
            CRaceParticipant* p = g_RaceSettings.SetParticipant(r.slot, r.kind, r.craft, r.startPlace);
            ASSERT_NE(p, nullptr);
            p->m_DisplayName = r.name;
            p->m_RacePlace = r.place;
            p->m_Kills = r.kills;
            p->m_Won = r.won;
            p->m_RaceTime = r.raceTime;
            p->m_BestLap = r.bestLap;
        }
    }
    static WeUIMultiList* List() { return static_cast<WeUIMultiList*>(g_UIMain.FindComponent("StatisticList")); }
    static std::vector<std::string> Row(int32_t row)
    {
        std::vector<std::string> cells;
        for (int32_t c = 0; c < 8; ++c)
        {
            WeUILabel* cell = List()->GetCell(c, row);
            cells.push_back(cell != nullptr ? cell->m_Text->m_Text.c_str() : "(none)");
        }
        return cells;
    }
    static std::string Time(float seconds)
    {
        WeString text;
        FormatRaceTime(text, seconds, ':');
        return text.c_str();
    }
    static std::string ShipName(const char* key)
    {
        const CTuberDescription* d = g_TuberCatalogue.Find(key);
        return d != nullptr ? d->m_DisplayName.c_str() : "(none)";
    }
    // Fader and frames until the stack reads so, at most five seconds' worth.
    static bool FadeUntil(const std::string& stack)
    {
        for (int i = 0; i < 300 && Stack() != stack; ++i)
        {
            g_ScreenFader.Update();
            Step();
        }
        return Stack() == stack;
    }
    // By name: once released, a texture's address may be reused by one the next screen loads.
    static bool Holds(const WeString& name)
    {
        for (auto* e = g_TextureManager.m_Textures.First(); e != nullptr; e = g_TextureManager.m_Textures.Next())
            if (e->value->m_Name == name)
                return true;
        return false;
    }
    // The fader idle again, then the stack emptied.
    static void Finish()
    {
        for (int i = 0; i < 300 && g_ScreenFader.m_State != CScreenFader::Idle; ++i)
        {
            g_ScreenFader.Update();
            Step();
        }
        g_PhaseManager.Shutdown();
    }
    void Open()
    {
        Start({&g_EndGamePhase});
        ASSERT_TRUE(WaitShown("STATISTICS_RESTART_BUTTON"));
    }

    int32_t m_RaceType = 0;
    bool m_Instant = false;
};
}  // namespace

TEST_F(CEndGamePhaseTest, TheTableHasOneRowPerRacerInRaceOrderWithTheScoresOfItsPlaces)
{
    ThreeRacers(false);
    g_RaceSettings.m_RaceType = CRaceSettings::StandardRace;
    Open();
    ASSERT_EQ(List()->GetRowCount(), 3);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"1", "Mor", ShipName("Xdrone"), "4", "5", Time(91.125f), Time(29.75f),
                                                std::to_string(g_RaceStats.GetPointsForPlace(1))}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"2", "Ace", ShipName("Falconer"), "1", "3", Time(95.25f), Time(30.5f),
                                                std::to_string(g_RaceStats.GetPointsForPlace(2))}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"3", "Vex", ShipName("EclosionHunter"), "2", "0", Time(97.0f),
                                                "--.--.--", std::to_string(g_RaceStats.GetPointsForPlace(3))}));
    EXPECT_EQ(g_RaceStats.GetPointsForPlace(1), 10);
    for (int32_t row = 0; row < 3; ++row)
    {
        const WeUILabel* name = List()->GetCell(1, row);
        for (float channel : name->m_Colour)
            EXPECT_EQ(channel, 1.0f);
    }
    EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_Score, 10);
    EXPECT_EQ(g_UIShowCursor, 1);
}

TEST_F(CEndGamePhaseTest, EachRaceTypeScoresItsWayAndShowsTheWinOrLosePicture)
{
    struct Case
    {
        const char* what;
        int32_t raceType;
        bool playerWon;
        int32_t scores[3];  // slots 0, 1, 3
        const char* picture;
    };
    const Case cases[] = {
        {"standard race lost", CRaceSettings::StandardRace, false, {6, 4, 10}, "Textures.Statistics.YouLose"},
        {"last one won", 2, true, {6, 4, 10}, "Textures.Statistics.YouWin"},
        {"time trial won", CRaceSettings::TimeTrial, true, {10, 0, 0}, "Textures.Statistics.YouWin"},
        {"time trial lost", CRaceSettings::TimeTrial, false, {0, 0, 0}, "Textures.Statistics.YouLose"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ThreeRacers(c.playerWon);
        g_RaceSettings.m_RaceType = c.raceType;
        Open();
        EXPECT_EQ(g_RaceSettings.GetParticipant(0)->m_Score, c.scores[0]);
        EXPECT_EQ(g_RaceSettings.GetParticipant(1)->m_Score, c.scores[1]);
        EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_Score, c.scores[2]);
        ASSERT_NE(g_EndGamePhase.m_ResultPicture, nullptr);
        EXPECT_EQ(g_EndGamePhase.m_ResultPicture, g_TextureManager.GetTexture(c.picture, false, 0, false));
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CEndGamePhaseTest, TheListFliesDownToItsPlaceOrSnapsToItFromBelow)
{
    ThreeRacers(false);
    const float end = 200.0f / 768.0f;
    {
        ConfigOverride start("UI.Statistic.MapStatStartY", "0");
        Start({&g_EndGamePhase});
        EXPECT_FLOAT_EQ(g_EndGamePhase.m_ListY, 0.0f);
        int frames = 0;
        while (g_EndGamePhase.m_ListY < end && frames < 100)
        {
            Step();
            ++frames;
        }
        // 200 / 768 at 2 heights a second: 0.13 s, the eighth frame of 1/60 s.
        EXPECT_EQ(frames, 8);
        EXPECT_FLOAT_EQ(g_EndGamePhase.m_ListY, end);
        EXPECT_FLOAT_EQ(List()->m_Y, end);
        g_PhaseManager.Shutdown();
    }
    {
        ConfigOverride start("UI.Statistic.MapStatStartY", "500");
        Start({&g_EndGamePhase});
        EXPECT_FLOAT_EQ(g_EndGamePhase.m_ListY, 500.0f / 768.0f);
        Step();
        EXPECT_FLOAT_EQ(g_EndGamePhase.m_ListY, end);
    }
}

TEST_F(CEndGamePhaseTest, BackFadesToTheSetUpOrAfterAnInstantRaceToTheMainMenu)
{
    struct Case
    {
        const char* what;
        bool instant;
        bool escape;
        const char* stack;
    };
    const Case cases[] = {
        {"BACK", false, false, "CMenuPhase CSingleRacePhase"},
        {"Escape", false, true, "CMenuPhase CSingleRacePhase"},
        {"BACK after an instant race", true, false, "CMenuPhase CMainMenuPhase"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ThreeRacers(true);
        g_RaceSettings.m_InstantRace = c.instant;
        Open();
        const int32_t backs = Sounds(CMenuPhase::SoundBack);
        if (c.escape)
            Press(1);
        else
            ASSERT_TRUE(Click("STATISTICS_BACK_BUTTON"));
        EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs + 1);
        ASSERT_TRUE(FadeUntil(c.stack));
        EXPECT_EQ(g_UIMain.FindComponent("StatisticList"), nullptr);
        EXPECT_EQ(g_UIMain.FindComponent("STATISTICS_BACK_BUTTON"), nullptr);
        Finish();
    }
}

TEST_F(CEndGamePhaseTest, RestartResetsTheResultsAndKeepsWhoRaces)
{
    ThreeRacers(true);
    Open();
    ASSERT_TRUE(Click("STATISTICS_RESTART_BUTTON"));
    // Escape, BACK and RESTART again while the restart's fade runs change nothing.
    const int32_t backs = Sounds(CMenuPhase::SoundBack);
    Press(1);
    ASSERT_TRUE(Click("STATISTICS_BACK_BUTTON"));
    ASSERT_TRUE(Click("STATISTICS_RESTART_BUTTON"));
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
    for (int i = 0; i < 300 && g_EndGamePhase.m_Restarting == 0; ++i)
    {
        g_ScreenFader.Update();
        Step();
    }
    EXPECT_EQ(g_EndGamePhase.m_Restarting, 1);
    Step();
    EXPECT_NE(Stack(), "CEndGamePhase");
    EXPECT_NE(Stack(), "CMenuPhase CSingleRacePhase");
    for (int32_t slot : {0, 1, 3})
    {
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        EXPECT_TRUE(p->IsRacing());
        EXPECT_EQ(p->m_RacePlace, 0);
        EXPECT_EQ(p->m_Kills, 0);
        EXPECT_FALSE(p->m_Won);
        EXPECT_EQ(p->m_RaceTime, 0.0f);
        EXPECT_EQ(p->m_BestLap, 0.0f);
        EXPECT_EQ(p->m_Score, 0);
    }
    EXPECT_STREQ(g_RaceSettings.GetParticipant(0)->m_DisplayName.c_str(), "Ace");
    EXPECT_STREQ(g_RaceSettings.GetParticipant(3)->m_CraftKey.c_str(), "Xdrone");
    EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_StartPlace, 4);
}

TEST_F(CEndGamePhaseTest, RestartKeepsTheLoadedResourcesBackReleasesTheNonPersistentOnes)
{
    // RESTART last: the loading screen it hands over to is not undone by the stack's shutdown.
    for (bool restart : {false, true})
    {
        SCOPED_TRACE(restart ? "RESTART" : "BACK");
        ThreeRacers(false);
        // A map the loading screen can open, so that it goes on loading instead of giving up.
        g_RaceSettings.m_MapName = "_TestRace";
        WeTexture* loadedTexture = g_TextureManager.GetTexture("Textures.Statistics.YouWin", false, 0, false);
        ASSERT_NE(loadedTexture, nullptr);
        const int32_t before = g_TextureManager.m_Textures.Count();
        Open();
        ASSERT_NE(g_EndGamePhase.m_ResultPicture, nullptr);
        const WeString loaded = loadedTexture->m_Name;
        const WeString shown = g_EndGamePhase.m_ResultPicture->m_Name;
        EXPECT_TRUE(Holds(loaded));
        if (restart)
        {
            g_EndGamePhase.m_Restarting = 1;
            g_PhaseManager.RequestPhase(&g_RestartPhase, WePhaseManager::ChangeRequest);
        }
        else
            g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
        Step();
        // The race's textures stand in for every non-persistent resource of the three managers.
        EXPECT_EQ(Holds(loaded), restart);
        EXPECT_EQ(Holds(shown), restart);
        if (restart)
        {
            EXPECT_GE(g_TextureManager.m_Textures.Count(), before);
        }
        Finish();
        g_EndGamePhase.m_Restarting = 0;
        // The loading screen hands its map to the race, which never came: it is the test's to delete.
        delete g_Game.m_Map;
        g_Game.m_Map = nullptr;
    }
}

TEST_F(CEndGamePhaseTest, LeaveAtOnceFadesBackAsSoonAsItEntersWithTheRaceScored)
{
    ThreeRacers(false);
    g_EndGamePhase.m_LeaveAtOnce = 1;
    Start({&g_EndGamePhase});
    EXPECT_EQ(g_ScreenFader.m_State, CScreenFader::FadingIn);
    EXPECT_EQ(g_RaceSettings.GetParticipant(3)->m_Score, 10);
    const int32_t backs = Sounds(CMenuPhase::SoundBack);
    Press(1);
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs);
    ASSERT_TRUE(FadeUntil("CMenuPhase CSingleRacePhase"));
    EXPECT_EQ(g_EndGamePhase.m_LeaveAtOnce, 0);
}
