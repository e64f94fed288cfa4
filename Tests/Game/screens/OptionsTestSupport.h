#pragma once
// The options screens on the screen fixture: a current profile, default options kept apart from other tests,
// a stand-in for the race under the pause menu, and a frame in the engine's own order (the input poll's
// edges, then the UI's events, then the phases) for what reads input edges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIText.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CInGameMenuPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/COptionsAudioPhase.h"
#include "Game/screens/COptionsInputPhase.h"
#include "Game/screens/COptionsPhase.h"
#include "Game/screens/COptionsVideoPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

// Holds the race's place on the stack under the pause menu; the race phase itself needs a map.
class RaceStandIn : public WeAbstractPhase
{
};

class OptionsScreenTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        m_Options = g_OptionsSettings;
        g_OptionsSettings = COptionsSettings();
        m_Profile = g_ProfileManager.Create("Ace");
        g_ProfileManager.SetCurrent(m_Profile);
        m_RaceState = g_PlayGamePhase.m_RaceState;
        m_InRace = g_PlayGamePhase.m_InRace;
        g_ConfirmationPhase.m_ResultCallback = nullptr;
    }
    void TearDown() override
    {
        ScreenTest::TearDown();
        g_OptionsSettings = m_Options;
        g_PlayGamePhase.m_RaceState = m_RaceState;
        g_PlayGamePhase.m_InRace = m_InRace;
        g_ConfirmationPhase.m_ResultCallback = nullptr;
    }
    // The options from the main menu, the video screen shown.
    void OpenFromMainMenu()
    {
        Start({&g_MenuPhase, &g_MainMenuPhase});
        ASSERT_TRUE(WaitShown("MainMenu_Options_Button"));
        ASSERT_TRUE(Click("MainMenu_Options_Button"));
        ASSERT_TRUE(WaitShown("VideoOptions_BackButton"));
    }
    // A racing race paused under the pause menu.
    void OpenPauseMenu()
    {
        g_PlayGamePhase.m_InRace = 1;
        g_PlayGamePhase.m_RaceState = CPlayGamePhase::Racing;
        Start({&m_Race, &g_InGameMenuPhase});
        ASSERT_TRUE(WaitShown("PLAYGAME_OPTIONS_BUTTON"));
    }
    // The stack with the stand-in named.
    std::string Stack() const
    {
        std::string out;
        for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
        {
            const WeAbstractPhase* p = g_PhaseManager.GetPhaseAt(i);
            out += std::string(i ? " " : "") + (p == &m_Race ? "Race" : GetPhaseClassName(p));
        }
        return out;
    }
    static bool Active(const char* name)
    {
        const WeUIComponent* c = g_UIMain.FindComponent(name);
        return c != nullptr && c->m_Opacity == 1.0f && c->m_InputEnabled != 0;
    }
    static bool Dimmed(const char* name)
    {
        const WeUIComponent* c = g_UIMain.FindComponent(name);
        return c != nullptr && c->m_Opacity == 0.5f && c->m_InputEnabled == 0;
    }
    template <typename T>
    static T* Find(const char* name)
    {
        return static_cast<T*>(g_UIMain.FindComponent(name));
    }
    // Chooses an item as a click on the list would: the selection, then the change callback.
    static void Choose(const char* combo, int32_t index)
    {
        auto* c = Find<WeUIComboBox>(combo);
        ASSERT_NE(c, nullptr) << combo;
        ASSERT_NE(c->GetItem(index), nullptr) << combo << " " << index;
        c->SetSelectedIndex(index, -1);
        if (c->m_OnChange != nullptr)
            c->m_OnChange(c);
        Step();
    }
    static std::vector<std::string> Items(const char* combo)
    {
        std::vector<std::string> items;
        auto* c = Find<WeUIComboBox>(combo);
        for (int32_t i = 0; c != nullptr && i < c->GetItemCount(); ++i)
            items.push_back(c->GetItem(i)->m_Text->m_Text.c_str());
        return items;
    }
    static std::string ShownText(const char* combo)
    {
        auto* c = Find<WeUIComboBox>(combo);
        return c != nullptr ? c->m_Text->m_Text.c_str() : "(none)";
    }
    // What a fresh start would load from the save folder.
    static COptionsSettings LoadedOptions()
    {
        COptionsSettings loaded;
        loaded.Load();
        return loaded;
    }

    // One frame in the engine's order: the edges the poll found, the UI's events, the phases, the UI's tick.
    static void EngineStep(int32_t edge = -1, int32_t down = -1)
    {
        g_PhaseManager.ProcessRequests();
        if (edge >= 0)
        {
            g_Input.m_Edges[edge] = 1;
            ++g_Input.m_PendingEdges;
        }
        if (down >= 0)
            g_Input.m_Down[down] = 1;
        g_UIMain.ProcessEvents();
        g_PhaseManager.Tick();
        g_UIMain.Tick();
        ClearInput();
    }
    // A left click as the devices report it: the button held for two frames, its release edge in the frame
    // whose UI events carry the release.
    static bool EngineClick(const char* name)
    {
        WeUIComponent* c = g_UIMain.FindComponent(name);
        if (c == nullptr)
            return false;
        const int32_t x = c->GetScreenX() + c->m_PixelWidth / 2;
        const int32_t y = c->GetScreenY() + c->m_PixelHeight / 2;
        const int32_t button = WeInput::MouseButtonBase;
        g_UIMain.PostMouseMove(x, y, 0);
        EngineStep();
        g_UIMain.PostMouseDown(0);
        EngineStep(-1, button);
        EngineStep(-1, button);
        g_UIMain.PostMouseUp(0);
        EngineStep(button);
        return true;
    }
    // A key pressed (its edge) and released, in the engine's order.
    static void EngineKey(int32_t code)
    {
        g_UIMain.PostKeyDown(code);
        EngineStep(code, code);
        g_UIMain.PostKeyUp(code);
        EngineStep();
    }

    RaceStandIn m_Race;
    COptionsSettings m_Options;
    CProfile* m_Profile = nullptr;
    int32_t m_RaceState = 0;
    uint8_t m_InRace = 0;
};
