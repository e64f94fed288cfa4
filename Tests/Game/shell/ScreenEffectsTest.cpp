#include <gtest/gtest.h>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CScreenEffects.h"

namespace
{
constexpr float Step = 1.0f / 64.0f;

// A map of its own bloom levels: low 0.5, normal 1, high 3, so that each span is told apart.
class ScreenEffects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Map = new CGameMap();
        m_Map->m_Header.m_BloomLevels[0] = 0.5f;
        m_Map->m_Header.m_BloomLevels[1] = 1.0f;
        m_Map->m_Header.m_BloomLevels[2] = 3.0f;
        g_Game.m_Map = m_Map;
        m_SavedDelta = g_Timer.m_FrameDeltaF;
        g_Timer.m_FrameDeltaF = Step;
        ResetScreenEffects();
    }
    void TearDown() override
    {
        ResetScreenEffects();
        g_Game.m_Map = nullptr;
        delete m_Map;
        g_Timer.m_FrameDeltaF = m_SavedDelta;
    }
    static void Updates(int n)
    {
        for (int i = 0; i < n; ++i)
            UpdateScreenEffects();
    }
    static float Bloom() { return g_RenderDevice.m_BloomScale; }
    static float Strength() { return g_PostProcess.m_FlashColor[3]; }

    CGameMap* m_Map = nullptr;
    float m_SavedDelta = 0.0f;
};

TEST_F(ScreenEffects, ResetGivesTheMapsNormalBloomAndNoTint)
{
    g_ScreenEffects.m_State = 5;
    Updates(2);
    EXPECT_GT(Strength(), 0.0f);
    ResetScreenEffects();
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
    EXPECT_EQ(Strength(), 0.0f);
    EXPECT_EQ(Bloom(), 1.0f);
}

struct FlashCase
{
    int32_t state;
    int updates;  // the clock after them is updates / 64
    float bloom;  // negative: not checked
    float strength;
    int32_t stateAfter;
};

class ScreenEffectsTable : public ScreenEffects, public ::testing::WithParamInterface<FlashCase>
{
};

TEST_P(ScreenEffectsTable, EachFlashFollowsItsCurve)
{
    const FlashCase c = GetParam();
    g_ScreenEffects.m_State = c.state;
    Updates(c.updates);
    if (c.bloom >= 0.0f)
    {
        EXPECT_NEAR(Bloom(), c.bloom, 1e-5f);
    }
    EXPECT_NEAR(Strength(), c.strength, 1e-5f);
    EXPECT_EQ(g_ScreenEffects.m_State, c.stateAfter);
}

INSTANTIATE_TEST_SUITE_P(
    States, ScreenEffectsTable,
    ::testing::Values(
        // The bloom flash: up by 16 a second to n + 8 at 0.5 s, down to n + 6 at 1.5 s, then n + 6 to n.
        FlashCase{1, 16, 1.0f + 4.0f, 0.0f, 1}, FlashCase{1, 32, 1.0f + 8.0f, 0.0f, 1},
        FlashCase{1, 96, 1.0f + 6.0f, 0.0f, 2}, FlashCase{1, 97, 1.0f + (1.0f - Step) * 6.0f, 0.0f, 2},
        FlashCase{1, 96 + 64, 1.0f, 0.0f, 0},
        // The teleport tint rises for 0.2 s and falls for 0.2 s.
        FlashCase{3, 6, -1.0f, 6 * Step * 2.5f, 3}, FlashCase{3, 13, -1.0f, 13 * Step * 2.5f, 4},
        FlashCase{3, 14, -1.0f, 0.5f - Step * 2.5f, 4}, FlashCase{3, 13 + 13, 1.0f, 0.0f, 0},
        // The pickup flash; its second half would fall below 0, which stays 0.
        FlashCase{5, 3, -1.0f, 3 * Step * 2.0f, 5}, FlashCase{5, 4, -1.0f, 4 * Step * 2.0f, 6},
        FlashCase{5, 5, -1.0f, 0.0f, 6}, FlashCase{5, 7, -1.0f, 0.0f, 6}, FlashCase{5, 4 + 4, 1.0f, 0.0f, 0},
        // White and cyan flashes: up for 0.1 s, then the second curve till 0.2 s.
        FlashCase{9, 6, -1.0f, 6 * Step * 3.0f, 9}, FlashCase{9, 7, -1.0f, 7 * Step * 3.0f, 10},
        FlashCase{9, 8, -1.0f, (1.0f - (Step - 0.2f) * 5.0f) * 0.6f, 10}, FlashCase{9, 7 + 13, 1.0f, 0.0f, 0},
        FlashCase{11, 7, -1.0f, 7 * Step * 3.0f, 12},
        FlashCase{11, 7 + 12, -1.0f, (1.0f - (12 * Step - 0.2f) * 5.0f) * 0.6f, 12},
        FlashCase{11, 7 + 13, 1.0f, 0.0f, 0},
        // States outside 1 to 12 do nothing.
        FlashCase{13, 10, 1.0f, 0.0f, 13}, FlashCase{-2, 10, 1.0f, 0.0f, -2}));

