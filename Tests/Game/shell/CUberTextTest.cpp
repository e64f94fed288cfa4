// Animated screen texts on the recording canvas: the styles at the start and halfway through their in and
// out animations, the parts' exact lengths, the scale keys, the message rows, random styles and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "Engine/render/WeRenderDevice.h"
#include "Game/shell/CUberText.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/shell/HudTestSupport.h"

namespace
{

class CUberTextTest : public HudRecording
{
protected:
    static void Run(CUberText& text, int updates)
    {
        for (int i = 0; i < updates; ++i)
            text.Update();
    }
    // A placed text of ten characters at (0.4, 0.6), one second for each part.
    static std::unique_ptr<CUberText> Placed(int32_t in, int32_t out)
    {
        auto text = std::make_unique<CUberText>(WeString("ABCDEFGHIJ"), 0.4f, 0.6f, in, out);
        text->SetInTime(1.0f);
        text->SetHoldTime(1.0f);
        text->SetOutTime(1.0f);
        return text;
    }
};

struct Look
{
    float x, y, alpha;
    int chars;
};

struct StyleCase
{
    int32_t style;
    Look inStart, inHalf, outStart, outHalf;
};

void ExpectLook(const CUberText& text, const Look& look, const char* where, int32_t style)
{
    SCOPED_TRACE(testing::Message() << "style " << style << " " << where);
    EXPECT_NEAR(text.GetDrawnX(), look.x, 1e-5f);
    EXPECT_NEAR(text.GetDrawnY(), look.y, 1e-5f);
    EXPECT_NEAR(text.GetAlpha(), look.alpha, 1e-5f);
    EXPECT_EQ(text.GetShownText().Length(), look.chars);
}

TEST_F(CUberTextTest, EveryStyleAtTheStartAndHalfwayThroughItsInAndOutAnimations)
{
    const Look home{0.4f, 0.6f, 1.0f, 10};
    const StyleCase cases[] = {
        {1, {0.4f, 0.6f, 0.0f, 10}, {0.4f, 0.6f, 0.5f, 10}, home, {0.4f, 0.6f, 0.5f, 10}},
        {2, {0.4f, 1.0f, 0.0f, 10}, {0.4f, 0.8f, 0.5f, 10}, home, {0.4f, 0.29f, 0.5f, 10}},
        {3, {0.4f, -0.02f, 0.0f, 10}, {0.4f, 0.29f, 0.5f, 10}, home, {0.4f, 0.81f, 0.5f, 10}},
        {4, {1.0f, 0.6f, 0.0f, 10}, {0.7f, 0.6f, 0.5f, 10}, home, {0.2f, 0.6f, 0.5f, 10}},
        {5, {0.0f, 0.6f, 0.0f, 10}, {0.2f, 0.6f, 0.5f, 10}, home, {0.7f, 0.6f, 0.5f, 10}},
        {106, {0.4f, 0.6f, 1.0f, 0}, {0.4f, 0.6f, 1.0f, 5}, home, {0.4f, 0.6f, 1.0f, 5}},
        {206, {0.4f, 0.6f, 1.0f, 10}, {0.4f, 0.6f, 0.5f, 10}, {0.4f, 0.6f, 0.0f, 10}, {0.4f, 0.6f, 0.5f, 10}},
        {207, {0.4f, 0.6f, 0.0f, 10}, {0.4f, 0.6f, 0.5f, 10}, home, home},
    };
    for (const StyleCase& c : cases)
    {
        auto text = Placed(c.style, c.style);
        Run(*text, 1);
        EXPECT_EQ(text->GetState(), CUberText::StateIn);
        ExpectLook(*text, c.inStart, "in, t = 0", c.style);
        Run(*text, 32);
        ExpectLook(*text, c.inHalf, "in, t = 0.5", c.style);
        // The in part ends after exactly its second: at home, whole, in the hold.
        Run(*text, 32);
        EXPECT_EQ(text->GetState(), CUberText::StateHold);
        ExpectLook(*text, home, "hold", c.style);
        Run(*text, 64);
        EXPECT_EQ(text->GetState(), CUberText::StateOut);
        ExpectLook(*text, c.outStart, "out, t = 0", c.style);
        Run(*text, 32);
        ExpectLook(*text, c.outHalf, "out, t = 0.5", c.style);
        Run(*text, 31);
        EXPECT_FALSE(text->IsFinished());
        Run(*text, 1);
        EXPECT_TRUE(text->IsFinished());
        EXPECT_EQ(text->GetState(), CUberText::StateDone);
    }
}

TEST_F(CUberTextTest, StyleZeroShowsTheTextAtOnceForExactlyTheHoldTime)
{
    CUberText text(WeString("GO"), 0.5f, 0.5f, 0, 0);
    text.SetShadow(false);
    text.SetHoldTime(0.75f);
    int shown = 0;
    for (int frame = 0; frame < 200; ++frame)
    {
        text.Update();
        text.Draw();
        auto texts = TakeTexts();
        if (!texts.empty())
        {
            ++shown;
            EXPECT_EQ(texts[0].text, "GO");
            EXPECT_FLOAT_EQ(texts[0].alpha, 1.0f);
        }
    }
    EXPECT_EQ(shown, 48);  // 0.75 s of 1/64 s frames
    EXPECT_TRUE(text.IsFinished());
}

TEST_F(CUberTextTest, ZeroTimesAndBadTimesNeverHoldATextForever)
{
    // A hold of 0 and an out of 0 (the countdown's): gone as soon as its half second of in is over.
    CUberText countdown(WeString("3"), 0.5f, 0.5f, 206, 206);
    countdown.SetHoldTime(0.0f);
    countdown.SetOutTime(0.0f);
    Run(countdown, 32);
    EXPECT_FALSE(countdown.IsFinished());
    Run(countdown, 1);
    EXPECT_TRUE(countdown.IsFinished());

    CUberText bad(WeString("x"), 0.5f, 0.5f, 1, 1);
    bad.SetInTime(std::numeric_limits<float>::quiet_NaN());
    bad.SetHoldTime(-5.0f);
    bad.SetOutTime(std::numeric_limits<float>::quiet_NaN());
    Run(bad, 2);
    EXPECT_TRUE(bad.IsFinished());
}

TEST_F(CUberTextTest, TheScaleFollowsItsFourKeysAndReachesTheCanvas)
{
    auto text = Placed(1, 1);
    text->SetScaleKey(2.0f, 0);
    text->SetScaleKey(4.0f, 1);
    text->SetScaleKey(3.0f, 2);
    text->SetScaleKey(1.0f, 3);
    Run(*text, 1);
    EXPECT_FLOAT_EQ(text->GetScale(), 2.0f);
    Run(*text, 32);
    EXPECT_FLOAT_EQ(text->GetScale(), 3.0f);
    Run(*text, 32 + 32);
    EXPECT_FLOAT_EQ(text->GetScale(), 3.5f);
    Run(*text, 32 + 32);
    EXPECT_FLOAT_EQ(text->GetScale(), 2.0f);
    text->SetShadow(false);
    text->Draw();
    auto texts = TakeTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FLOAT_EQ(texts[0].scale, 2.0f);

    // Below 0 is 0; an index above 3 sets all four; a negative index none.
    text->SetScaleKey(-1.0f, 7);
    for (float key : text->m_ScaleKeys)
        EXPECT_EQ(key, 0.0f);
    text->SetScaleKey(5.0f, -1);
    for (float key : text->m_ScaleKeys)
        EXPECT_EQ(key, 0.0f);

    // Style 206 grows from nothing on the way out, whatever the keys.
    auto grow = Placed(1, 206);
    Run(*grow, 64 + 64 + 1 + 16);
    EXPECT_FLOAT_EQ(grow->GetScale(), 0.25f);
}

TEST_F(CUberTextTest, MessagesTakeTheLowestFreeRowAndAnEleventhIsNeverShown)
{
    std::vector<std::unique_ptr<CUberText>> messages;
    for (int i = 0; i < 10; ++i)
    {
        messages.push_back(std::make_unique<CUberText>(WeString("kill"), 1, 1, nullptr));
        EXPECT_EQ(messages.back()->GetRow(), i);
        EXPECT_FLOAT_EQ(messages.back()->m_Y, 0.3f + 0.02f * float(i + 1));
    }
    auto eleventh = std::make_unique<CUberText>(WeString("lost"), 1, 1, nullptr);
    EXPECT_EQ(eleventh->GetRow(), -1);
    EXPECT_TRUE(eleventh->IsFinished());
    eleventh->Update();
    eleventh->Draw();
    EXPECT_TRUE(TakeTexts().empty());
    // Neither a message without a row nor a placed text gives back a row it never held.
    eleventh.reset();
    std::make_unique<CUberText>(WeString("placed"), 0.1f, 0.1f, 1, 1).reset();
    for (uint8_t row : g_UberTextRowFree)
        EXPECT_EQ(row, 0);

    messages[7].reset();
    messages[3].reset();
    auto next = std::make_unique<CUberText>(WeString("next"), 1, 1, nullptr);
    EXPECT_EQ(next->GetRow(), 3);
    auto after = std::make_unique<CUberText>(WeString("after"), 1, 1, nullptr);
    EXPECT_EQ(after->GetRow(), 7);
}

TEST_F(CUberTextTest, AMessageIsCentredInItsFontAndDrawnAtItsPixelPosition)
{
    WeFont* font = g_Game.m_Font32;
    CUberText message(WeString("WRONG WAY"), 0, 0, font);
    int32_t size[2] = {0, 0};
    font->GetTextExtent(WeString("WRONG WAY"), size, 0);
    EXPECT_FLOAT_EQ(message.GetWidth(), float(size[0]) / 1024.0f);
    EXPECT_FLOAT_EQ(message.m_X, 0.5f - message.GetWidth() / 2.0f);
    EXPECT_EQ(message.m_DefaultFont, 0);

    message.SetFormat(0);
    message.SetColor(1.0f, 0.0f, 0.0f, 0.5f);
    message.Update();
    message.Draw();
    auto texts = TakeTexts();
    ASSERT_EQ(texts.size(), 2u);
    // The shadow first, three reference pixels down and right, in a quarter of the colour.
    EXPECT_EQ(texts[1].x, int32_t(1024.0f * message.m_X));
    EXPECT_EQ(texts[1].y, int32_t(768.0f * message.m_Y));
    EXPECT_EQ(texts[0].x, texts[1].x + 3);
    EXPECT_EQ(texts[0].y, texts[1].y + 3);
    EXPECT_NEAR(texts[1].red, 1.0f, 1e-6f);
    EXPECT_NEAR(texts[1].alpha, 128.0f / 255.0f, 1e-6f);
    EXPECT_NEAR(texts[0].red, 64.0f / 255.0f, 1e-6f);
    EXPECT_EQ(texts[1].font, font);

    // Another font measures again and keeps the message centred.
    message.SetFont(g_Game.m_Font12);
    EXPECT_LT(message.GetWidth(), float(size[0]) / 1024.0f);
    EXPECT_FLOAT_EQ(message.m_X, 0.5f - message.GetWidth() / 2.0f);
    EXPECT_EQ(message.GetFont(), g_Game.m_Font12);
}

TEST_F(CUberTextTest, ARandomStyleIsOneOfTheSixAndFollowsTheSeed)
{
    std::set<int32_t> seen;
    for (uint32_t i = 1; i <= 200; ++i)
    {
        // Nearby seeds start alike; spread them.
        const uint32_t seed = i * 2654435761u;
        SysRandom::Seed(seed);
        int32_t first = SysRandom::Scaled(6) + 1;
        int32_t second = SysRandom::Scaled(6) + 1;
        SysRandom::Seed(seed);
        CUberText text(WeString("x"), 0.5f, 0.5f, -1, -1);
        EXPECT_EQ(text.GetInStyle(), first == 6 ? 106 : first);
        EXPECT_EQ(text.GetOutStyle(), second == 6 ? 106 : second);
        seen.insert(text.GetInStyle());
    }
    EXPECT_EQ(seen, (std::set<int32_t>{1, 2, 3, 4, 5, 106}));
}

TEST_F(CUberTextTest, ColoursArePackedClampedAndNotANumberDrawsBlack)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CUberText text(WeString("x"), 0.5f, 0.5f, 0, 0);
    text.SetShadow(false);
    text.SetColor(nan, 2.0f, -1.0f, 1.0f);
    text.Update();
    text.Draw();
    auto texts = TakeTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].red, 0.0f);
    EXPECT_EQ(texts[0].green, 1.0f);
    EXPECT_EQ(texts[0].blue, 0.0f);
    EXPECT_EQ(texts[0].alpha, 1.0f);

    // Idle, without a font, or far off the screen: nothing, or nothing that overflows.
    CUberText idle(WeString("idle"), 0.5f, 0.5f, 0, 0);
    idle.Draw();
    EXPECT_TRUE(TakeTexts().empty());
    CUberText far(WeString("far"), 1.0e30f, nan, 0, 0);
    far.SetShadow(false);
    far.Update();
    far.Draw();
    texts = TakeTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_LT(texts[0].x, 0);
    g_Game.m_Font24 = nullptr;
    CUberText fontless(WeString("none"), 0.5f, 0.5f, 0, 0);
    fontless.Update();
    fontless.Draw();
    EXPECT_TRUE(TakeTexts().empty());
}

TEST_F(CUberTextTest, TypingCountsCharactersNotBytes)
{
    // Four two-byte characters: halfway shows two whole ones.
    CUberText text(WeString("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"), 0.5f, 0.5f, 106, 106);
    text.SetInTime(1.0f);
    Run(text, 33);
    EXPECT_EQ(text.GetShownText(), "\xC3\xA9\xC3\xA9");
}

}  // namespace
