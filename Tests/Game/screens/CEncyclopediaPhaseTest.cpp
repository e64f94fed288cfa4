// The encyclopedia over the menu background, on the shipped entry lists and texts: the categories, the
// paging buttons and their ends, the held paging control, the maps restricted to the track list, the
// pictures, the scrolled text and the ways back to the main menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/render/WeTexture.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIScrollBar.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIVScrollBar.h"
#include "Engine/ui/WeUIWindow.h"
#include "Game/screens/CEncyclopediaPhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/COptionsSettings.h"
#include "Tests/Game/screens/ScreenTestSupport.h"
#include "Tests/support/ConfigOverride.h"

namespace
{
class CEncyclopediaPhaseTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_MapCatalogue.Load();
    }
    void Open()
    {
        Start({&g_MenuPhase, &g_EncyclopediaPhase});
        ASSERT_TRUE(WaitShown("Encyclopedia_Presentation_Window"));
    }
    static std::string Caption()
    {
        auto* label = static_cast<WeUILabel*>(g_UIMain.FindComponent("Encyclopedia_Caption"));
        return label != nullptr ? label->m_Text->m_Text.c_str() : "";
    }
    static std::string WindowCaption()
    {
        auto* window = static_cast<WeUIWindow*>(g_UIMain.FindComponent("Encyclopedia_Presentation_Window"));
        return window != nullptr ? window->m_Caption->m_Text.c_str() : "";
    }
    static std::string Text()
    {
        auto* label = static_cast<WeUILabel*>(g_UIMain.FindComponent("Encyclopedia_Text"));
        return label != nullptr ? label->m_Text->m_Text.c_str() : "";
    }
    static WeTexture* Picture()
    {
        auto* picture = static_cast<WeUIPicture*>(g_UIMain.FindComponent("Encyclopedia_Picture"));
        return picture != nullptr ? picture->m_Texture : nullptr;
    }
    static bool Enabled(const char* name)
    {
        WeUIComponent* c = g_UIMain.FindComponent(name);
        return c != nullptr && c->m_InputEnabled && c->m_Opacity == 1.0f;
    }
    static std::vector<std::string> Keys(const WeList<CEncyclopediaPhase::Entry>& list)
    {
        std::vector<std::string> keys;
        for (auto* n = list.FirstNode(); n != nullptr; n = list.NextNode(n))
            keys.push_back(n->payload.m_Key.c_str());
        return keys;
    }
    // The key of the rotate-right binding (D by default), as FillInputMessage reads it.
    static int32_t RotateRightKey()
    {
        const CInputBindings::Binding& binding = g_OptionsSettings.m_Bindings.entries[CInputBindings::RotateRight];
        return binding.isMouse || binding.isJoystick ? -1 : binding.code;
    }
};
}  // namespace

TEST_F(CEncyclopediaPhaseTest, EnterShowsTheFirstWorldWithItsPictureAndTheCategoriesInOrder)
{
    Open();
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentCategory, "Worlds");
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentIndex, 0);
    EXPECT_EQ(Caption(), "Gnosis");
    EXPECT_EQ(WindowCaption(), "Worlds");
    EXPECT_FALSE(Text().empty());
    ASSERT_NE(Picture(), nullptr);
    EXPECT_GT(Picture()->GetWidth(), 1);
    EXPECT_FALSE(Enabled("Encyclopedia_Prev_Button"));
    EXPECT_TRUE(Enabled("Encyclopedia_Next_Button"));
    for (const char* category : CEncyclopediaPhase::Categories)
        EXPECT_TRUE(Enabled((std::string("Encyclopedia_") + category + "_Button").c_str())) << category;
    EXPECT_EQ(Keys(g_EncyclopediaPhase.m_Ships), (std::vector<std::string>{"Falconer", "EclosionHunter", "Xdrone"}));
    EXPECT_EQ(g_EncyclopediaPhase.m_Weapons.Count(), 20);
}

