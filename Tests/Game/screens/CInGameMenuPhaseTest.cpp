// The pause menu over a running race on the race rig: Escape in and out with the race state kept, the three
// questions answered no, and a yes to each of RESTART, QUIT RACE and EXIT GAME followed to where it leads.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Game/craft/CTuber.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CEndGamePhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/screens/CRestartPhase.h"
#include "Game/screens/CSingleRacePhase.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CStartLocation.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/input/InputFeed.h"
#include "Platform/window/WinUser.h"
#include "Tests/Game/shell/RaceTestSupport.h"

namespace
{
class CInGameMenuPhaseTest : public RaceFixture
{
protected:
    void StartRacing()
    {
        RaceRigOptions options = RaceTestOptions();
        // A map of the map folder, so that a restart's loading screen can load it again.
        options.mapDescription.clear();
        options.map = "_TestRace";
        StartRace(options);
        RunToState(CPlayGamePhase::Racing);
        ASSERT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Racing);
        rig->Tick(30);
    }
    void Escape()
    {
        rig->KeyDown(DIK_ESCAPE);
        rig->Tick();
        rig->KeyUp(DIK_ESCAPE);
        rig->Tick(4);
    }
    void Pause()
    {
        Escape();
        ASSERT_EQ(g_PhaseManager.GetTopPhase(), &g_InGameMenuPhase);
        rig->Tick(40);
    }
    // The cursor onto the widget's centre, the left button down and up through the input layer's feed, so
    // that the input device's poll hands them to the UI as the game's does.
    bool Click(const char* name)
    {
        WeUIComponent* c = g_UIMain.FindComponent(name);
        if (c == nullptr || g_Engine.m_Window == nullptr)
            return false;
        POINT at = {c->GetScreenX() + c->m_PixelWidth / 2, c->GetScreenY() + c->m_PixelHeight / 2};
        ClientToScreen(g_Engine.m_Window->m_Handle, &at);
        SetCursorPos(at.x, at.y);
        rig->Tick(2);
        SDL_Event e;
        std::memset(&e, 0, sizeof(e));
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
        InputFeedEvent(e);
        rig->Tick(3);
        e.type = SDL_MOUSEBUTTONUP;
        e.button.state = SDL_RELEASED;
        InputFeedEvent(e);
        rig->Tick(4);
        return true;
    }
    bool Answer(const char* button, const char* answer)
    {
        if (!Click(button))
            return false;
        if (g_PhaseManager.GetTopPhase() != &g_ConfirmationPhase)
            return false;
        rig->Tick(40);
        return Click(answer);
    }
    // Ticks until the top phase is the one given (at most the seconds given), with every top seen on the way.
    bool RunToTop(const WeAbstractPhase* phase, double seconds = 10.0)
    {
        return rig->RunUntil(
            [&]
            {
                const char* name = GetPhaseClassName(g_PhaseManager.GetTopPhase());
                if (m_Tops.empty() || m_Tops.back() != name)
                    m_Tops.push_back(name);
                if (g_PlayGamePhase.m_InRace && g_PlayGamePhase.m_RaceOver)
                    m_StatesDuringExit.push_back(g_PlayGamePhase.m_RaceState);
                return g_PhaseManager.GetTopPhase() == phase;
            },
            seconds);
    }
    static std::string Stack()
    {
        std::string out;
        for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
            out += std::string(i ? " " : "") + GetPhaseClassName(g_PhaseManager.GetPhaseAt(i));
        return out;
    }
    static bool MenuActive()
    {
        const WeUIComponent* c = g_UIMain.FindComponent("IN_GAME_MENU");
        return c != nullptr && c->m_Opacity == 1.0f && c->m_InputEnabled != 0 && c->m_Visible;
    }
    bool Seen(const char* name) const
    {
        for (const std::string& t : m_Tops)
            if (t == name)
                return true;
        return false;
    }

    std::vector<std::string> m_Tops;
    std::vector<int32_t> m_StatesDuringExit;
};
}  // namespace

TEST_F(CInGameMenuPhaseTest, EscapePausesTheRaceAndEscapeAgainResumesItInItsState)
{
    StartRacing();
    const float clock = g_PlayGamePhase.m_RaceClock;
    Pause();
    EXPECT_EQ(Stack(), "CPlayGamePhase CInGameMenuPhase");
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Paused);
    EXPECT_EQ(g_PlayGamePhase.m_SavedRaceState, CPlayGamePhase::Racing);
    EXPECT_EQ(g_Engine.m_PhysicsPaused, 1);
    EXPECT_EQ(g_UIShowCursor, 1);
    // The race clock stands while paused.
    const float paused = g_PlayGamePhase.m_RaceClock;
    rig->Tick(30);
    EXPECT_EQ(g_PlayGamePhase.m_RaceClock, paused);
    EXPECT_GE(paused, clock);
    Escape();
    EXPECT_EQ(Stack(), "CPlayGamePhase");
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Racing);
    rig->Tick(3);
    EXPECT_EQ(g_Engine.m_PhysicsPaused, 0);
    EXPECT_GT(g_PlayGamePhase.m_RaceClock, paused);
    // RESUME does the same.
    Pause();
    ASSERT_TRUE(Click("PLAYGAME_RESUME_BUTTON"));
    EXPECT_EQ(Stack(), "CPlayGamePhase");
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Racing);
}

