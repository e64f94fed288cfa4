// The intro, the menu background, the buy screen and the race loading screen on the real phase stack, over
// the UI manager on the recording device.
#include <gtest/gtest.h>

#include <string>

#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/world/WePhysics.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/craft/ReleaseCraftAssets.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CIntroMovie.h"
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/CProgressBar.h"
#include "Game/screens/GetPhaseClassName.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CGameWindow.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/CScreenFader.h"
#include "Tests/Engine/ui/UITestSupport.h"
#include "Tests/support/ConfigOverride.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

namespace
{
// One game frame: the phases, then the UI's fades.
void ScreensPhaseFrame()
{
    g_PhaseManager.ProcessRequests();
    g_PhaseManager.Tick();
    g_UIMain.Tick();
}

class ScreensPhase : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        m_SavedMovies = g_Game.m_PlayMovies;
        ASSERT_NE(g_Game.m_Window, nullptr);
        g_Game.m_Window->m_Alive = 1;
        g_Timer.m_FrameDeltaF = 1.0f / 60.0f;
        ClearEdges();
    }
    void TearDown() override
    {
        g_PhaseManager.Shutdown();
        // As the game's shutdown does: the loading screen's shared race assets outlive its phase.
        ReleaseCraftAssets();
        g_Game.m_PlayMovies = m_SavedMovies;
        g_Game.m_Window->m_Alive = 0;
        ClearEdges();
        UIRenderTest::TearDown();
    }
    static void ClearEdges()
    {
        for (uint8_t& e : g_Input.m_Edges)
            e = 0;
        for (uint8_t& d : g_Input.m_Down)
            d = 0;
        g_Input.m_PendingEdges = 0;
    }
    static void Start(WeAbstractPhase* phase)
    {
        g_PhaseManager.RequestPhase(phase, WePhaseManager::ChangeRequest);
        g_PhaseManager.ProcessRequests();
    }
    static void Frame() { ScreensPhaseFrame(); }
    static std::string Stack()
    {
        std::string out;
        for (int32_t i = 0; i < g_PhaseManager.GetPhaseCount(); ++i)
            out += std::string(i ? " " : "") + GetPhaseClassName(g_PhaseManager.GetPhaseAt(i));
        return out;
    }
    static bool Alive() { return g_Game.m_Window->m_Alive != 0; }

    uint8_t m_SavedMovies = 1;
};
}  // namespace

TEST_F(ScreensPhase, CIntroPhaseAnEmptyMovieListEndsThePassOnTheFirstUpdate)
{
    ConfigOverride movies("game.Intro.Movies", "");
    g_Game.m_PlayMovies = 1;
    Start(&g_IntroPhase);
    EXPECT_EQ(g_UIShowCursor, 0);
    Frame();
    EXPECT_FALSE(Alive());
    EXPECT_EQ(g_IntroPhase.m_Index, -1);
}

// Two movies that do not exist: each is skipped on the frame after it failed, and no renderer is left over.
TEST_F(ScreensPhase, CIntroPhaseMissingMoviesAreSkipped)
{
    ConfigOverride movies("game.Intro.Movies", "NoSuchIntro,NoSuchIntroEither");
    g_Game.m_PlayMovies = 1;
    Start(&g_IntroPhase);
    Frame();
    EXPECT_EQ(g_IntroPhase.m_Index, 1);
    EXPECT_EQ(g_IntroMovie.GetRenderer(), nullptr);
    Frame();
    EXPECT_EQ(g_IntroPhase.m_Index, 2);
    EXPECT_TRUE(Alive());
    Frame();
    EXPECT_FALSE(Alive());
    EXPECT_EQ(g_IntroMovie.GetRenderer(), nullptr);
}

// With movies off each picture fades in, then out, and the next follows; the end of the list ends the pass.
TEST_F(ScreensPhase, CIntroPhasePicturesFadeInThenOutInTurn)
{
    ConfigOverride images("game.Intro.Images", "IntroImage1,IntroImage2");
    ConfigOverride fadeIn("game.Intro.FadeInSpeed", "4");
    ConfigOverride fadeOut("game.Intro.FadeOutSpeed", "4");
    g_Game.m_PlayMovies = 0;
    Start(&g_IntroPhase);
    int shown = 0;
    bool sawFull = false;
    bool sawFadingOut = false;
    for (int frame = 0; frame < 600 && Alive(); ++frame)
    {
        const int32_t before = g_IntroPhase.m_Index;
        Frame();
        WeUIComponent* picture = g_UIMain.FindComponent("Intro_Picture");
        if (g_IntroPhase.m_Index > before && picture != nullptr && picture->m_FadeDirection == 1)
            ++shown;
        if (picture != nullptr && picture->m_Alpha >= 1.0)
            sawFull = true;
        if (picture != nullptr && picture->m_FadeDirection == -1)
            sawFadingOut = true;
    }
    EXPECT_FALSE(Alive());
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(sawFull);
    EXPECT_TRUE(sawFadingOut);
}

