#include "Game/shell/CGameGlobals.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Engine/runtime/WeSoundStream.h"
#include "Engine/ui/WeFont.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceSettings.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/window/WinInputScript.h"
#include "Platform/window/WinUser.h"
#include "Tests/support/ConfigOverride.h"

#include <gtest/gtest.h>

namespace
{
constexpr int32_t OggType = 16;

// The game window on the offscreen driver and the real audio device on OpenAL Soft's null driver.
class CGameGlobalsDevices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_Game.m_Window->Create("Kestrovane Demo", "Kestrovane Demo", nullptr, 102, 102, 320, 240, 0, 0,
                                            true, true, true, false, false, false, nullptr));
        ASSERT_TRUE(g_AudioDevice.Init());
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
    }
    void TearDown() override
    {
        g_AudioDevice.StopMusic();
        g_AudioDevice.Shutdown();
        g_Game.m_Window->Destroy();
        g_Game.m_MusicKind = CGameGlobals::NoMusic;
    }
    // A focus change as the window manager sends it, through SDL's queue and the pump.
    void Focus(bool gained)
    {
        WinInputScript script;
        std::string error;
        ASSERT_TRUE(script.Parse(gained ? "0 focus gained" : "0 focus lost", "focus", error)) << error;
        script.Play(0, g_Game.m_Window->m_Handle);
        g_Game.m_Window->PumpMessages();
    }
    static bool Looping()
    {
        WeSoundStream* music = g_AudioDevice.GetMusic();
        return music != nullptr && music->GetDecoder() != nullptr && music->GetDecoder()->GetLoop();
    }
};
}  // namespace

TEST(CGameGlobals, ConstructedBeforeMainWithItsCameraAndWindow)
{
    EXPECT_NE(g_Game.m_Window, nullptr);
    EXPECT_NE(g_Game.m_Camera, nullptr);
    EXPECT_EQ(g_Game.m_ShowFrameRate, 0);
    EXPECT_EQ(g_Game.m_PlayerTuber, nullptr);
    EXPECT_EQ(g_Game.m_Map, nullptr);
}

TEST(CGameGlobalsMusic, NameTable)
{
    ConfigOverride world("Maps.Worlds.Music:Gnosis", "Gnosis Song.ogg");
    ConfigOverride race("Maps.Test Track.RaceMusic", "Race.ogg.bak");
    ConfigOverride stat("Maps.Test Track.StatMusic", "Standings");
    const WeString gnosis("Gnosis"), track("Test Track"), none;
    struct Case
    {
        int32_t kind;
        const WeString& world;
        const WeString& map;
        const char* name;
    };
    const Case cases[] = {
        {1, none, none, "Sounds.Music.IG_Menu Theme"},
        {2, gnosis, none, "Sounds.Music.Gnosis Song"},
        {2, track, none, ""},  // a world without its key
        {3, none, track, "Sounds.Music.Race"},
        {3, none, gnosis, ""},  // a map without its key
        {4, none, track, "Sounds.Music.Standings"},
        {5, none, none, "Sounds.Music.IG_Credits Theme"},
        {6, none, none, "Sounds.Music.IG_Extra Theme"},
        {0, none, none, ""},
        {7, none, none, ""},
        {-1, none, none, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CGameGlobals::GetMusicName(c.kind, c.world, c.map).c_str(), c.name) << c.kind;
}

// Each fixed theme the game asks for is in the pack.
TEST(CGameGlobalsMusic, EveryFixedThemeIsPacked)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded()) << "no Packages.dat beside the tests";
    for (int32_t kind : {CGameGlobals::MenuMusic, CGameGlobals::CreditsMusic, CGameGlobals::ExtraMusic})
    {
        const WeString name = CGameGlobals::GetMusicName(kind, WeString(), WeString());
        EXPECT_TRUE(pack->Exists(name, OggType)) << name.c_str();
    }
}

TEST_F(CGameGlobalsDevices, PlayMusicKinds)
{
    SetForegroundWindow(g_Game.m_Window->m_Handle);
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
    EXPECT_EQ(g_Game.m_MusicKind, 1);
    EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
    EXPECT_TRUE(Looping());

    // The current kind again does nothing, even after the music was stopped.
    g_AudioDevice.StopMusic();
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
    EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());

    // The credits play once.
    g_Game.PlayMusic(CGameGlobals::CreditsMusic);
    EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
    EXPECT_FALSE(Looping());
    g_Game.PlayMusic(CGameGlobals::ExtraMusic);
    EXPECT_TRUE(Looping());

    // A race map without its music key stops the music.
    const WeString savedMap = g_RaceSettings.m_MapName;
    g_RaceSettings.m_MapName = "No Such Map";
    g_Game.PlayMusic(CGameGlobals::RaceMusic);
    EXPECT_EQ(g_Game.m_MusicKind, 3);
    EXPECT_FALSE(g_AudioDevice.IsMusicPlaying());
    g_RaceSettings.m_MapName = savedMap;

    // Started while the window is not in front, the music is paused at once.
    Focus(false);
    ASSERT_FALSE(g_Game.IsWindowInFront());
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
    EXPECT_TRUE(g_AudioDevice.IsMusicPaused());
}