TEST_F(CEncyclopediaPhaseTest, ACategoryWithoutAListShowsNothingUnlockedWithBothButtonsDimmed)
{
    ConfigOverride list("Encyclopedia.History.List", "");
    Open();
    ASSERT_TRUE(Click("Encyclopedia_History_Button"));
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentCategory, "History");
    EXPECT_EQ(Caption(), g_Localization.GetText("UI: NOTHING UNLOCKED").c_str());
    EXPECT_EQ(Caption(), "Nothing unlocked yet");
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Picture(), nullptr);
    EXPECT_FALSE(Enabled("Encyclopedia_Prev_Button"));
    EXPECT_FALSE(Enabled("Encyclopedia_Next_Button"));
}

TEST_F(CEncyclopediaPhaseTest, MapsKeepOnlyTrackListMapsUnderTheirShortWorldName)
{
    ConfigOverride list("Encyclopedia.Maps.List",
                        "Fusion Sphere (night),Nowhere (day),Wastelands of Apeiron (day),,Fusion Sphere (night)");
    Open();
    ASSERT_TRUE(Click("Encyclopedia_Maps_Button"));
    // The list ends at the first empty field; the unknown map is gone.
    EXPECT_EQ(Keys(g_EncyclopediaPhase.m_Maps),
              (std::vector<std::string>{"Fusion Sphere (night)", "Wastelands of Apeiron (day)"}));
    EXPECT_EQ(Caption(), "Evelad - Fusion Sphere (night)");
    ASSERT_NE(Picture(), nullptr);
    ASSERT_TRUE(Click("Encyclopedia_Next_Button"));
    EXPECT_EQ(Caption(), "Gnosis - Wastelands of Apeiron (day)");
}

TEST_F(CEncyclopediaPhaseTest, NextAndPreviousStopAtTheEndsAndDimTheirButtons)
{
    Open();
    ASSERT_TRUE(Click("Encyclopedia_Ships_Button"));
    const int32_t clicks = Sounds(CMenuPhase::SoundConfirm);
    struct Case
    {
        const char* button;
        int32_t index;
        bool prev, next;
        int32_t sounds;  // click sounds since the first
    };
    const Case cases[] = {
        {"Encyclopedia_Prev_Button", 0, false, true, 0}, {"Encyclopedia_Next_Button", 1, true, true, 1},
        {"Encyclopedia_Next_Button", 2, true, false, 2}, {"Encyclopedia_Next_Button", 2, true, false, 2},
        {"Encyclopedia_Prev_Button", 1, true, true, 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        // A dimmed button takes no click: its callback is called as the click would.
        if (std::string(c.button) == "Encyclopedia_Next_Button")
            CEncyclopediaPhase::OnNextClicked(0, nullptr);
        else
            CEncyclopediaPhase::OnPrevClicked(0, nullptr);
        Step();
        EXPECT_EQ(g_EncyclopediaPhase.m_CurrentIndex, c.index);
        EXPECT_EQ(Enabled("Encyclopedia_Prev_Button"), c.prev);
        EXPECT_EQ(Enabled("Encyclopedia_Next_Button"), c.next);
        EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm) - clicks, c.sounds);
    }
    EXPECT_EQ(Caption(), "Eclosion Hunter");
    // The current category clicked again keeps its entry (and still clicks).
    ASSERT_TRUE(Click("Encyclopedia_Ships_Button"));
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentIndex, 1);
    EXPECT_EQ(Sounds(CMenuPhase::SoundConfirm) - clicks, 4);
    ASSERT_TRUE(Click("Encyclopedia_Weapons_Button"));
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentIndex, 0);
    EXPECT_EQ(Caption(), "Plasma Bolt");
}

TEST_F(CEncyclopediaPhaseTest, ADisabledCategoryIsDimmedAndTakesNoClick)
{
    ConfigOverride enabled("Encyclopedia.Story.Enabled", "0");
    Open();
    EXPECT_FALSE(Enabled("Encyclopedia_Story_Button"));
    ASSERT_TRUE(Click("Encyclopedia_Story_Button"));
    EXPECT_EQ(g_EncyclopediaPhase.m_CurrentCategory, "Worlds");
}

