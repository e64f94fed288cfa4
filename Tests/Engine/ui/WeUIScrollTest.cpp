// Scroll bars and scroll frames through the real dispatch and canvas: the thumb placed by the position,
// clamping, steps from buttons, track and wheel, dragging by the full range, the bars of a frame placed at
// its view and shown only for content that does not fit, children shifted by the offset, the wheel factor
// and the scissor around what the frame draws.
#include <gtest/gtest.h>

#include <cmath>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/ui/WeUIHScrollBar.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIVScrollBar.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

int g_Changes = 0;

int32_t CountChange(WeUIComponent*)
{
    ++g_Changes;
    return 7;
}

constexpr float X(float px)
{
    return px / 1024.0f;
}
constexpr float Y(float px)
{
    return px / 768.0f;
}

class WeUIScrollTest : public UIRenderTest
{
protected:
    void SetUp() override
    {
        UIRenderTest::SetUp();
        g_Changes = 0;
        for (const char* state : {"_Normal", "_Over", "_Clicked"})
        {
            SetPart((std::string("VScrollBarUpButton") + state).c_str(), 0, 0, 16, 16);
            SetPart((std::string("VScrollBarDownButton") + state).c_str(), 16, 0, 16, 16);
            SetPart((std::string("VScrollBarThumb") + state).c_str(), 32, 0, 16, 32);
            SetPart((std::string("HScrollBarLeftButton") + state).c_str(), 0, 32, 16, 16);
            SetPart((std::string("HScrollBarRightButton") + state).c_str(), 16, 32, 16, 16);
            SetPart((std::string("HScrollBarThumb") + state).c_str(), 32, 32, 32, 16);
        }
        SetPart("VScrollBarSegment", 48, 0, 16, 16);
        SetPart("HScrollBarSegment", 48, 32, 16, 16);
    }
    static void Move(int x, int y, int z = 0)
    {
        g_UIMain.PostMouseMove(x, y, z);
        g_UIMain.ProcessEvents();
    }
    static void Click(int x, int y)
    {
        g_UIMain.PostMouseMove(x, y, 0);
        g_UIMain.PostMouseDown(0);
        g_UIMain.PostMouseUp(0);
        g_UIMain.ProcessEvents();
    }
    // A vertical bar at (100, 100), 16 x 216 reference pixels: a track of 184 pixels from y 116, thumb 32.
    static WeUIVScrollBar* VBar()
    {
        auto* bar = new WeUIVScrollBar(Root(), WeString("bar"), X(100), Y(100), X(16), Y(216));
        bar->m_OnChange = CountChange;
        return bar;
    }
};

TEST_F(WeUIScrollTest, SetPositionClampsAndPlacesTheThumb)
{
    WeUIVScrollBar* v = VBar();
    auto* h = new WeUIHScrollBar(Root(), WeString("hbar"), X(100), Y(400), X(216), Y(16));
    EXPECT_EQ(v->m_DragRange, 152);
    EXPECT_EQ(h->m_DragRange, 152);
    EXPECT_STREQ(v->m_FirstButton->m_Name.c_str(), "barButtonUp");
    EXPECT_STREQ(h->m_SecondButton->m_Name.c_str(), "hbarButtonRight");
    struct
    {
        float set, stored;
        int thumb;
    } cases[] = {{1.5f, 1.0f, 268}, {-1.0f, 0.0f, 116}, {0.5f, 0.5f, 192}, {NAN, 0.0f, 116}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.set);
        v->SetPosition(c.set);
        h->SetPosition(c.set);
        EXPECT_EQ(v->GetPosition(), c.stored);
        EXPECT_EQ(h->GetPosition(), c.stored);
        EXPECT_NEAR(v->m_Thumb->GetScreenY(), c.thumb, 1);
        EXPECT_NEAR(h->m_Thumb->GetScreenX(), c.thumb, 1);
        EXPECT_EQ(v->m_Thumb->GetScreenX(), 100);
    }
    EXPECT_EQ(g_Changes, 0);
    // A resize keeps the thumb where the position puts it.
    v->SetPosition(1.0f);
    v->SetRect(X(100), Y(100), X(16), Y(216));
    EXPECT_NEAR(v->m_Thumb->GetScreenY(), 268, 1);
}