// Only the press edge counts: Space held on skips one entry, not every entry after it.
TEST_F(ScreensPhase, CIntroPhaseHoldingSpaceSkipsOneEntryOnly)
{
    ConfigOverride images("game.Intro.Images", "IntroImage1,IntroImage2,IntroImage1");
    g_Game.m_PlayMovies = 0;
    Start(&g_IntroPhase);
    Frame();
    Frame();
    ASSERT_EQ(g_IntroPhase.m_Index, 1);
    g_Input.m_Edges[57] = 1;
    g_Input.m_Down[57] = 1;
    Frame();
    EXPECT_EQ(g_IntroPhase.m_Index, 2);
    g_Input.m_Edges[57] = 0;
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(g_IntroPhase.m_Index, 2);
    // A release of the first mouse button is a skip too.
    g_Input.m_Edges[WeInput::MouseButtonBase] = 1;
    Frame();
    EXPECT_EQ(g_IntroPhase.m_Index, 3);
    g_Input.m_Edges[WeInput::MouseButtonBase] = 0;
}

TEST_F(ScreensPhase, CBuyScreenPhaseEndsTheProgramAfterSevenSecondsWhateverTheInput)
{
    Start(&g_BuyScreenPhase);
    EXPECT_EQ(g_UIShowCursor, 0);
    g_Timer.m_FrameDeltaF = 0.25f;
    for (int i = 0; i < 27; ++i)
    {
        g_Input.m_Edges[1] = 1;
        g_Input.m_Edges[57] = 1;
        Frame();
        ASSERT_TRUE(Alive()) << i;
    }
    Frame();
    EXPECT_FALSE(Alive());
}

// The screen's black ground under the picture, which keeps its shape: the bars beside it never show the
// frame before.
TEST_F(ScreensPhase, CBuyScreenPhaseAPictureWithoutASizeIsNotDrawn)
{
    auto isGround = [](const UIQuad& q)
    { return q.x0 == 0.0f && q.y0 == 0.0f && q.x1 == 1024.0f && q.y1 == 768.0f && q.colour == 0xFF000000u; };
    WeTexture* saved = g_BuyScreenPhase.m_Picture;
    WeTexture* empty = g_TextureManager.CreateEmpty(false);
    g_BuyScreenPhase.m_Picture = empty;
    g_GfxRecorder.ClearLog();
    g_BuyScreenPhase.Render();
    std::vector<UIQuad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_TRUE(isGround(quads[0]));

    WeTexture* poster = g_TextureManager.CreateTexture(200, 100, D3DFMT_A8R8G8B8, 0, D3DPOOL_MANAGED, 1, false);
    g_BuyScreenPhase.m_Picture = poster;
    g_GfxRecorder.ClearLog();
    g_BuyScreenPhase.Render();
    quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_TRUE(isGround(quads[0]));
    // Scaled by min(1024 / 200, 768 / 100), centred.
    EXPECT_FLOAT_EQ(quads[1].x1 - quads[1].x0, 1024.0f);
    EXPECT_FLOAT_EQ(quads[1].y1 - quads[1].y0, 512.0f);
    EXPECT_FLOAT_EQ(quads[1].y0, 128.0f);
    g_BuyScreenPhase.m_Picture = saved;
    delete empty;
    delete poster;
}

TEST_F(ScreensPhase, CMenuPhaseSoundKinds)
{
    const char* expected[] = {
        "Sounds.Menu.Click1", "Sounds.Menu.Click2", "Sounds.Menu.Denied", "Sounds.Menu.KeyPress", "", ""};
    for (int32_t kind = 0; kind < 6; ++kind)
        EXPECT_STREQ(CMenuPhase::GetMenuSoundName(kind), expected[kind]) << kind;
    // Without a sound device nothing plays, and nothing fails.
    for (int32_t kind = -1; kind < 6; ++kind)
        g_MenuPhase.PlayMenuSound(kind);
}

