// The UI manager's creators: layout lines and their tokens, style and per-widget keys, parents by name,
// fade keys per kind, and what each creator sets on the widget it builds.
#include <gtest/gtest.h>

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

class WeUICreateTest : public UIRenderTest
{
};

int32_t Clicked(int32_t, WeUIComponent*)
{
    return 7;
}

TEST_F(WeUICreateTest, LayoutTokensReadDecimalHexAndEmpty)
{
    struct
    {
        const char* line;
        int index;
        int32_t value;
    } cases[] = {{"TestBig,412,600", 1, 412},
                 {"a,#1F", 1, 31},
                 {"a,,5", 1, 0},
                 {"a,,5", 2, 5},
                 {"a,3", 7, 0},
                 {"", 0, 0},
                 {"x, 12", 1, 12},
                 {"x,-4", 1, -4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(WeUIMain::GetLayoutToken(WeString(c.line), c.index), c.value);
    }
    // Row variants lie "$DeltaY" (10 by default) reference pixels apart, named with the row.
    EXPECT_FLOAT_EQ(WeUIMain::GetRowOffset(WeString("CreateRowNoDelta"), 3), 30.0f / 768);
    SetInt("UI.Components.CreateRowDelta$DeltaY", 25);
    EXPECT_FLOAT_EQ(WeUIMain::GetRowOffset(WeString("CreateRowDelta"), 2), 50.0f / 768);
    EXPECT_STREQ(WeUIMain::GetRowName(WeString("Row"), 3).c_str(), "Row 3");
}

TEST_F(WeUICreateTest, ButtonTakesItsStyle)
{
    SetString("UI.Components.CreateBigButton", "TestBig,412,600");
    SetInt("UI.Button_TestBig.Width", 200);
    SetInt("UI.Button_TestBig.TextFont", 16);
    SetInt("UI.Button_TestBig.TextColorNormal", int32_t(0xFF102030));
    SetPart("Button_TestBig_Normal", 0, 0, 10, 10);
    SetPart("Button_TestBig_Over", 10, 0, 10, 10);
    SetPart("Button_TestBig_Clicked", 20, 0, 10, 10);
    SetFloat("UI.Fade.Button", 8.0f);
    WeUIButton* b = g_UIMain.CreateButton(WeString("CreateBigButton"), WeString("OK"), WeString(""), Clicked);
    EXPECT_EQ(b->m_Parent, Root());
    EXPECT_FLOAT_EQ(b->m_X, 412.0f / 1024);
    EXPECT_FLOAT_EQ(b->m_Y, 600.0f / 768);
    EXPECT_FLOAT_EQ(b->m_Width, 200.0f / 1024);
    EXPECT_FLOAT_EQ(b->m_Height, 100.0f / 768);
    EXPECT_EQ(b->m_Skin->m_Normal.x, 0);
    EXPECT_EQ(b->m_Skin->m_Over.x, 10);
    EXPECT_EQ(b->m_Skin->m_Clicked.x, 20);
    EXPECT_EQ(b->m_Caption->m_Size, 16);
    EXPECT_FLOAT_EQ(b->m_Caption->m_Colour[2], 0x30 / 255.0f);
    EXPECT_EQ(b->m_OnMouseUp, &Clicked);
    EXPECT_FLOAT_EQ(b->m_FadeSpeed, 8.0f);
    EXPECT_EQ(b->m_Caption->m_PixelWidth, 200);
}

TEST_F(WeUICreateTest, MissingLineAndUnknownParent)
{
    WeUIPicture* p = g_UIMain.CreatePicture(WeString("CreateNoLine"), WeString(""));
    EXPECT_EQ(p->m_X, 0.0f);
    EXPECT_EQ(p->m_Y, 0.0f);
    EXPECT_EQ(p->m_Width, 0.0f);
    EXPECT_EQ(p->m_Height, 0.0f);
    // Under an unknown parent the widget is registered but in no tree; the manager deletes it at shutdown.
    WeUIProgressBar* orphan = g_UIMain.CreateProgressBar(WeString("CreateOrphan"), WeString("NoSuchParent"));
    EXPECT_EQ(orphan->m_Parent, nullptr);
    EXPECT_EQ(g_UIMain.FindComponent(WeString("CreateOrphan")), orphan);
    // Named parents are found by name.
    WeUIWindow* w = g_UIMain.CreateWindow(WeString("CreateParentWin"), WeString(""), WeString(""));
    WeUICheckBox* box = g_UIMain.CreateCheckBox(WeString("CreateChild"), WeString("CreateParentWin"), Clicked);
    EXPECT_EQ(box->m_Parent, w);
    // The orphan goes with the manager (it leaves the registry as it is deleted).
    g_UIMain.Shutdown();
    EXPECT_EQ(g_UIMain.FindComponent(WeString("CreateOrphan")), nullptr);
    g_UIMain.Init();
}

TEST_F(WeUICreateTest, FadeSpeedsFollowTheirKindOrTheDefault)
{
    SetFloat("UI.Fade.Label", 5.0f);
    SetFloat("UI.Fade.CheckBox", 6.0f);
    EXPECT_FLOAT_EQ(g_UIMain.CreateLabel(WeString("FadeL"), WeString(""), WeString(""), -1)->m_FadeSpeed, 5.0f);
    EXPECT_FLOAT_EQ(g_UIMain.CreatePicture(WeString("FadeP"), WeString(""))->m_FadeSpeed, 5.0f);
    EXPECT_FLOAT_EQ(g_UIMain.CreateCheckBox(WeString("FadeC"), WeString(""), nullptr)->m_FadeSpeed, 6.0f);
}

TEST_F(WeUICreateTest, WindowsTakeCaptionStyleTitleSideAndPanelSkin)
{
    SetString("UI.Components.CreateWin", ",100,100,400,300,1");
    SetString("UI.Components.CreatePanel", "PanelTestSkin,10,20,30,40");
    SetPart("PanelTestSkin", 5, 6, 7, 8);
    g_UIMain.m_CaptionFontSize = 18;
    g_UIMain.m_CaptionColorCode = int32_t(0xFF27414B);
    WeUIWindow* w = g_UIMain.CreateWindow(WeString("CreateWin"), WeString("Title"), WeString(""));
    EXPECT_EQ(w->m_TitleAtRight, 1);
    EXPECT_EQ(w->m_TitleBar->m_PixelX, 400 - g_UIMain.ToPixelX(g_UIMain.m_TitleWidth));
    EXPECT_EQ(w->m_Caption->m_Size, 18);
    EXPECT_FLOAT_EQ(w->m_Caption->m_Colour[0], 0x27 / 255.0f);
    EXPECT_NE(w->m_Frame, nullptr);
    WeUIWindow* panel = g_UIMain.CreatePanelWindow(WeString("CreatePanel"), WeString("P"), WeString(""));
    ASSERT_NE(panel->m_Background, nullptr);
    EXPECT_EQ(panel->m_Background->m_Normal.x, 5);
    EXPECT_EQ(panel->m_TitleAtRight, 0);
    EXPECT_EQ(panel->m_PixelWidth, 30);
    // From a rectangle: no layout line, the caption keeps the text defaults.
    WeUIWindow* r = g_UIMain.CreateWindowFromRect(WeString("CreateWin"), WeString("R"), WeString(""), 1, 2, 3, 4);
    EXPECT_EQ(r->m_PixelWidth, 3);
    EXPECT_EQ(r->m_Caption->m_Size, 14);
    EXPECT_EQ(r->m_TitleAtRight, 0);
}

TEST_F(WeUICreateTest, LabelTakesShadowFaceSizeColourAndFormat)
{
    SetString("UI.Components.CreateLabel", ",10,20,200,30");
    SetString("UI.Components.CreateLabel$Shadow", "2,2,#80000000");
    SetInt("UI.Components.CreateLabel$Font", 20);
    SetString("UI.Components.CreateLabel$FontName", "DejaVu Sans");
    g_UIMain.m_DefaultColorCode = int32_t(0xFFC0E8FF);
    WeUILabel* l = g_UIMain.CreateLabel(WeString("CreateLabel"), WeString("text"), WeString(""), -1);
    EXPECT_EQ(l->m_Text->m_Shadow, 1);
    EXPECT_EQ(l->m_Text->m_ShadowPixelDX, 2);
    EXPECT_EQ(l->m_Text->m_ShadowPixelDY, 2);
    EXPECT_FLOAT_EQ(l->m_Text->m_ShadowColour[3], 128.0f / 255);
    EXPECT_EQ(l->m_Text->m_Size, 20);
    EXPECT_STREQ(l->m_Text->m_Face.c_str(), "DejaVu Sans");
    EXPECT_EQ(l->m_Text->m_Font, g_UIMain.GetFont(20, WeString("DejaVu Sans")));
    EXPECT_FLOAT_EQ(l->m_Text->m_Colour[0], 0xC0 / 255.0f);
    EXPECT_EQ(l->m_Text->m_Format, 0x14);  // -1 keeps the label's own
    EXPECT_EQ(l->m_Text->m_OffsetPixelX, 4);
    WeUILabel* plain = g_UIMain.CreateLabel(WeString("CreatePlainLabel"), WeString("t"), WeString(""), 1);
    EXPECT_EQ(plain->m_Text->m_Shadow, 0);
    EXPECT_EQ(plain->m_Text->m_Format, 1);
    EXPECT_EQ(plain->m_Text->m_Size, g_UIMain.m_DefaultFontSize);
}

TEST_F(WeUICreateTest, PictureColourFullScreenAndSkinButton)
{
    SetString("UI.Components.CreatePic", ",0,0,512,384");
    SetInt("UI.Components.CreatePic$Color", int32_t(0x80FF0000));
    GetConfigBool(WeString("UI.Components.CreatePicFull$FullScreen"), false) = true;
    SetString("UI.Components.CreatePicFull", ",0,0,1024,768");
    WeUIPicture* p = g_UIMain.CreatePicture(WeString("CreatePic"), WeString(""));
    EXPECT_FLOAT_EQ(p->m_Colour[0], 1.0f);
    EXPECT_FLOAT_EQ(p->m_Colour[3], 128.0f / 255);
    EXPECT_EQ(p->m_PixelWidth, 512);
    g_UIMain.OnResize(1280, 720);
    WeUIPicture* full = g_UIMain.CreatePicture(WeString("CreatePicFull"), WeString(""));
    EXPECT_EQ(full->m_FullScreen, 1);
    EXPECT_EQ(full->GetScreenX(), 0);
    EXPECT_EQ(full->m_PixelWidth, 1280);
    WeUIButton* skin =
        g_UIMain.CreateSkinButton(WeString("CreateSkinBtn"), WeString(""), WeString(""), WeString("SkinBtnTest"));
    EXPECT_FLOAT_EQ(skin->m_Width, 10.0f / 1024);
}

}  // namespace
