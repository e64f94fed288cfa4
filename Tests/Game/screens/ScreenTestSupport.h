#pragma once
// One fixture for the front-end screens: the UI manager over the recording device at 1024 x 768, the shipped
// pack's layout and texts, the phase stack ticked a frame at a time on a clock that moves exactly one 1/60 s
// step a frame (game time is the frame count times the step), the save folder in a scratch folder, and the
// player's mouse and keys posted to the UI and the input device as the game's poll posts them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeFixedStep.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"
#include "Tests/Engine/ui/UITestSupport.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

class ScreenTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        m_Save = new SaveFolderOverride(m_Scratch.Root().string());
        std::filesystem::create_directories(SaveFolderOverride::SaveFolder(m_Scratch.Root().string()));
        g_Localization.Load();
        g_ProfileManager.Clear();
        FixedStep().Configure(FrameSeconds);
        FixedStep().StartClock();
        if (g_Game.m_Window != nullptr)
            g_Game.m_Window->m_Alive = 1;
        ClearInput();
        for (int32_t& n : g_MenuPhase.m_SoundsPlayed)
            n = 0;
    }
    void TearDown() override
    {
        g_PhaseManager.Shutdown();
        g_ProfileManager.Clear();
        if (g_Game.m_Window != nullptr)
            g_Game.m_Window->m_Alive = 0;
        ClearInput();
        FixedStep().Restore();
        delete m_Save;
        m_Save = nullptr;
        UIRenderTest::TearDown();
    }
    static void ClearInput()
    {
        for (uint8_t& e : g_Input.m_Edges)
            e = 0;
        for (uint8_t& d : g_Input.m_Down)
            d = 0;
        g_Input.m_PendingEdges = 0;
    }

    // The stack from the bottom, made of fresh requests.
    static void Start(std::initializer_list<WeAbstractPhase*> phases)
    {
        bool first = true;
        for (WeAbstractPhase* p : phases)
        {
            g_PhaseManager.RequestPhase(p, first ? WePhaseManager::ChangeRequest : WePhaseManager::PushRequest);
            first = false;
        }
        g_PhaseManager.ProcessRequests();
    }
    static constexpr double FrameSeconds = 1.0 / 60.0;
    // The one stepped clock of every screen test; SetUp starts it with one frame gone.
    static WeFixedStep& FixedStep()
    {
        static WeFixedStep fixedStep;
        return fixedStep;
    }
    // The game time after `frames` more frames, as the stepped clock measures it.
    static double TimeAfter(int frames)
    {
        return g_Timer.m_TotalTime + double(frames) * double(WeSteppedClock(FrameSeconds).StepTicks()) /
                                         double(WeSteppedClock::TicksPerSecond);
    }
    // One game frame: the clock one step on, the requests of the last frame, the phases, then the UI's events
    // and fades.
    static void Step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
        {
            FixedStep().Advance();
            g_Timer.FrameTick();
            g_PhaseManager.ProcessRequests();
            g_PhaseManager.Tick();
            g_UIMain.ProcessEvents();
            g_UIMain.Tick();
            ClearInput();
        }
    }
    static std::string Stack()
    {
        std::string out;
        for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
            out += std::string(i ? " " : "") + GetPhaseClassName(g_PhaseManager.GetPhaseAt(i));
        return out;
    }
    // Present, visible and fully faded in, with every widget it lies in.
    static bool Shown(const char* name)
    {
        const WeUIComponent* c = g_UIMain.FindComponent(name);
        if (c == nullptr)
            return false;
        for (; c != nullptr && c != static_cast<const WeUIComponent*>(g_UIMain.m_Root); c = c->m_Parent)
            if (!c->m_Visible || c->m_FadeDirection != 0 || c->m_Alpha < 0.999)
                return false;
        return c != nullptr;
    }
    // Frames until the widget is shown, at most two seconds' worth.
    static bool WaitShown(const char* name)
    {
        for (int i = 0; i < 120 && !Shown(name); ++i)
            Step();
        return Shown(name);
    }
    // Long enough for every window's fade to end.
    static void Settle() { Step(60); }
    static bool Visible(const char* name)
    {
        const WeUIComponent* c = g_UIMain.FindComponent(name);
        return c != nullptr && c->m_Visible;
    }
    // Onto the widget's centre, the left button down and up a few frames apart; false without the widget.
    static bool Click(const char* name, bool settle = true)
    {
        WeUIComponent* c = g_UIMain.FindComponent(name);
        if (c == nullptr)
            return false;
        const int32_t x = c->GetScreenX() + c->m_PixelWidth / 2;
        const int32_t y = c->GetScreenY() + c->m_PixelHeight / 2;
        g_UIMain.PostMouseMove(x, y, 0);
        Step();
        g_UIMain.PostMouseDown(0);
        Step(2);
        g_UIMain.PostMouseUp(0);
        Step();
        if (settle)
            Step();
        return true;
    }
    // A key (DirectInput code) pressed and released: the edge the phases consume and the UI's key events.
    static void Press(int32_t key)
    {
        g_Input.m_Edges[key] = 1;
        ++g_Input.m_PendingEdges;
        g_UIMain.PostKeyDown(key);
        Step();
        g_UIMain.PostKeyUp(key);
        Step();
    }
    // A key (DirectInput code) held down for `frames` frames, as the device reports a held key: the press edge
    // and the UI's key down on the first, the key down through every one (`afterFrame` looks after each), then
    // released for one frame.
    static void Hold(int32_t key, int frames, const std::function<void(int)>& afterFrame = nullptr)
    {
        for (int i = 0; i < frames; ++i)
        {
            if (i == 0)
            {
                g_Input.m_Edges[key] = 1;
                ++g_Input.m_PendingEdges;
                g_UIMain.PostKeyDown(key);
            }
            g_Input.m_Down[key] = 1;
            Step();
            if (afterFrame)
                afterFrame(i);
        }
        g_UIMain.PostKeyUp(key);
        Step();
    }
    // Characters typed into the focused widget.
    static void Type(const char* text)
    {
        for (const char* at = text; *at != 0; ++at)
            g_UIMain.PostKeyDown(-int32_t(static_cast<unsigned char>(*at)));
        Step();
    }
    static int32_t Sounds(int32_t kind) { return g_MenuPhase.m_SoundsPlayed[kind]; }
    std::string SaveFile() const
    {
        std::ifstream in(SaveFolderOverride::SaveFolder(m_Scratch.Root().string()) + "/" + CProfileManager::FileName,
                         std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    ScratchFolder m_Scratch;
    SaveFolderOverride* m_Save = nullptr;
};