TEST_F(CInGameMenuPhaseTest, NoToEachQuestionGivesBackTheFullPauseMenu)
{
    StartRacing();
    Pause();
    for (const char* button : {"PLAYGAME_RESTART_BUTTON", "PLAYGAME_BACK_BUTTON", "PLAYGAME_EXIT_BUTTON"})
    {
        SCOPED_TRACE(button);
        ASSERT_TRUE(Click(button));
        ASSERT_EQ(g_PhaseManager.GetTopPhase(), &g_ConfirmationPhase);
        const WeUIComponent* menu = g_UIMain.FindComponent("IN_GAME_MENU");
        EXPECT_EQ(menu->m_Opacity, 0.5f);
        EXPECT_EQ(menu->m_InputEnabled, 0);
        rig->Tick(40);
        ASSERT_TRUE(Click("Confirmation_No_Button"));
        rig->Tick(2);
        EXPECT_EQ(Stack(), "CPlayGamePhase CInGameMenuPhase");
        EXPECT_TRUE(MenuActive());
        EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Paused);
        EXPECT_EQ(g_PlayGamePhase.m_RaceOver, 0);
    }
}

TEST_F(CInGameMenuPhaseTest, OptionsHideTheMenuAndTheirBackShowsItAgain)
{
    StartRacing();
    Pause();
    ASSERT_TRUE(Click("PLAYGAME_OPTIONS_BUTTON"));
    rig->Tick(40);
    EXPECT_EQ(Stack(), "CPlayGamePhase CInGameMenuPhase COptionsPhase COptionsVideoPhase");
    EXPECT_FALSE(g_UIMain.FindComponent("IN_GAME_MENU")->m_Visible);
    ASSERT_TRUE(Click("VideoOptions_BackButton"));
    rig->Tick(40);
    EXPECT_EQ(Stack(), "CPlayGamePhase CInGameMenuPhase");
    EXPECT_TRUE(MenuActive());
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Paused);
}

TEST_F(CInGameMenuPhaseTest, AConfirmedRestartShowsTheLoadingViewNextAndPutsEachCraftOnItsStartAgain)
{
    StartRacing();
    Pause();
    ASSERT_TRUE(Answer("PLAYGAME_RESTART_BUTTON", "Confirmation_Yes_Button"));
    EXPECT_EQ(g_PlayGamePhase.m_Restart, 1);
    EXPECT_EQ(g_EndGamePhase.m_Restarting, 1);
    ASSERT_TRUE(RunToTop(&g_LoadMapPhase));
    EXPECT_FALSE(Seen("CEndGamePhase"));
    EXPECT_STREQ(g_RaceSettings.m_MapName.c_str(), "_TestRace");
    EXPECT_EQ(g_RaceSettings.GetParticipant(0)->m_RacePlace, 0);
    EXPECT_EQ(g_RaceSettings.GetParticipant(0)->m_Kind, CRaceParticipant::Human);

    // The race again, once the map loaded and a key was pressed: each craft stands on a start location of its
    // start place again.
    ASSERT_TRUE(rig->RunUntil([] { return g_LoadMapPhase.m_Step >= CLoadMapPhase::StepWaitingForKey; }, 20.0));
    rig->KeyDown(DIK_SPACE);
    rig->Tick(2);
    rig->KeyUp(DIK_SPACE);
    ASSERT_TRUE(RunToTop(&g_PlayGamePhase));
    rig->Tick(1);
    ASSERT_NE(g_Game.m_Map, nullptr);
    int32_t placed = 0;
    for (int32_t slot = 0; slot < 2; ++slot)
    {
        SCOPED_TRACE(slot);
        const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
        ASSERT_NE(p->m_Craft, nullptr);
        for (auto* e = g_Game.m_Map->GetActors().First(); e != nullptr; e = g_Game.m_Map->GetActors().Next())
        {
            if (e->value->m_Type != CStartLocation::TypeCode)
                continue;
            auto* start = static_cast<CStartLocation*>(e->value);
            if (start->m_TakenBy != p->m_Craft)
                continue;
            ++placed;
            EXPECT_EQ(start->m_StartIndex, p->m_StartPlace);
            const D3DXVECTOR3 d = p->m_Craft->GetWorldPosition() - start->GetWorldPosition();
            EXPECT_LT(d.x * d.x + d.y * d.y + d.z * d.z, 1.0f);
        }
    }
    EXPECT_EQ(placed, 2);
}

TEST_F(CInGameMenuPhaseTest, AConfirmedQuitPassesThroughTheStatisticsWhichFadeOutAtOnce)
{
    StartRacing();
    Pause();
    ASSERT_TRUE(Answer("PLAYGAME_BACK_BUTTON", "Confirmation_Yes_Button"));
    // The race is finished for the rest of its exit fade: the pause menu's leave keeps that state.
    EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Finished);
    EXPECT_EQ(g_PlayGamePhase.m_FinishReason, 1);
    ASSERT_TRUE(RunToTop(&g_SingleRacePhase, 15.0));
    EXPECT_TRUE(Seen("CEndGamePhase"));
    ASSERT_FALSE(m_StatesDuringExit.empty());
    for (int32_t state : m_StatesDuringExit)
        EXPECT_EQ(state, CPlayGamePhase::Finished);
    EXPECT_EQ(Stack(), "CMenuPhase CSingleRacePhase");
    EXPECT_EQ(g_EndGamePhase.m_LeaveAtOnce, 0);
}

TEST_F(CInGameMenuPhaseTest, AConfirmedExitEndsAtTheBuyScreenThroughTheRacesLeave)
{
    StartRacing();
    Pause();
    ASSERT_TRUE(Answer("PLAYGAME_EXIT_BUTTON", "Confirmation_Yes_Button"));
    rig->Tick(2);
    EXPECT_EQ(Stack(), "CBuyScreenPhase");
    EXPECT_EQ(g_PlayGamePhase.m_InRace, 0);
}
