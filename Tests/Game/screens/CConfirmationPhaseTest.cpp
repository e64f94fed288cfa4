// The yes/no dialog over a screen: its answers, the callback's one call after the pop request, and the
// screen below deaf while it is up.
#include <gtest/gtest.h>

#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
int g_Calls = 0;
bool g_LastAnswer = false;
int32_t g_RequestsAtCall = -1;

void Record(bool yes)
{
    ++g_Calls;
    g_LastAnswer = yes;
    g_RequestsAtCall = g_PhaseManager.GetRequestCount();
}

// Asks again from inside the answer: the new callback must survive the clearing of the old one.
void AskAgain(bool yes)
{
    Record(yes);
    g_ConfirmationPhase.m_ResultCallback = Record;
}

class CConfirmationPhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_Calls = 0;
        g_RequestsAtCall = -1;
        g_ConfirmationPhase.m_ResultCallback = nullptr;
    }
    void Open(void (*callback)(bool))
    {
        Start({&g_MenuPhase, &g_ChooseProfilePhase});
        g_ConfirmationPhase.m_ResultCallback = callback;
        g_PhaseManager.RequestPhase(&g_ConfirmationPhase, WePhaseManager::PushRequest);
        ASSERT_TRUE(WaitShown("Confirmation_Window"));
        ASSERT_EQ(Stack(), "CMenuPhase CChooseProfilePhase CConfirmationPhase");
    }
};
}  // namespace

TEST_F(CConfirmationPhaseTest, EachAnswerPlaysItsSoundPopsAndCallsBackOnceAfterThePopRequest)
{
    struct Case
    {
        const char* what;
        bool yes;
        int32_t sound;
    };
    const Case cases[] = {
        {"YES", true, CMenuPhase::SoundConfirm},
        {"NO", false, CMenuPhase::SoundBack},
        {"Escape", false, CMenuPhase::SoundBack},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Open(Record);
        g_Calls = 0;
        const int32_t before = Sounds(c.sound);
        if (std::string(c.what) == "YES")
            ASSERT_TRUE(Click("Confirmation_Yes_Button", false));
        else if (std::string(c.what) == "NO")
            ASSERT_TRUE(Click("Confirmation_No_Button", false));
        else
            Press(1);
        EXPECT_EQ(g_Calls, 1);
        EXPECT_EQ(g_LastAnswer, c.yes);
        // The pop was requested before the callback ran.
        EXPECT_EQ(g_RequestsAtCall, 1);
        EXPECT_EQ(Sounds(c.sound), before + 1);
        EXPECT_EQ(g_ConfirmationPhase.m_ResultCallback, nullptr);
        Step(2);
        EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
        EXPECT_EQ(g_UIMain.FindComponent("Confirmation_Window"), nullptr);
        EXPECT_EQ(g_Calls, 1);
        g_PhaseManager.Shutdown();
    }
}

TEST_F(CConfirmationPhaseTest, WithoutACallbackTheDialogOnlyCloses)
{
    Open(nullptr);
    Press(1);
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
}

TEST_F(CConfirmationPhaseTest, ACallbackThatAsksAgainKeepsItsNewCallback)
{
    Open(AskAgain);
    ASSERT_TRUE(Click("Confirmation_Yes_Button"));
    EXPECT_EQ(g_Calls, 1);
    EXPECT_EQ(g_ConfirmationPhase.m_ResultCallback, Record);
}

// The modal dialog keeps clicks from the screen below: CREATE under it does nothing.
TEST_F(CConfirmationPhaseTest, TheScreenBelowTakesNoClickWhileItIsUp)
{
    Open(Record);
    const int32_t confirms = Sounds(CMenuPhase::SoundConfirm);
    ASSERT_TRUE(Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON"));
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase CConfirmationPhase");
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm), confirms);
    EXPECT_EQ(g_Calls, 0);
}
