// Windows: the title tab above the top edge at the left or right end, the frame or plain background,
// a flush before each window so that what lies under it (texts included) is drawn first, and re-placing
// everything when the screen changes.
#include <gtest/gtest.h>

#include "Engine/ui/WeUINinePartRect.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

class WeUIWindowTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        for (const char* p : {"WindowTopLeft", "WindowTop", "WindowTopRight", "WindowLeft", "WindowBackground",
                              "WindowRight", "WindowBottomLeft", "WindowBottom", "WindowBottomRight", "Titlebar"})
            SetPart(p, 0, 0, 16, 16);
    }
    static WeUIWindow* Make(const char* name, bool plain = false, const char* skin = "")
    {
        return new WeUIWindow(Root(), WeString(name), WeString("Caption"), 100.0f / 1024, 100.0f / 768, 400.0f / 1024,
                              300.0f / 768, 100.0f / 1024, 100.0f / 768, plain, WeString(skin));
    }
};

TEST_F(WeUIWindowTest, TitleBarSitsAboveTheWindowAtEitherEnd)
{
    WeUIWindow* w = Make("win");
    w->Render();
    EXPECT_EQ(w->m_TitleBar->m_DrawX, 100);
    EXPECT_EQ(w->m_TitleBar->m_DrawY, 0);
    EXPECT_EQ(w->m_TitleBar->m_DrawWidth, 100);
    EXPECT_EQ(w->m_TitleBar->m_DrawHeight, 100);
    EXPECT_EQ(w->m_Caption->m_DrawX, 100);
    w->m_TitleAtRight = 1;
    w->LayoutTitle();
    w->Render();
    EXPECT_EQ(w->m_TitleBar->m_DrawX, 400);
    EXPECT_EQ(w->m_Caption->m_DrawX, 400);
    // The tab is not part of the window's hit area.
    EXPECT_FALSE(w->HitTest(450, 50));
    EXPECT_TRUE(w->HitTest(450, 150));
    g_Canvas.m_Texts.Clear();
}

TEST_F(WeUIWindowTest, ShowTitleOffDrawsOnlyTheFrame)
{
    WeUIWindow* w = Make("win");
    w->Render();
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 1);
    EXPECT_EQ(SkinQuads().size(), 10u);  // tab and nine frame parts
    g_GfxRecorder.ClearLog();
    w->m_ShowTitle = 0;
    w->Render();
    EXPECT_EQ(g_Canvas.GetQueuedTextCount(), 0);
    EXPECT_EQ(SkinQuads().size(), 9u);
}

TEST_F(WeUIWindowTest, PanelWithoutSkinKeysDrawsOneQuad)
{
    WeUIWindow* w = Make("panel", true, "WindowTestNoSuchPanel");
    ASSERT_NE(w->m_Background, nullptr);
    EXPECT_EQ(w->m_Frame, nullptr);
    EXPECT_FLOAT_EQ(w->m_Background->m_Normal.u1, 0.0f);
    w->m_ShowTitle = 0;
    w->Render();
    auto quads = SkinQuads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].x0, 100.0f);
    EXPECT_EQ(quads[0].x1, 500.0f);
}

TEST_F(WeUIWindowTest, EachWindowFlushesWhatLiesUnderIt)
{
    // Root draws the back of its child list first: the first window created is drawn last.
    WeUIWindow* top = Make("top");
    WeUIWindow* bottom = Make("bottom");
    (void)top;
    (void)bottom;
    g_UIMain.DrawMainLayer();
    auto quads = Quads();
    ASSERT_FALSE(quads.empty());
    // Bottom's quads, then bottom's caption glyphs, then top's quads: three or more draws, the caption's
    // glyphs in a draw between the two windows' skin draws.
    IDirect3DBaseTexture9* skin = g_UIMain.m_SkinTexture->GetD3DTexture();
    std::vector<int> skinDraws, glyphDraws;
    for (const UIQuad& q : quads)
        (q.texture == skin ? skinDraws : glyphDraws).push_back(q.draw);
    ASSERT_FALSE(glyphDraws.empty());
    EXPECT_LT(skinDraws.front(), glyphDraws.front());
    EXPECT_GT(skinDraws.back(), glyphDraws.front());
}

TEST_F(WeUIWindowTest, ResizingTheScreenReplacesEveryPart)
{
    WeUIWindow* w = Make("win");
    g_UIMain.OnResize(2048, 1536);
    EXPECT_EQ(w->m_TitleBar->m_PixelY, -200);
    EXPECT_EQ(w->m_TitleBar->m_PixelWidth, 200);
    EXPECT_EQ(w->m_Caption->m_PixelWidth, 200);
    EXPECT_EQ(w->m_Frame->m_PixelWidth, 800);
    EXPECT_EQ(w->m_Frame->m_BottomRight->m_PixelX, 800 - 32);
    EXPECT_EQ(w->m_Frame->m_BottomRight->m_PixelWidth, 32);
}

}  // namespace
