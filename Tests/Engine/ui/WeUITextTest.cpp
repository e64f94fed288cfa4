// Widget texts on the recording device: placement relative to the owner, fading with it, the shadow's
// offset on a scaled layout, wrapping in GetExtent, and fonts changing only through UpdateFont.
#include <gtest/gtest.h>

#include <cmath>

#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIText.h"
#include "Tests/Engine/ui/UITestSupport.h"

namespace
{

class WeUITextTest : public UIRenderTest
{
protected:
    // The canvas's queued texts, oldest first.
    static std::vector<WeCanvasTextNode*> Queued()
    {
        std::vector<WeCanvasTextNode*> nodes;
        for (auto* n = g_Canvas.m_Texts.FirstNode(); n != nullptr; n = g_Canvas.m_Texts.NextNode(n))
            nodes.push_back(&n->payload);
        return nodes;
    }
};

TEST_F(WeUITextTest, DrawsAtTheOwnerWithItsAlphaAndTheShadowFirst)
{
    auto* owner = new WeUIComponent(Root(), WeString("owner"));
    owner->SetRect(100.0f / 1024, 50.0f / 768, 0.5f, 0.5f);
    owner->m_Alpha = 0.5;
    owner->Update();
    WeUIText text(owner, WeString("Hi"), 10.0f / 1024, 20.0f / 768, 200.0f / 1024, 30.0f / 768);
    text.m_Shadow = 1;
    text.SetShadow(0, 0, 0, 1, 2.0f / 1024, 3.0f / 768);
    text.Draw();
    auto q = Queued();
    ASSERT_EQ(q.size(), 2u);
    // Shadow first, offset by its pixels; both at the owner's alpha.
    EXPECT_EQ(q[0]->x, 112);
    EXPECT_EQ(q[0]->y, 73);
    EXPECT_EQ(q[1]->x, 110);
    EXPECT_EQ(q[1]->y, 70);
    EXPECT_EQ(q[1]->width, 200);
    EXPECT_EQ(q[1]->height, 30);
    EXPECT_EQ(q[1]->flags, 5);
    EXPECT_EQ(WeUIPackArgb(q[1]->red, q[1]->green, q[1]->blue, q[1]->alpha), 0x80FFFFFFu);
    EXPECT_EQ(WeUIPackArgb(q[0]->red, q[0]->green, q[0]->blue, q[0]->alpha), 0x80000000u);
    g_Canvas.m_Texts.Clear();
    // An outlined text queues the outline around it in the outline colour, then itself.
    text.m_Shadow = 0;
    text.m_Outline = 1;
    text.Draw();
    EXPECT_EQ(Queued().size(), 5u);
    g_Canvas.m_Texts.Clear();
}

TEST_F(WeUITextTest, ShadowOffsetScalesWithTheLayoutArea)
{
    g_UIMain.OnResize(2048, 1536);
    WeUIText text(Root(), WeString("x"), 0, 0, 0.1f, 0.1f);
    text.SetShadow(0, 0, 0, 1, 2.0f / 1024, 2.0f / 768);
    EXPECT_EQ(text.m_ShadowPixelDX, 4);
    EXPECT_EQ(text.m_ShadowPixelDY, 4);
    text.SetOffsetX(4.0f / 1024);
    EXPECT_EQ(text.m_OffsetPixelX, 8);
}

TEST_F(WeUITextTest, WrappedExtentStaysInTheBoxAndInsertsBreaks)
{
    WeUIText text(Root(),
                  WeString("the quick brown fox jumps over the lazy dog, again and again and again, and once more"), 0,
                  0, 200.0f / 1024, 100.0f / 768);
    text.m_Size = 16;
    text.UpdateFont();
    float w = 0, h = 0;
    text.GetExtent(&w, &h);
    float oneLineW = 0, oneLineH = 0;
    WeUIText line(Root(), WeString("the"), 0, 0, 1, 1);
    line.m_Size = 16;
    line.UpdateFont();
    line.GetExtent(&oneLineW, &oneLineH);
    EXPECT_EQ(text.m_Text.Find("\n"), -1);
    text.m_Format |= WeUITextWrap;
    text.GetExtent(&w, &h);
    EXPECT_LE(w, 200.0f / 1024);
    EXPECT_GE(h, 3 * oneLineH * 0.99f);
    EXPECT_GE(text.m_Text.Find("\n"), 0);
}

TEST_F(WeUITextTest, SizeChangesOnlyThroughUpdateFontAndNoFontDrawsNothing)
{
    WeUIText text(Root(), WeString("a"), 0, 0, 0.1f, 0.1f);
    WeFont* before = text.m_Font;
    ASSERT_NE(before, nullptr);
    text.m_Size = 30;
    text.Draw();
    EXPECT_EQ(Queued().back()->font, before);
    text.UpdateFont();
    EXPECT_NE(text.m_Font, before);
    g_Canvas.m_Texts.Clear();
    text.m_Font = nullptr;
    text.Draw();
    EXPECT_TRUE(Queued().empty());
}

TEST(WeUITextPack, ChannelsClampAndRoundAndNanIsZero)
{
    EXPECT_EQ(WeUIPackArgb(1.5f, -1.0f, 0.5f, 0.5f), 0x80FF0080u);
    EXPECT_EQ(WeUIPackArgb(0.0f, 1.0f, 0.999f, 1.0f), 0xFF00FFFFu);
    // A fade of 0 / 0 must not reach a float-to-integer conversion.
    EXPECT_EQ(WeUIPackArgb(NAN, 1.0f, NAN, NAN), 0x0000FF00u);
}

}  // namespace
