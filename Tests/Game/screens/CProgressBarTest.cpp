// The bar's quads in atlas pixels, its text, and its colour packing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Engine/foundation/WeLocalization.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/screens/CProgressBar.h"

TEST(CProgressBar, AtlasRectanglesAtEmptyHalfAndFull)
{
    CProgressBar bar(true, true);
    bar.m_X = 0.25f;
    bar.m_Y = 0.5f;
    bar.m_Width = 0.4375f;  // 448 pixels of a 1024-wide screen: one atlas pixel a screen pixel
    bar.m_Height = 32.0f / 768.0f;
    CProgressBar::Quad q[3];

    bar.m_Value = 0.0f;
    ASSERT_EQ(bar.GetQuads(1024, 768, q), 1);
    EXPECT_EQ(q[0].x, 256);
    EXPECT_EQ(q[0].y, 384);
    EXPECT_EQ(q[0].w, 448);
    EXPECT_EQ(q[0].h, 32);
    EXPECT_EQ(q[0].v0, 36.0f);
    EXPECT_EQ(q[0].v1, 68.0f);
    EXPECT_EQ(q[0].u1, 448.0f);

    bar.m_Value = 0.5f;
    ASSERT_EQ(bar.GetQuads(1024, 768, q), 3);
    EXPECT_EQ(q[0].v0, 36.0f);
    // 0.5 x 432 + 8 atlas pixels of the full bar over as many screen pixels.
    EXPECT_EQ(q[1].u1, 224.0f);
    EXPECT_EQ(q[1].v1, 32.0f);
    EXPECT_EQ(q[1].w, 224);
    EXPECT_EQ(q[1].x, 256);
    // The 32 x 64 glow centred on the end of the filled part.
    EXPECT_EQ(q[2].u0, 480.0f);
    EXPECT_EQ(q[2].u1, 512.0f);
    EXPECT_EQ(q[2].v1, 64.0f);
    EXPECT_EQ(q[2].w, 32);
    EXPECT_EQ(q[2].h, 64);
    EXPECT_EQ(q[2].x + q[2].w / 2, 256 + 224);
    EXPECT_EQ(q[2].y + q[2].h / 2, 384 + 16);

    bar.m_Value = 1.0f;
    ASSERT_EQ(bar.GetQuads(1024, 768, q), 1);
    EXPECT_EQ(q[0].v0, 0.0f);
    EXPECT_EQ(q[0].v1, 32.0f);
    EXPECT_EQ(q[0].u1, 448.0f);
    EXPECT_EQ(q[0].w, 448);

    // Not a number draws as empty.
    bar.m_Value = std::numeric_limits<float>::quiet_NaN();
    ASSERT_EQ(bar.GetQuads(1024, 768, q), 1);
    EXPECT_EQ(q[0].v0, 36.0f);
}

TEST(CProgressBar, TextIsThePercentageOrTheOwnTextOnceFull)
{
    CProgressBar bar(true, true);
    bar.m_ShowOwnTextWhenDone = 1;
    bar.m_Text = "press any key";
    const std::string loading = g_Localization.GetText("UI: LOADING").c_str();
    struct Case
    {
        float value;
        std::string text;
    };
    const Case cases[] = {
        {0.5f, loading + ": 50%"},
        {0.0f, loading + ": 0%"},
        {0.999f, loading + ": 99%"},
        {-2.0f, loading + ": 0%"},
        {std::numeric_limits<float>::quiet_NaN(), loading + ": 0%"},
        {1.0f, "press any key"},
        {3.0f, "press any key"},
    };
    for (const Case& c : cases)
    {
        bar.m_Value = c.value;
        EXPECT_STREQ(bar.GetText().c_str(), c.text.c_str()) << c.value;
    }
    bar.m_ShowOwnTextWhenDone = 0;
    bar.m_Value = 1.0f;
    EXPECT_STREQ(bar.GetText().c_str(), (loading + ": 100%").c_str());
}

TEST(CProgressBar, ColourPackingClampsRoundsAndZeroesNaN)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float mixed[4] = {0.5f, 2.0f, -1.0f, 1.0f};
    const float withNaN[4] = {nan, 0.2f, 0.0f, 1.0f};
    EXPECT_EQ(CProgressBar::PackColor(white), 0xFFFFFFFFu);
    EXPECT_EQ(CProgressBar::PackColor(mixed), 0xFF80FF00u);
    EXPECT_EQ(CProgressBar::PackColor(withNaN), 0xFF003300u);
}

TEST(CLoadMapPhase, TipIndexFollowsTheStartDelayAndStaysInRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        float t;
        int32_t count;
        float initTime;
        int32_t index;
    };
    const Case cases[] = {
        {0.1f, 4, 3.0f, 0}, {0.8f, 4, 3.0f, 1},  {2.9f, 4, 3.0f, 3}, {9.0f, 4, 3.0f, 3},   {1.0f, 1, 3.0f, 0},
        {1.0f, 4, 0.0f, 3}, {1.0f, 4, -1.0f, 3}, {1.0f, 4, nan, 3},  {1.0f, 4, 1e-30f, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLoadMapPhase::GetTipIndex(c.t, c.count, c.initTime), c.index) << c.t << " " << c.initTime;
}

TEST(CLoadMapPhase, TipsStopAtTheFirstEmptyField)
{
    const std::vector<WeString> tips = CLoadMapPhase::ReadTips("Initializing Engines,,Arming Weapons");
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_STREQ(tips[0].c_str(), g_Localization.GetText("UI: Initializing Engines").c_str());
    EXPECT_EQ(CLoadMapPhase::ReadTips("a,b,c").size(), 3u);
    EXPECT_TRUE(CLoadMapPhase::ReadTips("").empty());
}
