// The choose-profile and create-profile screens over the menu background: refusals without profiles, names
// taken or free, OK making a profile current, deletion through the dialog (also of one of two profiles of
// one name), and the file in the save folder after each change.
#include <gtest/gtest.h>

#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIText.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CConfirmationPhase.h"
#include "Game/screens/CCreateProfilePhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Tests/Game/screens/ScreenTestSupport.h"

namespace
{
class CChooseProfilePhaseTest : public ScreenTest
{
protected:
    void Open()
    {
        Start({&g_MenuPhase, &g_ChooseProfilePhase});
        ASSERT_TRUE(WaitShown("ChooseProfile_Window"));
    }
    static int32_t Rows() { return g_ChooseProfilePhase.m_ProfileList->GetRowCount(); }
    static std::string RowText(int32_t row)
    {
        WeUILabel* cell = g_ChooseProfilePhase.m_ProfileList->GetCell(0, row);
        return cell != nullptr ? cell->m_Text->m_Text.c_str() : "";
    }
    // CREATE, the name typed over "PLAYER", then Enter in the box.
    void Create(const char* name)
    {
        ASSERT_TRUE(Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON"));
        Settle();
        ASSERT_EQ(Stack(), "CMenuPhase CChooseProfilePhase CCreateProfilePhase");
        auto* edit = static_cast<WeUIEditBox*>(g_UIMain.FindComponent("CreateProfile_NameEdit"));
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(std::string(edit->GetText().c_str()), "PLAYER");
        // The whole text is selected, so typing replaces it.
        Type(name);
        g_UIMain.PostKeyDown(WeUIEditBox::KeyEnter);
        Step(2);
    }
};
}  // namespace

TEST_F(CChooseProfilePhaseTest, WithoutProfilesOkAndBackShowTheCreateHintAndEscapeIsOnlyDenied)
{
    Open();
    for (const char* button : {"CHOOSEPROFILE_OK_BUTTON", "CHOOSEPROFILE_BACK_BUTTON"})
    {
        SCOPED_TRACE(button);
        const int32_t denied = Sounds(CMenuPhase::SoundDenied);
        ASSERT_TRUE(Click(button));
        Step(20);
        EXPECT_EQ(Sounds(CMenuPhase::SoundDenied), denied + 1);
        EXPECT_TRUE(Visible("CreateProfileFirst"));
        EXPECT_FALSE(Visible("ChooseProfileFirst"));
        EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    }
    const int32_t denied = Sounds(CMenuPhase::SoundDenied);
    Press(1);
    Step();
    EXPECT_EQ(Sounds(CMenuPhase::SoundDenied), denied + 1);
    EXPECT_EQ(Sounds(CMenuPhase::SoundBack), 0);
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
}

TEST_F(CChooseProfilePhaseTest, ANewProfileIsSelectedNotCurrentAndOkMakesItCurrentAndReachesTheMainMenu)
{
    Open();
    Create("Ace");
    Step(2);
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowText(0), "Ace");
    CProfile* ace = g_ProfileManager.Find("Ace");
    ASSERT_NE(ace, nullptr);
    EXPECT_EQ(g_ChooseProfilePhase.GetSelectedProfile(), ace);
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
    EXPECT_NE(SaveFile().find("Ace"), std::string::npos);
    // Uncovered: full opacity and input again.
    Settle();
    EXPECT_FLOAT_EQ(g_UIMain.FindComponent("ChooseProfile_Window")->m_Opacity, 1.0f);
    EXPECT_EQ(g_UIMain.FindComponent("CHOOSEPROFILE_OK_BUTTON")->m_InputEnabled, 1);

    ASSERT_TRUE(Click("CHOOSEPROFILE_OK_BUTTON"));
    Step();
    EXPECT_EQ(g_ProfileManager.GetCurrent(), ace);
    EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
    // The file names its current profile: a fresh store reads it back current.
    CProfileManager reread;
    reread.Load();
    ASSERT_NE(reread.GetCurrent(), nullptr);
    EXPECT_EQ(std::string(reread.GetCurrent()->m_Name.c_str()), "Ace");
}