TEST_F(WeUIScrollTest, ButtonsTrackAndWheelStepAndOnlyUserChangesCallBack)
{
    WeUIVScrollBar* bar = VBar();
    bar->SetPosition(0.5f);
    Click(108, 108);  // up button
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.4f);
    Click(108, 308);  // down button
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    Click(108, 290);  // track below the thumb
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.6f);
    Click(108, 120);  // track above it
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    EXPECT_EQ(g_Changes, 4);
    // The wheel motion riding on a move: up is -0.1, down +0.1, without the change callback.
    Move(108, 120, 120);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.4f);
    Move(108, 120, -240);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    EXPECT_EQ(g_Changes, 4);
}

TEST_F(WeUIScrollTest, DraggingTheFullRangeGivesOneAndFurtherDragsClamp)
{
    WeUIVScrollBar* bar = VBar();
    Move(108, 132);
    g_UIMain.PostMouseDown(0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(bar->m_Dragging, 1);
    Move(108, 132 + 76);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    Move(108, 132 + 152);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
    Move(108, 600);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
    Move(108, 0);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.0f);
    g_UIMain.PostMouseUp(0);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(bar->m_Dragging, 0);
    EXPECT_EQ(g_Changes, 5);
}

TEST_F(WeUIScrollTest, AThumbAsLongAsTheTrackDoesNotMove)
{
    SetPart("VScrollBarThumb_Normal", 32, 0, 16, 184);
    WeUIVScrollBar* bar = VBar();
    EXPECT_EQ(bar->m_DragRange, 0);
    Move(108, 150);
    g_UIMain.PostMouseDown(0);
    g_UIMain.ProcessEvents();
    Move(108, 250);
    EXPECT_EQ(bar->GetPosition(), 0.0f);
    g_UIMain.PostMouseUp(0);
    g_UIMain.ProcessEvents();
}

class WeUIScrollFrameTest : public WeUIScrollTest
{
protected:
    void SetUp() override
    {
        WeUIScrollTest::SetUp();
        host = new WeUIComponent(Root(), WeString("host"));
        host->SetRect(X(100), Y(50), X(600), Y(400));
        frame = new WeUIScrollFrame(host, WeString("frame"), X(20), Y(30), X(300), Y(200));
        frame->SetContentWidth(X(300));
        float black[4] = {0, 0, 0, 1};
        child = new WeUILabel(frame, WeString("child"), WeString(""), 0, 0, X(300), Y(40), false, 0, 0, black);
        child->m_NoBackground = 0;
        child->m_BubbleMouseMove = 1;
    }
    WeUIComponent* host = nullptr;
    WeUIScrollFrame* frame = nullptr;
    WeUILabel* child = nullptr;
};

TEST_F(WeUIScrollFrameTest, ContentUpToTheViewHidesTheBarAndStaysUnshifted)
{
    struct
    {
        float height;
        bool shown;
    } cases[] = {{Y(200), false}, {Y(200) + 0.0009f, false}, {Y(200) + 0.002f, true}, {Y(600), true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.height);
        frame->SetContentHeight(c.height);
        frame->m_VScroll->SetPosition(1.0f);
        EXPECT_EQ(frame->m_VScroll->m_Visible != 0, c.shown);
        EXPECT_EQ(frame->m_HScroll->m_Visible, 0);
        EXPECT_EQ(child->GetScreenX(), 120);
        if (!c.shown)
        {
            EXPECT_EQ(child->GetScreenY(), 80);
        }
    }
    // Shown and scrolled to the end: the children move up by the content's overhang.
    EXPECT_EQ(child->GetScreenY(), 80 - 400);
    frame->m_VScroll->SetPosition(0.5f);
    EXPECT_EQ(child->GetScreenY(), 80 - 200);
    // New content starts again at the top.
    frame->SetContentHeight(Y(500));
    EXPECT_EQ(frame->m_VScroll->GetPosition(), 0.0f);
}