TEST_F(ScreenEffects, TheTintsTakeTheirColours)
{
    const struct
    {
        int32_t state;
        float rgb[3];
    } cases[] = {{3, {1.0f, 1.0f, 1.0f}}, {5, {1.0f, 1.0f, 0.0f}}, {9, {1.0f, 1.0f, 1.0f}}, {11, {0.0f, 1.0f, 1.0f}}};
    for (const auto& c : cases)
    {
        ResetScreenEffects();
        g_PostProcess.m_FlashColor[0] = g_PostProcess.m_FlashColor[1] = g_PostProcess.m_FlashColor[2] = 0.25f;
        g_ScreenEffects.m_State = c.state;
        Updates(1);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(g_PostProcess.m_FlashColor[i], c.rgb[i]) << c.state << " " << i;
    }
}

TEST_F(ScreenEffects, ThePulseRisesToItsTargetAndReturnsOnTheHighOrLowSpan)
{
    // Up by 3.33 a second to 0.5, then down by 1 a second to 0: ten updates up, 32 down.
    g_ScreenEffects.m_State = 7;
    g_ScreenEffects.m_PulseTarget = 0.5f;
    Updates(9);
    EXPECT_NEAR(Bloom(), 1.0f + 9 * Step * 3.3333333f * (3.0f - 1.0f), 1e-4f);
    Updates(1);
    EXPECT_FLOAT_EQ(g_ScreenEffects.m_PulseValue, 0.5f);
    EXPECT_EQ(g_ScreenEffects.m_PulseTarget, 0.0f);
    EXPECT_FLOAT_EQ(Bloom(), 1.0f + 0.5f * 2.0f);
    Updates(31);
    EXPECT_EQ(g_ScreenEffects.m_State, 7);
    Updates(1);
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
    EXPECT_EQ(Bloom(), 1.0f);

    // Downwards: the value falls to its target on the low span and the pulse ends there.
    ResetScreenEffects();
    g_ScreenEffects.m_State = 7;
    g_ScreenEffects.m_PulseTarget = -0.25f;
    Updates(8);
    EXPECT_FLOAT_EQ(Bloom(), 1.0f - 8 * Step * (1.0f - 0.5f));
    Updates(8);
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
}

TEST_F(ScreenEffects, TheOffsetPulseMovesByFiveSpansASecond)
{
    // From 0 up to 0.6 on the low span (0.5): 0.039 a step, 16 steps, and the pulse ends there.
    g_ScreenEffects.m_State = 8;
    g_ScreenEffects.m_PulseTarget = 0.6f;
    Updates(15);
    EXPECT_NEAR(Bloom(), 1.0f + 15 * 0.5f * Step * 5.0f, 1e-5f);
    Updates(1);
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
    EXPECT_EQ(Bloom(), 1.0f);

    // Down to -0.5 and back up to 0.
    ResetScreenEffects();
    g_ScreenEffects.m_State = 8;
    g_ScreenEffects.m_PulseTarget = -0.5f;
    Updates(13);
    EXPECT_FLOAT_EQ(g_ScreenEffects.m_PulseValue, -0.5f);
    EXPECT_EQ(g_ScreenEffects.m_PulseTarget, 0.0f);
    Updates(12);
    EXPECT_EQ(g_ScreenEffects.m_State, 8);
    Updates(1);
    EXPECT_EQ(g_ScreenEffects.m_State, 0);
}

TEST_F(ScreenEffects, ANewStateRestartsTheClock)
{
    g_ScreenEffects.m_State = 1;
    Updates(20);
    g_ScreenEffects.m_State = 9;
    Updates(1);
    EXPECT_FLOAT_EQ(g_ScreenEffects.m_Clock, Step);
    EXPECT_FLOAT_EQ(Strength(), Step * 3.0f);
}
}  // namespace