TEST_F(CEncyclopediaPhaseTest, HoldingRotateRightPagesAtOnceThenAboutEveryHalfSecondToTheLast)
{
    Open();
    ASSERT_TRUE(Click("Encyclopedia_Weapons_Button"));
    const int32_t key = RotateRightKey();
    ASSERT_GT(key, 0);
    std::vector<int> moves;
    int32_t index = g_EncyclopediaPhase.m_CurrentIndex;
    for (int frame = 0; frame < 60 * 12; ++frame)
    {
        g_Input.m_Down[key] = 1;
        Step();
        if (g_EncyclopediaPhase.m_CurrentIndex != index)
        {
            moves.push_back(frame);
            index = g_EncyclopediaPhase.m_CurrentIndex;
        }
    }
    g_Input.m_Down[key] = 0;
    ASSERT_EQ(moves.size(), 19u);
    EXPECT_EQ(moves[0], 0);
    for (size_t i = 1; i < moves.size(); ++i)
    {
        EXPECT_GE(moves[i] - moves[i - 1], 29) << i;
        EXPECT_LE(moves[i] - moves[i - 1], 33) << i;
    }
    EXPECT_EQ(index, 19);
    EXPECT_FALSE(Enabled("Encyclopedia_Next_Button"));
}

TEST_F(CEncyclopediaPhaseTest, APictureNamingAMissingMemberShowsNone)
{
    struct Case
    {
        const char* picture;
        bool shown;
    };
    const Case cases[] = {
        {"Ingame.Encyclopedia.Gnosis", true}, {"Ingame.Encyclopedia.NoSuchPicture", false}, {"", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.picture);
        ConfigOverride picture("Encyclopedia.Worlds:Gnosis.Picture", c.picture);
        Open();
        EXPECT_EQ(Picture() != nullptr, c.shown);
        g_PhaseManager.Shutdown();
        Settle();
    }
}

TEST_F(CEncyclopediaPhaseTest, ALongTextScrollsAndTheNextEntryStartsAtTheTop)
{
    std::string longText;
    for (int i = 0; i < 60; ++i)
        longText += "A long line of the first world's description that wraps. ";
    ConfigOverride text("LocalizationEN.Localization.Worlds: Gnosis: TEXT", longText.c_str());
    g_Localization.Load();
    Open();
    auto* frame = static_cast<WeUIScrollFrame*>(g_UIMain.FindComponent("Encyclopedia_ScrolledText"));
    WeUIComponent* label = g_UIMain.FindComponent("Encyclopedia_Text");
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(label, nullptr);
    const float longHeight = frame->m_Height;
    EXPECT_GT(longHeight, frame->m_ViewHeight);
    EXPECT_FLOAT_EQ(label->m_Height, longHeight);
    EXPECT_TRUE(frame->m_VScroll->m_Visible);
    frame->m_VScroll->SetPosition(1.0f);
    ASSERT_TRUE(Click("Encyclopedia_Next_Button"));
    EXPECT_EQ(Caption(), "Evelad");
    EXPECT_LT(frame->m_Height, longHeight);
    EXPECT_FLOAT_EQ(label->m_Height, frame->m_Height);
    EXPECT_FLOAT_EQ(frame->m_VScroll->GetPosition(), 0.0f);
}

TEST_F(CEncyclopediaPhaseTest, EscapeAndBackReturnToTheMainMenu)
{
    for (bool escape : {true, false})
    {
        SCOPED_TRACE(escape);
        Open();
        const int32_t backs = Sounds(CMenuPhase::SoundBack);
        if (escape)
            Press(1);
        else
            ASSERT_TRUE(Click("Encyclopedia_Back_Button"));
        Step();
        EXPECT_EQ(Stack(), "CMenuPhase CMainMenuPhase");
        EXPECT_EQ(Sounds(CMenuPhase::SoundBack), backs + 1);
        g_PhaseManager.Shutdown();
        Settle();
        EXPECT_EQ(g_UIMain.FindComponent("Encyclopedia_Menu_Window"), nullptr);
    }
}