TEST_F(WeUIScrollFrameTest, BarsSitAtTheViewWhereverItLies)
{
    struct
    {
        float contentW, contentH;
        int vx, vy, vh, hx, hy, hw;
    } cases[] = {
        // both: the vertical bar stops above the horizontal one
        {X(400), Y(300), 304, 30, 184, 20, 214, 284},
        // vertical only: full height
        {X(300), Y(300), 304, 30, 200, 20, 214, 300},
        // horizontal only: directly below the view
        {X(400), Y(200), 304, 30, 200, 20, 230, 284},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.hy);
        frame->SetContentWidth(c.contentW);
        frame->SetContentHeight(c.contentH);
        WeUIComponent* v = frame->m_VScroll;
        WeUIComponent* h = frame->m_HScroll;
        EXPECT_EQ(v->m_Parent, host);
        // Fractions of 768 are not exact in float: a pixel either way is rounding.
        EXPECT_EQ(v->m_PixelX, c.vx);
        EXPECT_EQ(v->m_PixelY, c.vy);
        EXPECT_EQ(v->m_PixelWidth, 16);
        EXPECT_NEAR(v->m_PixelHeight, c.vh, 1);
        EXPECT_EQ(h->m_PixelX, c.hx);
        EXPECT_NEAR(h->m_PixelY, c.hy, 1);
        EXPECT_EQ(h->m_PixelWidth, c.hw);
        EXPECT_NEAR(h->m_PixelHeight, 16, 1);
    }
}

TEST_F(WeUIScrollFrameTest, WheelScrollsByFactorAndMovesByATenth)
{
    frame->SetContentHeight(Y(600));
    GetConfigFloat(WeString("game.Input.MouseWheelFactor"), 0.001f) = 0.001f;
    Move(200, 100);
    ASSERT_EQ(g_UIMain.m_Hovered, child);
    g_UIMain.PostMouseWheel(-120);
    g_UIMain.ProcessEvents();
    EXPECT_NEAR(frame->m_VScroll->GetPosition(), 0.12f, 1e-6);
    // One notch as the engine posts it: the motion on the move and the wheel message.
    g_UIMain.PostMouseMove(200, 100, -120);
    g_UIMain.PostMouseWheel(-120);
    g_UIMain.ProcessEvents();
    EXPECT_NEAR(frame->m_VScroll->GetPosition(), 0.34f, 1e-6);
    g_UIMain.PostMouseWheel(1200);
    g_UIMain.ProcessEvents();
    EXPECT_EQ(frame->m_VScroll->GetPosition(), 0.0f);
}

TEST_F(WeUIScrollFrameTest, HitsOnlyInsideTheView)
{
    frame->SetContentHeight(Y(600));
    EXPECT_TRUE(frame->HitTest(120, 80));
    EXPECT_TRUE(frame->HitTest(420, 280));
    EXPECT_FALSE(frame->HitTest(120, 281));
    EXPECT_FALSE(frame->HitTest(119, 100));
    // Content scrolled above the view is not reached through the frame.
    frame->m_VScroll->SetPosition(0.5f);
    Move(200, 60);
    EXPECT_NE(g_UIMain.m_Hovered, child);
}

TEST_F(WeUIScrollFrameTest, ChildrenAreDrawnInsideAScissorAroundTheView)
{
    float black[4] = {0, 0, 0, 1};
    auto* before = new WeUILabel(Root(), WeString("before"), WeString(""), 0, 0, X(10), Y(10), false, 0, 0, black);
    before->m_NoBackground = 0;
    before->SendToBack();
    frame->SetContentHeight(Y(600));
    Ticks(1);
    g_GfxRecorder.ClearLog();
    g_UIMain.DrawMainLayer();
    auto quads = Quads();
    auto draws = g_GfxRecorder.Draws();
    ASSERT_GE(quads.size(), 2u);
    // The label drawn before the frame lies in a batch of its own without the scissor.
    const GfxDrawRecord* first = draws[size_t(quads[0].draw)];
    EXPECT_EQ(first->state.renderStates[D3DRS_SCISSORTESTENABLE], 0u);
    const UIQuad* inside = nullptr;
    for (const UIQuad& q : quads)
        if (q.x0 == 120.0f)
            inside = &q;
    ASSERT_NE(inside, nullptr);
    const GfxDrawRecord* clipped = draws[size_t(inside->draw)];
    EXPECT_EQ(clipped->state.renderStates[D3DRS_SCISSORTESTENABLE], 1u);
    EXPECT_EQ(clipped->state.scissor.left, 120);
    EXPECT_EQ(clipped->state.scissor.top, 80);
    EXPECT_EQ(clipped->state.scissor.right, 420);
    EXPECT_EQ(clipped->state.scissor.bottom, 280);
    EXPECT_EQ(g_RenderDevice.m_ScissorEnabled, 0);
}

}  // namespace