TEST_F(ScreensPhase, CMenuPhaseWithMoviesOffDrawsTheStillPicture)
{
    g_Game.m_PlayMovies = 0;
    Start(&g_MenuPhase);
    ASSERT_NE(g_MenuPhase.m_PictureWidget, nullptr);
    EXPECT_EQ(g_MenuPhase.m_MovieWidget, nullptr);
    EXPECT_NE(g_UIMain.FindComponent("MenuVersion"), nullptr);
    EXPECT_NE(g_UIMain.FindComponent("MenuBackgroundFader"), nullptr);
    g_GfxRecorder.ClearLog();
    g_MenuPhase.Render();
    const std::vector<UIQuad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].x0, 0.0f);
    EXPECT_EQ(quads[0].x1, 1024.0f);
    EXPECT_EQ(quads[0].y1, 768.0f);
    EXPECT_EQ(quads[0].colour, 0xFFFFFFFFu);

    g_MenuPhase.RemoveBackground();
    EXPECT_EQ(g_MenuPhase.m_PictureWidget, nullptr);
    EXPECT_EQ(g_UIMain.FindComponent("MenuBackgroundPicture"), nullptr);
}

TEST_F(ScreensPhase, CMenuPhaseWithMoviesOnDrawsNothingItself)
{
    g_Game.m_PlayMovies = 1;
    Start(&g_MenuPhase);
    ASSERT_NE(g_MenuPhase.m_MovieWidget, nullptr);
    EXPECT_EQ(g_MenuPhase.m_PictureWidget, nullptr);
    g_GfxRecorder.ClearLog();
    g_MenuPhase.Render();
    EXPECT_TRUE(Quads().empty());
    g_PhaseManager.Shutdown();
    EXPECT_EQ(g_MenuPhase.m_MovieWidget, nullptr);
    EXPECT_EQ(g_UIMain.FindComponent("MenuBackgroundMovie"), nullptr);
    EXPECT_EQ(g_UIMain.FindComponent("MenuVersion"), nullptr);
}