TEST_F(CChooseProfilePhaseTest, ATakenNameIsRefusedCaseSensitivelyAndEscapeOrCancelPop)
{
    g_ProfileManager.Create("Player");
    Open();
    ASSERT_EQ(Rows(), 1);
    const int32_t denied = Sounds(CMenuPhase::SoundDenied);
    Create("Player");
    EXPECT_EQ(Sounds(CMenuPhase::SoundDenied), denied + 1);
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase CCreateProfilePhase");
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    // Still on the create screen: the box is typed over again.
    auto* edit = static_cast<WeUIEditBox*>(g_UIMain.FindComponent("CreateProfile_NameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->SetText("player");
    ASSERT_TRUE(Click("CREATEPROFILE_OK_BUTTON"));
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    EXPECT_EQ(g_ProfileManager.Count(), 2);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(RowText(1), "player");

    ASSERT_TRUE(Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON"));
    Settle();
    Press(1);
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    ASSERT_TRUE(Click("CHOOSEPROFILE_CREATE_PROFILE_BUTTON"));
    Settle();
    ASSERT_TRUE(Click("CREATEPROFILE_CANCEL_BUTTON"));
    Step();
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    EXPECT_EQ(g_ProfileManager.Count(), 2);
}

TEST_F(CChooseProfilePhaseTest, DeletingTheCurrentProfileRefusesBackAndEscapeUntilAnotherIsChosen)
{
    CProfile* first = g_ProfileManager.Create("First");
    g_ProfileManager.Create("Second");
    g_ProfileManager.SetCurrent(first);
    Open();
    EXPECT_EQ(g_ChooseProfilePhase.GetSelectedProfile(), first);
    ASSERT_TRUE(Click("CHOOSEPROFILE_DELETE_PROFILE_BUTTON"));
    Settle();
    ASSERT_EQ(Stack(), "CMenuPhase CChooseProfilePhase CConfirmationPhase");
    EXPECT_EQ(std::string(g_ChooseProfilePhase.m_PendingDeleteName.c_str()), "First");
    // Dimmed and deaf under the dialog.
    EXPECT_FLOAT_EQ(g_UIMain.FindComponent("ChooseProfile_Window")->m_Opacity, 0.5f);
    ASSERT_TRUE(Click("Confirmation_Yes_Button"));
    Settle();
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowText(0), "Second");
    EXPECT_EQ(SaveFile().find("First"), std::string::npos);

    const int32_t denied = Sounds(CMenuPhase::SoundDenied);
    ASSERT_TRUE(Click("CHOOSEPROFILE_BACK_BUTTON"));
    Press(1);
    Step();
    EXPECT_EQ(Sounds(CMenuPhase::SoundDenied), denied + 2);
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    // A hint names the way out: profiles exist, so "choose".
    EXPECT_TRUE(Visible("ChooseProfileFirst"));
}

TEST_F(CChooseProfilePhaseTest, NoKeepsTheProfileAndDeleteWithoutASelectionDoesNothing)
{
    g_ProfileManager.Create("Keep");
    Open();
    ASSERT_TRUE(Click("CHOOSEPROFILE_DELETE_PROFILE_BUTTON"));
    EXPECT_EQ(Stack(), "CMenuPhase CChooseProfilePhase");
    g_ChooseProfilePhase.m_ProfileList->SelectCellAt(0, 0);
    ASSERT_TRUE(Click("CHOOSEPROFILE_DELETE_PROFILE_BUTTON"));
    Settle();
    ASSERT_TRUE(Click("Confirmation_No_Button"));
    Step(2);
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    EXPECT_EQ(Rows(), 1);
}

// Two profiles of one name from an old file: deleting the second deletes that one and its row, and the row
// left holds the first, which OK then makes current.
TEST_F(CChooseProfilePhaseTest, DeletingOneOfTwoProfilesOfOneNameDeletesTheSelectedOne)
{
    CProfile* a = g_ProfileManager.Create("Twin");
    auto* b = new CProfile();
    b->m_Name = "Twin";
    g_ProfileManager.GetProfiles().PushBack(b);
    Open();
    ASSERT_EQ(Rows(), 2);
    g_ChooseProfilePhase.m_ProfileList->SelectCellAt(0, 1);
    ASSERT_EQ(g_ChooseProfilePhase.GetSelectedProfile(), b);
    ASSERT_TRUE(Click("CHOOSEPROFILE_DELETE_PROFILE_BUTTON"));
    Settle();
    ASSERT_TRUE(Click("Confirmation_Yes_Button"));
    Step(2);
    ASSERT_EQ(g_ProfileManager.Count(), 1);
    EXPECT_EQ(g_ProfileManager.GetProfiles().Front(), a);
    ASSERT_EQ(Rows(), 1);
    g_ChooseProfilePhase.m_ProfileList->SelectCellAt(0, 0);
    EXPECT_EQ(g_ChooseProfilePhase.GetSelectedProfile(), a);
    ASSERT_TRUE(Click("CHOOSEPROFILE_OK_BUTTON"));
    EXPECT_EQ(g_ProfileManager.GetCurrent(), a);
}
