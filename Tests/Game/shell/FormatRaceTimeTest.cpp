// Race times as text, and the display's shadowed text helper on the recording canvas.
#include <gtest/gtest.h>

#include <limits>

#include "Game/shell/HudText.h"
#include "Tests/Game/shell/HudTestSupport.h"

namespace
{

TEST(FormatRaceTime, MinutesSecondsAndTruncatedHundredths)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float seconds;
        char separator;
        const char* text;
    } cases[] = {
        {65.375f, ':', "01:05:37"}, {3600.0f, ':', "60:00:00"},
        {0.0f, ':', "00:00:00"},    {59.999f, ':', "00:59:99"},
        {0.29f, '.', "00.00.28"},   {6000.5f, ':', "100:00:50"},
        {-0.5f, ':', "00:00:00"},   {inf, ':', "00:00:00"},
        {-inf, ':', "00:00:00"},    {std::numeric_limits<float>::quiet_NaN(), ':', "00:00:00"},
    };
    for (const auto& c : cases)
    {
        WeString out("Time ");
        FormatRaceTime(out, c.seconds, c.separator);
        EXPECT_EQ(out, WeString("Time ") + c.text) << c.seconds;
    }
    // A time beyond any clock keeps its digits without overflowing.
    WeString huge;
    FormatRaceTime(huge, 3.0e38f, ':');
    EXPECT_EQ(huge, "16666666:40:00");
}

class DrawHudTextTest : public HudRecording
{
protected:
    void SetUp() override { SetUpAt(1280, 720); }
};

TEST_F(DrawHudTextTest, DrawsShadowedAtTheScreenFractionWithItsFormat)
{
    DrawHudText(WeString("UI: LAP"), g_Game.m_Font12, 0.5f, 0.25f, 0x80FFFFFFu, 10);
    auto texts = TakeTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].x, 640);
    EXPECT_EQ(texts[1].y, 180);
    EXPECT_EQ(texts[1].width, 0);
    EXPECT_EQ(texts[1].flags, 10);
    EXPECT_EQ(texts[1].scale, 1.0f);
    EXPECT_NEAR(texts[1].alpha, 128.0f / 255.0f, 1e-6f);
    // The shadow derived by the canvas: its offset scales with the screen.
    EXPECT_EQ(texts[0].x, 640 + 3);
    EXPECT_EQ(texts[0].y, 180 + 2);
    EXPECT_NEAR(texts[0].red, 64.0f / 255.0f, 1e-6f);

    DrawHudText(WeString("none"), nullptr, 0.5f, 0.5f, 0xFFFFFFFFu, 0);
    EXPECT_TRUE(TakeTexts().empty());
}

}  // namespace
