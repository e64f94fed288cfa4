// The simple widgets through the real dispatch and canvas: buttons clicked and cross-fading, labels with and
// without background and text, check boxes toggling before their callback, pictures hiding their children
// without a texture, progress bars keeping their lit fraction.
#include <gtest/gtest.h>

#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUICheckBox.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIProgressBar.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

std::vector<int> g_Seen;

int32_t RecordChecked(int32_t, WeUIComponent* sender)
{
    g_Seen.push_back(static_cast<WeUICheckBox*>(sender)->m_Checked);
    return 1;
}

int32_t RecordButton(int32_t button, WeUIComponent*)
{
    g_Seen.push_back(button);
    return 1;
}

class WeUIWidgetsTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_Seen.clear();
    }
    // Moves onto a point and clicks it with a button.
    static void Click(int x, int y, int button = 0)
    {
        g_UIMain.PostMouseMove(x, y, 0);
        g_UIMain.PostMouseDown(button);
        g_UIMain.PostMouseUp(button);
        g_UIMain.ProcessEvents();
    }
};

TEST_F(WeUIWidgetsTest, ButtonClickCallsBackAndHoverFadesTheOverImage)
{
    SetPart("WidgetBtn_Normal", 0, 0, 8, 8);
    SetPart("WidgetBtn_Over", 8, 0, 8, 8);
    SetPart("WidgetBtn_Clicked", 16, 0, 8, 8);
    auto* b = new WeUIButton(Root(), WeString("btn"), WeString("OK"), WeString("WidgetBtn"), 100.0f / 1024,
                             100.0f / 768, 200.0f / 1024, 50.0f / 768);
    b->m_OnMouseUp = RecordButton;
    Click(150, 120);
    EXPECT_EQ(g_Seen, std::vector<int>{0});
    g_UIMain.PostMouseMove(150, 120, 0);
    g_UIMain.ProcessEvents();
    Ticks(60);
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].x0, 100.0f);
    EXPECT_EQ(quads[0].x1, 300.0f);
    EXPECT_EQ(quads[1].Alpha(), 255u);  // hovered
    EXPECT_EQ(quads[2].Alpha(), 0u);
    // The caption is centred in the button's box.
    EXPECT_EQ(b->m_Caption->m_DrawX, 100);
    EXPECT_EQ(b->m_Caption->m_DrawWidth, 200);
}

TEST_F(WeUIWidgetsTest, LabelDrawsBackgroundOnlyWhenAskedAndTextOnlyWhenSet)
{
    float shadow[4] = {0, 0, 0, 1};
    auto* empty =
        new WeUILabel(Root(), WeString("empty"), WeString(""), 0, 0, 100.0f / 1024, 20.0f / 768, false, 0, 0, shadow);
    auto* child = new WeUILabel(empty, WeString("child"), WeString("child text"), 0, 0, 50.0f / 1024, 20.0f / 768,
                                false, 0, 0, shadow);
    (void)child;
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 0);  // flushed by the pass
    std::vector<UIQuad> quads = Quads();
    for (const UIQuad& q : quads)
        EXPECT_NE(q.texture, nullptr);  // glyphs only: no background quad
    EXPECT_FALSE(quads.empty());        // the child's text
    g_GfxRecorder.ClearLog();
    child->m_Text->m_Text = "";
    empty->m_NoBackground = 0;
    empty->m_Colour[1] = 0.0f;
    Ticks(1);
    g_UIMain.DrawMainLayer();
    quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].colour, 0xFFFF00FFu);
    EXPECT_EQ(quads[0].x1, 100.0f);
}

TEST_F(WeUIWidgetsTest, CheckBoxTogglesOnAnyButtonBeforeItsCallback)
{
    SetPart("CheckboxNormal", 0, 0, 16, 16);
    SetPart("CheckboxMark", 16, 0, 16, 16);
    auto* box = new WeUICheckBox(Root(), WeString("box"), WeString("Checkbox"), 10.0f / 1024, 10.0f / 768, 16.0f / 1024,
                                 16.0f / 768);
    box->m_OnMouseUp = RecordChecked;
    g_UIMain.m_AcceptedButtons = 0xFFFF;
    Click(15, 15, 0);
    Click(15, 15, 1);
    EXPECT_EQ(g_Seen, (std::vector<int>{1, 0}));
    box->m_Checked = 1;
    box->Render();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 1u);
    // The mark's part of the skin is what is drawn.
    g_GfxRecorder.ClearLog();
    EXPECT_EQ(box->m_MarkRect->m_DrawX, 10);
    EXPECT_EQ(box->m_NormalRect->m_DrawX, 0);
}

TEST_F(WeUIWidgetsTest, PictureWithoutTextureHidesItselfAndItsChildren)
{
    auto* pic = new WeUIPicture(Root(), WeString("pic"), 0, 0, 64.0f / 1024, 64.0f / 768);
    auto* inner = new WeUIPicture(pic, WeString("inner"), 0, 0, 32.0f / 1024, 32.0f / 768);
    inner->m_Texture = g_UIMain.m_SkinTexture;
    Ticks(1);
    g_UIMain.DrawMainLayer();
    EXPECT_TRUE(Quads().empty());
    pic->m_Texture = g_UIMain.m_SkinTexture;
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    auto quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].x1, 64.0f);
    EXPECT_EQ(quads[1].x1, 32.0f);
}

TEST_F(WeUIWidgetsTest, ProgressBarLightsItsMiddleAndKeepsTheFraction)
{
    SetPart("ProgressBarLeft", 0, 0, 8, 16);
    SetPart("ProgressBarRight", 8, 0, 8, 16);
    SetPart("ProgressBarMiddle", 16, 0, 8, 16);
    SetPart("ProgressBarLitSegment", 24, 0, 8, 16);
    auto* bar = new WeUIProgressBar(Root(), WeString("bar"), 0, 0, 216.0f / 1024, 16.0f / 768);
    EXPECT_FLOAT_EQ(bar->m_MiddleWidth, 200.0f / 1024);
    EXPECT_FLOAT_EQ(bar->m_LitSegment->m_Width, 0.0f);
    bar->SetValue(0.5f);
    EXPECT_FLOAT_EQ(bar->m_LitSegment->m_Width, 100.0f / 1024);
    EXPECT_EQ(bar->m_LitSegment->m_PixelX, 8);
    bar->SetRect(100.0f / 1024, 0, 416.0f / 1024, 16.0f / 768);
    EXPECT_FLOAT_EQ(bar->m_LitSegment->m_Width, 200.0f / 1024);
    EXPECT_EQ(bar->m_RightRect->m_PixelX, 408);
    // Not clamped: screens pass values in range.
    bar->SetValue(1.5f);
    EXPECT_FLOAT_EQ(bar->m_LitSegment->m_Width, 600.0f / 1024);
    bar->SetValue(1.0f);
    Ticks(1);
    bar->Render();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(quads[3].x0, 108.0f);
    EXPECT_EQ(quads[3].x1, 508.0f);
}

}  // namespace
