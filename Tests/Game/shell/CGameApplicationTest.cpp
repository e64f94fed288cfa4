#include "Game/shell/CGameApplication.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAbstractPhase.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/ui/WeFontTable.h"
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/COptionsSettings.h"
#include "Platform/window/WinUser.h"
#include "Tests/support/DebugLineCapture.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// A pass's first phase that runs a few frames, then ends the pass: pass 1 as the intro does (the window's alive
// flag), or by a close as the window manager sends it.
class ProbePhase : public WeAbstractPhase
{
public:
    ProbePhase(int32_t frames, bool close) : m_Frames(frames), m_Close(close) {}
    void Enter() override { ++m_Enters; }
    void Leave() override { ++m_Leaves; }
    void Update() override
    {
        ++m_Updates;
        m_WindowMode = g_Engine.m_Settings.windowMode;
        m_MinimumFrameTime = g_Timer.m_MinimumFrameTime;
        if (m_Updates < m_Frames)
            return;
        if (m_Close)
            PostMessageA(g_Game.m_Window->m_Handle, WM_CLOSE, 0, 0);
        else
            g_Game.m_Window->m_Alive = 0;
    }
    int32_t m_Frames;
    bool m_Close;
    int32_t m_Enters = 0;
    int32_t m_Leaves = 0;
    int32_t m_Updates = 0;
    int32_t m_WindowMode = -1;
    double m_MinimumFrameTime = -1.0;
};

// Each run in a save folder of its own, in a centred window, with the defaults put back afterwards.
class CGameApplicationRun : public ::testing::Test
{
protected:
    CGameApplicationRun() : m_SaveFolder(m_Scratch.Path("data")) {}
    void SetUp() override
    {
        setenv("WE_WINDOW_MODE", "2", 1);
        g_AltF4Pressed = 0;
    }
    void TearDown() override
    {
        unsetenv("WE_WINDOW_MODE");
        g_AltF4Pressed = 0;
        g_GameApplication.SetFirstPhase(1, nullptr);
        g_GameApplication.SetFirstPhase(2, nullptr);
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
    }
    ScratchFolder m_Scratch;
    SaveFolderOverride m_SaveFolder;
};
}  // namespace

TEST(CGameApplication, NameAndDefaultFirstPhases)
{
    EXPECT_STREQ(g_GameApplication.GetName(), "Kestrovane Demo");
    EXPECT_EQ(g_GameApplication.GetFirstPhase(1), &g_IntroPhase);
    EXPECT_EQ(g_GameApplication.GetFirstPhase(2), &g_LoadMenuPhase);
    ProbePhase probe(1, false);
    g_GameApplication.SetFirstPhase(2, &probe);
    EXPECT_EQ(g_GameApplication.GetFirstPhase(2), &probe);
    g_GameApplication.SetFirstPhase(2, nullptr);
    EXPECT_EQ(g_GameApplication.GetFirstPhase(2), &g_LoadMenuPhase);
    EXPECT_EQ(g_GameApplication.GetFirstPhase(3), nullptr);
}

TEST_F(CGameApplicationRun, BothPassesRunOnTheRealDevices)
{
    ProbePhase first(3, false), second(5, true);
    g_GameApplication.SetFirstPhase(1, &first);
    g_GameApplication.SetFirstPhase(2, &second);
    DebugLineCapture lines;
    EXPECT_EQ(g_GameApplication.Run(), 0);
    EXPECT_EQ(first.m_Enters, 1);
    EXPECT_EQ(first.m_Leaves, 1);
    EXPECT_EQ(first.m_Updates, 3);
    EXPECT_EQ(second.m_Enters, 1);
    EXPECT_EQ(second.m_Leaves, 1);
    EXPECT_GE(second.m_Updates, 5);
    EXPECT_TRUE(lines.Contains("pass 1 runs")) << lines.Text();
    EXPECT_TRUE(lines.Contains("pass 2 runs")) << lines.Text();
    // The override's mode reached the engine; the options keep full screen, so no run's mode is ever saved.
    EXPECT_EQ(second.m_WindowMode, 2);
    EXPECT_EQ(g_OptionsSettings.m_WindowMode, 0);
    EXPECT_GE(g_OptionsSettings.m_Reflection, 1);
    EXPECT_DOUBLE_EQ(second.m_MinimumFrameTime, 0.01);
    EXPECT_DOUBLE_EQ(g_Timer.m_MaximumFrameDelta, 0.1);
    EXPECT_EQ(g_FontManager.ready, 1);
    // Everything of the passes is down again.
    EXPECT_EQ(g_Engine.m_Initialised, 0);
    EXPECT_EQ(g_Game.m_Window->m_Handle, nullptr);
    EXPECT_EQ(g_Engine.m_TickCallback, nullptr);
    EXPECT_EQ(g_RenderDevice.m_RenderCallback, nullptr);
    EXPECT_FALSE(g_AudioDevice.IsInitialised());
}

// A close during pass 1 (Alt+F4, the window manager's close) starts no pass 2.
TEST_F(CGameApplicationRun, CloseInPassOneStartsNoPassTwo)
{
    ProbePhase first(2, true), second(1, false);
    g_GameApplication.SetFirstPhase(1, &first);
    g_GameApplication.SetFirstPhase(2, &second);
    EXPECT_EQ(g_GameApplication.Run(), 0);
    EXPECT_EQ(first.m_Enters, 1);
    EXPECT_EQ(first.m_Leaves, 1);
    EXPECT_EQ(second.m_Enters, 0);
    EXPECT_EQ(g_AltF4Pressed, 1);
}

// The user fonts come from the fonts folder only: a name that reaches out of it is skipped.
TEST_F(CGameApplicationRun, UserFontNamesStayInTheFontsFolder)
{
    ProbePhase first(1, false), second(1, true);
    g_GameApplication.SetFirstPhase(1, &first);
    g_GameApplication.SetFirstPhase(2, &second);
    g_GameApplication.SetFontsFolder(m_Scratch.Path("fonts").c_str());
    WeConfigEntry* entry = FindConfigEntry("UI.Fonts.UserFonts");
    const WeString oldText = entry->text;
    const bool oldHasValue = entry->hasValue;
    entry->text = "../escape.ttf,sub/dir.ttf,back\\slash.ttf,missing.ttf";
    entry->hasValue = true;
    entry->ParseText();
    DebugLineCapture lines;
    EXPECT_EQ(g_GameApplication.Run(), 0);
    entry->text = oldText;
    entry->hasValue = oldHasValue;
    entry->ParseText();
    g_GameApplication.SetFontsFolder(WeString());
    EXPECT_TRUE(lines.Contains("\"../escape.ttf\" is not a file name")) << lines.Text();
    EXPECT_TRUE(lines.Contains("\"sub/dir.ttf\" is not a file name"));
    EXPECT_TRUE(lines.Contains("\"back\\slash.ttf\" is not a file name"));
    EXPECT_TRUE(lines.Contains("cannot add the user font"));
    EXPECT_TRUE(g_GameApplication.m_InstalledFonts.IsEmpty());
}