// A race map whose file does not exist: no race, back to the menus, no map left.
TEST_F(ScreensPhase, CLoadMapPhaseAMissingMapReturnsToTheMenus)
{
    g_RaceSettings.m_MapName = "No Such Track (day)";
    Start(&g_LoadMapPhase);
    EXPECT_EQ(g_Game.m_Map, nullptr);
    EXPECT_EQ(g_Physics.m_Paused, 0);
    g_PhaseManager.ProcessRequests();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

// The shipped test track loads behind the bar with the physics paused; a key held from before does not start
// the race, a new edge after loading does, and leaving clears the pause and the frame time.
TEST_F(ScreensPhase, CLoadMapPhaseLoadsThenWaitsForANewKey)
{
    g_RaceSettings.ClearParticipants();
    g_RaceSettings.SetParticipant(0, CRaceParticipant::Human, "Falconer", 1);
    g_RaceSettings.m_MapName = "_TestRace";
    g_RaceSettings.m_Weapons = false;
    g_Input.m_Down[57] = 1;
    // A fade still running when loading starts holds the first actor back.
    g_ScreenFader.m_State = CScreenFader::FadingIn;
    Start(&g_LoadMapPhase);
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_EQ(g_LoadMapPhase.m_ProgressBar->m_Value, 0.0f);
    EXPECT_EQ(g_LoadMapPhase.m_Step, CLoadMapPhase::StepLoading);
    g_ScreenFader.m_State = CScreenFader::Idle;
    ASSERT_NE(g_Game.m_Map, nullptr);
    EXPECT_EQ(g_Physics.m_Paused, 1);
    EXPECT_EQ(g_PickupFactory.m_KeepPickups, 0);
    ASSERT_NE(g_LoadMapPhase.m_ProgressBar, nullptr);
    float last = 0.0f;
    int frames = 0;
    while (g_LoadMapPhase.m_Step <= CLoadMapPhase::StepLoading && frames < 5000)
    {
        Frame();
        ++frames;
        EXPECT_GE(g_LoadMapPhase.m_ProgressBar->m_Value, last);
        last = g_LoadMapPhase.m_ProgressBar->m_Value;
    }
    ASSERT_EQ(g_LoadMapPhase.m_Step, CLoadMapPhase::StepWaitingForKey);
    EXPECT_EQ(last, 1.0f);
    EXPECT_TRUE(g_Game.m_Map->m_Loaded);
    // Held, with no new edge: it waits.
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(g_LoadMapPhase.m_Step, CLoadMapPhase::StepWaitingForKey);
    EXPECT_EQ(g_PhaseManager.GetTopPhase(), &g_LoadMapPhase);
    g_Input.m_PendingEdges = 1;
    Frame();
    EXPECT_EQ(g_LoadMapPhase.m_Step, CLoadMapPhase::StepRaceRequested);
    g_Timer.m_FrameDeltaF = 0.5f;
    g_PhaseManager.ProcessRequests();
    EXPECT_EQ(Stack(), "CPlayGamePhase");
    EXPECT_EQ(g_Physics.m_Paused, 0);
    EXPECT_EQ(g_Timer.m_FrameDeltaF, 0.0f);
    EXPECT_EQ(g_LoadMapPhase.m_Entered, 0);
    // The bar and the tips stay for the race to draw.
    EXPECT_NE(g_LoadMapPhase.m_ProgressBar, nullptr);
    delete g_Game.m_Map;
    g_Game.m_Map = nullptr;
}

namespace
{
// Every packed sound outside the music folder.
int32_t PackedSoundsOutsideMusic()
{
    WeVirtualFileSystem* files = WeVirtualFileSystem::Instance();
    WeStringList folders, names;
    int32_t count = 0;
    files->ListFolders(folders, "Sounds", 16);
    for (const WeString& folder : folders)
    {
        if (folder == "Music")
            continue;
        files->ListFiles(names, "Sounds", folder, 16);
        count += names.Count();
    }
    return count;
}

// Runs the start-up loading until it hands over; the frames it took.
int RunStartUp()
{
    int frames = 0;
    for (; frames < 2000 && g_PhaseManager.GetTopPhase() == &g_LoadMenuPhase; ++frames)
        ScreensPhaseFrame();
    return frames;
}
}  // namespace

TEST_F(ScreensPhase, CLoadMenuPhaseLoadsEverythingThenHandsOverToTheProfileChoice)
{
    ScratchFolder data;
    SaveFolderOverride saves(data.Path());
    ClearSoundBuffers();
    g_Game.m_PlayMovies = 0;
    Start(&g_LoadMenuPhase);
    EXPECT_NE(g_UIMain.FindComponent("LoadMenu_Background"), nullptr);
    EXPECT_NE(g_UIMain.FindComponent("LoadMenu_LegalText"), nullptr);
    EXPECT_EQ(g_UIShowCursor, 0);
    const int frames = RunStartUp();
    EXPECT_LT(frames, 2000);
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    EXPECT_EQ(g_UIShowCursor, 1);
    EXPECT_EQ(g_UIMain.FindComponent("LoadMenu_Background"), nullptr);
    EXPECT_EQ(g_UIMain.FindComponent("LoadMenu_LegalText"), nullptr);
    // The data sets are loaded, and every sound outside the music is decoded.
    EXPECT_TRUE(g_WeaponDescriptions.IsLoaded());
    EXPECT_GT(g_MapCatalogue.m_Names.Count(), 0);
    EXPECT_NE(g_BuyScreenPhase.m_Picture, nullptr);
    EXPECT_EQ(GetSoundBufferCount(), PackedSoundsOutsideMusic());
    EXPECT_GT(GetSoundBufferCount(), 0);
    EXPECT_NE(g_MenuPhase.m_PictureWidget, nullptr);
}

TEST_F(ScreensPhase, CLoadMenuPhaseWithACurrentProfileGoesToTheMainMenuWithItsBindings)
{
    ScratchFolder data;
    SaveFolderOverride saves(data.Path());
    g_ProfileManager.Clear();
    CProfile* ada = g_ProfileManager.Create("Ada");
    ASSERT_NE(ada, nullptr);
    ada->m_Bindings->entries[0].code = 72;
    g_ProfileManager.SetCurrent(ada);
    ASSERT_TRUE(g_ProfileManager.Save());
    g_ProfileManager.Clear();
    const CInputBindings before = g_OptionsSettings.m_Bindings;

    g_Game.m_PlayMovies = 0;
    Start(&g_LoadMenuPhase);
    RunStartUp();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
    ASSERT_NE(g_ProfileManager.GetCurrent(), nullptr);
    EXPECT_STREQ(g_ProfileManager.GetCurrent()->m_Name.c_str(), "Ada");
    EXPECT_EQ(g_OptionsSettings.m_Bindings.entries[0].code, 72);
    g_OptionsSettings.m_Bindings = before;
    g_ProfileManager.Clear();
}
