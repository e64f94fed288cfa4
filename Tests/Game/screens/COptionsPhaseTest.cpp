// The options root over the main menu and over the pause menu: the video screen first, the three buttons
// replacing the shown sub-screen, and each sub-screen's way back.
#include <gtest/gtest.h>

#include "Tests/Game/screens/OptionsTestSupport.h"

namespace
{
class COptionsPhaseTest : public OptionsScreenTest
{
};

struct SubScreen
{
    const char* button;
    const char* stackTop;
    const char* back;
};

const SubScreen SubScreens[] = {
    {"Options_AudioButton", "COptionsAudioPhase", "AudioOptions_BackButton"},
    {"Options_VideoButton", "COptionsVideoPhase", "VideoOptions_BackButton"},
    {"Options_ControlsButton", "COptionsInputPhase", "InputOptions_BackButton"},
};
}  // namespace

TEST_F(COptionsPhaseTest, FromTheMainMenuTheVideoScreenOpensFirstAndEachBackReturnsToTheMainMenu)
{
    for (const SubScreen& s : SubScreens)
    {
        SCOPED_TRACE(s.button);
        OpenFromMainMenu();
        EXPECT_EQ(Stack(), "CMenuPhase COptionsPhase COptionsVideoPhase");
        ASSERT_TRUE(Click(s.button));
        ASSERT_TRUE(WaitShown(s.back));
        EXPECT_EQ(Stack(), std::string("CMenuPhase COptionsPhase ") + s.stackTop);
        const int32_t backSounds = Sounds(CMenuPhase::SoundBack);
        ASSERT_TRUE(Click(s.back));
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backSounds + 1);
        Settle();
        EXPECT_FALSE(Visible("Options_OptionsWindow"));
        g_PhaseManager.Shutdown();
    }
}

TEST_F(COptionsPhaseTest, TheButtonOfTheShownSubScreenOnlyClicks)
{
    OpenFromMainMenu();
    for (const SubScreen& s : SubScreens)
    {
        SCOPED_TRACE(s.button);
        ASSERT_TRUE(Click(s.button));
        ASSERT_TRUE(WaitShown(s.back));
        const int32_t clicks = Sounds(CMenuPhase::SoundConfirm);
        ASSERT_TRUE(Click(s.button));
        Settle();
        EXPECT_EQ(Stack(), std::string("CMenuPhase COptionsPhase ") + s.stackTop);
        EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), clicks + 1);
        EXPECT_TRUE(Shown(s.back));
    }
}

TEST_F(COptionsPhaseTest, FromThePauseMenuEachBackUncoversThePauseMenu)
{
    for (const SubScreen& s : SubScreens)
    {
        SCOPED_TRACE(s.button);
        OpenPauseMenu();
        ASSERT_TRUE(Click("PLAYGAME_OPTIONS_BUTTON"));
        ASSERT_TRUE(WaitShown("VideoOptions_BackButton"));
        EXPECT_EQ(Stack(), "Race CInGameMenuPhase COptionsPhase COptionsVideoPhase");
        EXPECT_FALSE(Visible("IN_GAME_MENU"));
        ASSERT_TRUE(Click(s.button));
        ASSERT_TRUE(WaitShown(s.back));
        ASSERT_TRUE(Click(s.back));
        EXPECT_EQ(Stack(), "Race CInGameMenuPhase");
        EXPECT_TRUE(WaitShown("IN_GAME_MENU"));
        EXPECT_TRUE(Active("IN_GAME_MENU"));
        EXPECT_EQ(g_PlayGamePhase.m_RaceState, CPlayGamePhase::Paused);
        g_PhaseManager.Shutdown();
    }
}

TEST_F(COptionsPhaseTest, AQuestionOnTopDimsTheRootAndTheSubScreenUntilItIsAnswered)
{
    OpenFromMainMenu();
    ASSERT_TRUE(Click("Options_ControlsButton"));
    ASSERT_TRUE(WaitShown("InputOptions_BackButton"));
    g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
    ASSERT_TRUE(WaitShown("Confirmation_No_Button"));
    EXPECT_TRUE(Dimmed("Options_OptionsWindow"));
    EXPECT_TRUE(Dimmed("InputOptions_Window"));
    ASSERT_TRUE(Click("Confirmation_No_Button"));
    EXPECT_TRUE(Active("Options_OptionsWindow"));
    EXPECT_TRUE(Active("InputOptions_Window"));
}