// Losing and regaining the focus any number of times leaves the pause count at 0 and the music playing.
TEST_F(CGameGlobalsDevices, FocusPausesOnceAndResumes)
{
    Focus(true);
    ASSERT_TRUE(g_Game.IsWindowInFront());
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
    ASSERT_TRUE(g_AudioDevice.IsMusicPlaying());
    for (int32_t round = 0; round < 5; ++round)
    {
        Focus(false);
        g_Game.Tick();
        g_Game.Tick();
        EXPECT_EQ(g_AudioDevice.GetPauseCount(), 1) << round;
        EXPECT_TRUE(g_AudioDevice.IsMusicPaused()) << round;
        Focus(true);
        g_Game.Tick();
        g_Game.Tick();
        EXPECT_EQ(g_AudioDevice.GetPauseCount(), 0) << round;
        EXPECT_FALSE(g_AudioDevice.IsMusicPaused()) << round;
        EXPECT_TRUE(g_AudioDevice.IsMusicPlaying()) << round;
    }
}

// F9 toggles the overlay; with a modifier held it neither toggles nor takes the edge.
TEST(CGameGlobalsTick, F9TogglesUnlessAModifierIsHeld)
{
    auto pressF9 = []
    {
        g_Input.m_Edges[DIK_F9] = 1;
        ++g_Input.m_PendingEdges;
    };
    g_Game.m_ShowFrameRate = 0;
    pressF9();
    g_Game.Tick();
    EXPECT_EQ(g_Game.m_ShowFrameRate, 1);
    EXPECT_EQ(g_Input.m_Edges[DIK_F9], 0);
    for (uint8_t WeInput::*modifier : {&WeInput::m_Ctrl, &WeInput::m_Alt, &WeInput::m_Shift})
    {
        g_Input.*modifier = 1;
        pressF9();
        g_Game.Tick();
        EXPECT_EQ(g_Game.m_ShowFrameRate, 1);
        EXPECT_TRUE(g_Input.ConsumeKey(DIK_F9)) << "another phase still sees the edge";
        g_Input.*modifier = 0;
    }
    pressF9();
    g_Game.Tick();
    EXPECT_EQ(g_Game.m_ShowFrameRate, 0);
}

TEST(CGameGlobalsTick, ClearsThePlayersMessageAndAddsTheMouse)
{
    g_PlayerInputMessage.m_Forward = 1;
    g_PlayerInputMessage.m_LookX = 99;
    g_Input.m_MouseMotion[0] = 4;
    g_Game.Tick();
    g_Input.m_MouseMotion[0] = 0;
    EXPECT_EQ(g_PlayerInputMessage.m_Forward, 0);
    EXPECT_EQ(g_PlayerInputMessage.m_LookX, 3);  // 4 x 0.75, truncated
}

// "FPS: <n>" in Font12 at the configured fractions of the back buffer, white, in a 200 x 200 box.
TEST(CGameGlobalsOverlay, DrawsTheRoundedFrameRateAtItsPlace)
{
    ConfigOverride x("UI.Hud.FPSx", "0.5");
    ConfigOverride y("UI.Hud.FPSy", "0.25");
    WeFont font;
    WeFont* savedFont = g_Game.m_Font12;
    const WeScreenSize savedSize = g_ScreenSize;
    g_Game.m_Font12 = &font;
    g_ScreenSize = {800, 600};
    g_Timer.m_Fps = 59.5;
    g_Canvas.m_Texts.Clear();

    g_Game.m_ShowFrameRate = 0;
    g_Game.DrawFrameRate();
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 0);
    g_Game.m_ShowFrameRate = 1;
    g_Game.DrawFrameRate();
    ASSERT_EQ(g_Canvas.GetQueuedTextCount(), 1);
    const WeCanvasTextNode& text = *g_Canvas.m_Texts.begin();
    EXPECT_STREQ(text.text.c_str(), "FPS: 60");
    EXPECT_EQ(text.font, &font);
    EXPECT_EQ(text.x, 400);
    EXPECT_EQ(text.y, 150);
    EXPECT_EQ(text.width, 200);
    EXPECT_EQ(text.height, 200);
    EXPECT_EQ(text.red, 1.0f);
    EXPECT_EQ(text.alpha, 1.0f);

    g_Canvas.m_Texts.Clear();
    g_Game.m_ShowFrameRate = 0;
    g_Game.m_Font12 = savedFont;
    g_ScreenSize = savedSize;
}
