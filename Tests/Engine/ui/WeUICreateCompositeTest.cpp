// The creators of the composite widgets: layout lines, their extra tokens and keys, row variants and fade
// keys.
#include <gtest/gtest.h>

#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComboBox.h"
#include "Engine/ui/WeUIEditBox.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUIMovie.h"
#include "Engine/ui/WeUIMultiList.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

int32_t Changed(WeUIComponent*)
{
    return 5;
}

class WeUICreateCompositeTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        SetPart("ComboboxButton_Normal", 0, 0, 20, 24);
        SetPart("MultiListHeaderButton_Normal", 0, 0, 30, 20);
        SetFloat("UI.Fade.HScrollBar", 8.0f);
        SetFloat("UI.Fade.VScrollBar", 9.0f);
        SetFloat("UI.Fade.ComboBox", 10.0f);
        SetFloat("UI.Fade.Label", 5.0f);
        SetFloat("UI.Fade.ColorFrame", 6.0f);
    }
};

TEST_F(WeUICreateCompositeTest, MultiListTakesWidthsUpToTheFirstZeroAndItsOwnSelectionColour)
{
    SetString("UI.Components.Scores", "0,10,20,400,200,#FF0000FF");
    SetString("UI.Components.Scores$ColumnWidths", "100,200,0,50");
    SetInt("UI.Components.Scores$Font", 16);
    SetInt("UI.List.SelectedColor", int32_t(0xFFA0A0A0));
    WeUIMultiList* list = g_UIMain.CreateMultiList(WeString("Scores"), WeString(""));
    ASSERT_EQ(list->m_ColumnWidths.size(), 2u);
    EXPECT_FLOAT_EQ(list->m_ColumnWidths[1], 200.0f / 1024);
    EXPECT_EQ(list->m_Parent, Root());
    EXPECT_EQ(list->m_PixelX, 10);
    EXPECT_EQ(list->m_PixelWidth, 400);
    EXPECT_EQ(list->m_RowFontSize, 16);
    EXPECT_EQ(list->m_FadeSpeed, 8.0f);
    const float blue[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list->m_SelectionColour[i], blue[i]);
    WeStringList captions;
    for (const char* c : {"a", "b", "c"})
        captions.PushBack(WeString(c));
    list->SetColumns(captions, nullptr);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("Scores$2"))->m_PixelX, 300);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("Scores$2"))->m_PixelWidth, 30);
    // Without token 5 the configured colour.
    SetString("UI.Components.Plain", "0,0,0,100,100");
    WeUIMultiList* plain = g_UIMain.CreateMultiList(WeString("Plain"), WeString(""));
    EXPECT_FLOAT_EQ(plain->m_SelectionColour[0], 160.0f / 255);
    EXPECT_TRUE(plain->m_ColumnWidths.empty());
}

TEST_F(WeUICreateCompositeTest, ComboBoxRowIsNamedAndMovedByTheBaseNamesStep)
{
    SetString("UI.Components.Choice", "0,100,200,150");
    SetInt("UI.Components.Choice$Font", 18);
    WeUIComboBox* row = g_UIMain.CreateComboBoxRow(WeString("Choice"), WeString(""), 3, Changed);
    EXPECT_STREQ(row->m_Name.c_str(), "Choice 3");
    EXPECT_EQ(row->m_PixelY, 230);
    EXPECT_EQ(row->m_PixelWidth, 150);
    EXPECT_EQ(row->m_Text->m_Size, 18);
    EXPECT_EQ(row->m_OnChange, Changed);
    EXPECT_EQ(row->m_List->m_FadeSpeed, 10.0f);
    SetInt("UI.Components.Choice$DeltaY", 25);
    EXPECT_NEAR(g_UIMain.CreateComboBoxRow(WeString("Choice"), WeString(""), 2, nullptr)->m_PixelY, 250, 1);
    EXPECT_EQ(g_UIMain.CreateComboBox(WeString("Choice"), WeString(""), nullptr)->m_PixelY, 200);
}

TEST_F(WeUICreateCompositeTest, PlainWidgetsTakeTheirRectangleColourAndFade)
{
    SetString("UI.Components.Host", "0,100,100,500,400");
    SetString("UI.Components.Bar", "0,10,380,300,16");
    SetString("UI.Components.Frame", "0,20,30,300,200");
    SetString("UI.Components.Tint", "0,0,0,64,32");
    SetInt("UI.Components.Tint$Color", int32_t(0x80FF0000));
    SetInt("UI.Components.Tint$DeltaY", 40);
    WeUIComponent* host = g_UIMain.CreateEditBox(WeString("Host"), WeString(""));
    EXPECT_EQ(host->m_PixelWidth, 500);
    EXPECT_EQ(host->m_FadeSpeed, 5.0f);
    WeUIHScrollBar* bar = g_UIMain.CreateHScrollBar(WeString("Bar"), WeString("Host"), Changed);
    EXPECT_EQ(bar->m_Parent, host);
    EXPECT_EQ(bar->m_OnChange, Changed);
    EXPECT_EQ(bar->m_PixelY, 380);
    EXPECT_EQ(bar->m_FadeSpeed, 8.0f);
    WeUIScrollFrame* frame = g_UIMain.CreateScrollFrame(WeString("Frame"), WeString("Host"));
    EXPECT_EQ(frame->m_ViewPixelX, 20);
    EXPECT_EQ(frame->m_ViewPixelHeight, 200);
    EXPECT_EQ(frame->m_FadeSpeed, 9.0f);
    WeUIColorFrame* tint = g_UIMain.CreateColorFrameRow(WeString("Tint"), WeString(""), 2);
    EXPECT_STREQ(tint->m_Name.c_str(), "Tint 2");
    EXPECT_EQ(tint->m_PixelY, 80);
    EXPECT_FLOAT_EQ(tint->m_Colour[0], 1.0f);
    EXPECT_FLOAT_EQ(tint->m_Colour[3], 128.0f / 255);
    EXPECT_EQ(tint->m_FadeSpeed, 6.0f);
    EXPECT_EQ(g_UIMain.CreateColorFrame(WeString("Tint"), WeString(""))->m_FadeSpeed, 5.0f);
    WeUIMovie* movie = g_UIMain.CreateMovie(WeString("Tint"), WeString("nowhere"));
    EXPECT_EQ(movie->m_Parent, nullptr);
    EXPECT_EQ(movie->m_InputEnabled, 0);
    delete movie;
}

}  // namespace
