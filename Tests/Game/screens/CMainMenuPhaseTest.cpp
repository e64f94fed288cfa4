// The main menu over the menu background: each button's resulting stack, the dead buttons, the
// single-player panel, the two notices made once, and EXIT through the dialog.
#include <gtest/gtest.h>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUILabel.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CClassicCreditsPhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
class CMainMenuPhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_ProfileManager.SetCurrent(g_ProfileManager.Create("Ace"));
        // The labels of the first entry belong to the UI of this test alone.
        g_MainMenuPhase.m_MustRestartLabel = nullptr;
        g_MainMenuPhase.m_MustRestart = 0;
        m_FellBack = g_RenderDevice.m_FellBack;
    }
    void TearDown() override
    {
        g_RenderDevice.m_FellBack = m_FellBack;
        g_MainMenuPhase.m_MustRestartLabel = nullptr;
        ScreenTest::TearDown();
    }
    void Open()
    {
        Start({&g_MenuPhase, &g_MainMenuPhase});
        ASSERT_TRUE(WaitShown("MainMenu_Window"));
        ASSERT_TRUE(WaitShown("SinglePlayer_Window"));
    }
    static int32_t CountNamed(WeUIComponent* c, const char* name)
    {
        int32_t n = c->m_Name == name ? 1 : 0;
        for (auto* node = c->m_Children.FirstNode(); node != nullptr; node = c->m_Children.NextNode(node))
            n += CountNamed(node->payload, name);
        return n;
    }
    uint8_t m_FellBack = 0;
};
}  // namespace

TEST_F(CMainMenuPhaseTest, EachButtonEndsInItsStack)
{
    struct Case
    {
        const char* button;
        const char* stack;
    };
    const Case cases[] = {
        {"MainMenu_Options_Button", "CMenuPhase COptionsPhase COptionsVideoPhase"},
        {"MainMenu_Credits_Button", "CMenuPhase CClassicCreditsPhase"},
        {"MainMenu_Profiles_Button", "CMenuPhase CChooseProfilePhase"},
        {"MainMenu_Encyclopedia_Button", "CMenuPhase CEncyclopediaPhase"},
        {"MainMenu_Exit_Button", "CMenuPhase CMainMenuPhase CConfirmationPhase"},
        {"SinglePlayer_SingleRace_Button", "CMenuPhase CSingleRacePhase"},
        {"SinglePlayer_InstantRace_Button", "CMenuPhase CInstantRacePhase"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        g_ClassicCreditsPhase.m_Finished = 1;
        Open();
        ASSERT_TRUE(Click(c.button));
        EXPECT_EQ(Stack(), c.stack);
        if (std::string(c.button) == "MainMenu_Credits_Button")
        {
            EXPECT_EQ(g_ClassicCreditsPhase.m_Finished, 0);
        }
        g_PhaseManager.Shutdown();
        g_ConfirmationPhase.m_ResultCallback = nullptr;
        Settle();
    }
}

TEST_F(CMainMenuPhaseTest, HighScoresAndCampaignNeverReactAndSinglePlayerWhileShownOnlyClicks)
{
    Open();
    for (const char* dead : {"MainMenu_HighScore_Button", "SinglePlayer_Tournament_Button"})
    {
        SCOPED_TRACE(dead);
        WeUIComponent* button = g_UIMain.FindComponent(dead);
        ASSERT_NE(button, nullptr);
        EXPECT_FLOAT_EQ(button->m_Opacity, 0.5f);
        EXPECT_EQ(button->m_InputEnabled, 0);
        ASSERT_TRUE(Click(dead));
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), 0);
    }
    ASSERT_TRUE(Click("MainMenu_SinglePlayer_Button"));
    Settle();
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), 1);
    EXPECT_TRUE(Shown("SinglePlayer_Window"));
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
}

TEST_F(CMainMenuPhaseTest, TheNoticesAreMadeOnceAndUsingDefaultsOnlyAfterAFallBack)
{
    for (uint8_t fellBack : {0, 1})
    {
        SCOPED_TRACE(int(fellBack));
        g_MainMenuPhase.m_MustRestartLabel = nullptr;
        g_RenderDevice.m_FellBack = fellBack;
        for (int visit = 0; visit < 3; ++visit)
        {
            Open();
            // To the profiles and back: the menu is entered again.
            ASSERT_TRUE(Click("MainMenu_Profiles_Button"));
            ASSERT_TRUE(WaitShown("CHOOSEPROFILE_BACK_BUTTON"));
            ASSERT_TRUE(Click("CHOOSEPROFILE_BACK_BUTTON"));
            EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
            g_PhaseManager.Shutdown();
        }
        EXPECT_EQ(CountNamed(g_UIMain.m_Root, "YOU_MUST_RESTART_TEXT"), 1);
        EXPECT_EQ(CountNamed(g_UIMain.m_Root, "RENDER_DEVICE_USING_DEFAULTS_TEXT"), fellBack);
        ASSERT_NE(g_MainMenuPhase.m_MustRestartLabel, nullptr);
        EXPECT_EQ(g_MainMenuPhase.m_MustRestartLabel->m_Visible, 0);
        g_UIMain.RemoveComponent("YOU_MUST_RESTART_TEXT");
        g_UIMain.RemoveComponent("RENDER_DEVICE_USING_DEFAULTS_TEXT");
    }
    // A set flag shows the label on the next update.
    g_MainMenuPhase.m_MustRestartLabel = nullptr;
    Open();
    g_MainMenuPhase.m_MustRestart = 1;
    Step();
    EXPECT_EQ(g_MainMenuPhase.m_MustRestartLabel->m_Visible, 1);
}

TEST_F(CMainMenuPhaseTest, ExitThenNoLeavesTheMenuAndYesReachesTheBuyScreen)
{
    Open();
    Press(1);
    ASSERT_TRUE(WaitShown("Confirmation_No_Button"));
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase CConfirmationPhase");
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), 1);
    ASSERT_TRUE(Click("Confirmation_No_Button"));
    Settle();
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
    EXPECT_TRUE(Shown("MainMenu_Window"));

    ASSERT_TRUE(Click("MainMenu_Exit_Button"));
    ASSERT_TRUE(WaitShown("Confirmation_Yes_Button"));
    ASSERT_TRUE(Click("Confirmation_Yes_Button"));
    EXPECT_EQ(Stack(), "CBuyScreenPhase");
}

// The program's second pass starts a new UI: the label kept from the first is gone with the old one, and
// the menu makes it again instead of writing through the old pointer.
TEST_F(CMainMenuPhaseTest, ANewUIGetsANewMustRestartLabel)
{
    Open();
    WeUILabel* first = g_MainMenuPhase.m_MustRestartLabel;
    ASSERT_NE(first, nullptr);
    g_PhaseManager.Shutdown();
    g_UIMain.Shutdown();
    g_UIMain.Init();
    g_UIMain.m_FrameTime = 1.0 / 60.0;
    Open();
    ASSERT_NE(g_MainMenuPhase.m_MustRestartLabel, nullptr);
    EXPECT_EQ(static_cast<WeUIComponent*>(g_MainMenuPhase.m_MustRestartLabel),
              g_UIMain.FindComponent("YOU_MUST_RESTART_TEXT"));
    EXPECT_EQ(CountNamed(g_UIMain.m_Root, "YOU_MUST_RESTART_TEXT"), 1);
}
