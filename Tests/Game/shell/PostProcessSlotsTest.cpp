#include <gtest/gtest.h>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Game/shell/CPostProcessRequests.h"
#include "Game/shell/CPostProcessSlots.h"
#include "Tests/Engine/render/RenderTestSupport.h"

namespace
{
constexpr float Step = 1.0f / 64.0f;

// How many times the chain holds the effect: taken out as often as it is there, then put back.
int ChainCount(WePostProcessEffect* effect)
{
    int n = 0;
    while (n < 10 && g_PostProcess.RemoveEffect(effect))
        ++n;
    for (int i = 0; i < n; ++i)
        g_PostProcess.AddEffect(effect);
    return n;
}

class PostProcessSlots : public RecordingRender
{
protected:
    void SetUp() override
    {
        RecordingRender::SetUp();
        ASSERT_TRUE(Create(256, 256));
        m_SavedDelta = g_Timer.m_FrameDeltaF;
        g_Timer.m_FrameDeltaF = Step;
        ClearPostProcessSlots();
    }
    void TearDown() override
    {
        ClearPostProcessSlots();
        g_Timer.m_FrameDeltaF = m_SavedDelta;
        RecordingRender::TearDown();
    }
    static void Updates(int n)
    {
        for (int i = 0; i < n; ++i)
            UpdatePostProcessSlots();
    }
    float m_SavedDelta = 0.0f;
};

TEST_F(PostProcessSlots, EachKindMakesItsEffectWithTheSamplerSettings)
{
    const struct
    {
        int32_t kind;
        const char* shader;
        float param;
    } cases[] = {{1, "shaders.postprocess.monochrome", 1.0f},
                 {2, "shaders.postprocess.monochrome", 0.0f},
                 {3, "shaders.postprocess.monochrome", 0.0f},
                 {4, "shaders.postprocess.wave", 0.0f},
                 {5, "shaders.postprocess.wave2", 0.0f}};
    for (const auto& c : cases)
    {
        WePostProcessEffect* e = SetPostProcessSlot(1, c.kind, 2.0f, nullptr);
        ASSERT_NE(e, nullptr) << c.kind;
        EXPECT_EQ(e->m_Loaded, 1) << c.shader;
        EXPECT_FLOAT_EQ(e->m_PPParam, c.param);
        for (int stage = 0; stage < 8; ++stage)
        {
            EXPECT_EQ(e->m_Filter[stage], stage < 2 ? 2 : 0);
            EXPECT_EQ(e->m_Address[stage], stage < 2 ? 1 : 0);
        }
        EXPECT_EQ(ChainCount(e), 1);
        EXPECT_EQ(g_PostProcessSlots[1].m_Kind, c.kind);
    }
    EXPECT_EQ(SetPostProcessSlot(1, 0, 5.0f, &cases), nullptr);
    EXPECT_EQ(g_PostProcessSlots[1].m_Effect, nullptr);
    EXPECT_EQ(g_PostProcessSlots[1].m_Extra, nullptr);
    EXPECT_EQ(SetPostProcessSlot(4, 1, 1.0f, nullptr), nullptr);
    EXPECT_EQ(SetPostProcessSlot(-1, 1, 1.0f, nullptr), nullptr);
}

TEST_F(PostProcessSlots, AMonochromeFadeGoesFromOneToZeroThenParksAndStopsTheSlotsAfterIt)
{
    WePostProcessEffect* fading = SetPostProcessSlot(0, 1, 2.0f, nullptr);
    SetPostProcessSlot(1, 4, 10.0f, nullptr);
    Updates(64);
    EXPECT_FLOAT_EQ(fading->m_PPParam, 0.5f);
    EXPECT_FLOAT_EQ(g_PostProcessSlots[1].m_Elapsed, 1.0f);
    Updates(63);
    EXPECT_FLOAT_EQ(fading->m_PPParam, 1.0f / 128.0f);
    Updates(1);
    // Now a plain monochrome parked at -1: a new effect, and the slot after it no longer runs.
    EXPECT_EQ(g_PostProcessSlots[0].m_Kind, 2);
    EXPECT_EQ(g_PostProcessSlots[0].m_Duration, -1.0f);
    ASSERT_NE(g_PostProcessSlots[0].m_Effect, nullptr);
    EXPECT_EQ(ChainCount(g_PostProcessSlots[0].m_Effect), 1);
    EXPECT_EQ(g_PostProcessSlots[0].m_Effect->m_PPParam, 0.0f);
    const float elapsed = g_PostProcessSlots[1].m_Elapsed;
    Updates(10);
    EXPECT_EQ(g_PostProcessSlots[1].m_Elapsed, elapsed);
}

TEST_F(PostProcessSlots, ASameKindRequestKeepsTheEffectAndOneChainEntry)
{
    WePostProcessEffect* wave = SetPostProcessSlot(0, 4, 1.0f, nullptr);
    Updates(10);
    int marker = 0;
    EXPECT_EQ(SetPostProcessSlot(0, 4, 3.0f, &marker), wave);
    EXPECT_EQ(ChainCount(wave), 1);
    EXPECT_EQ(g_PostProcessSlots[0].m_Duration, 3.0f);
    EXPECT_EQ(g_PostProcessSlots[0].m_Extra, &marker);
    EXPECT_FLOAT_EQ(g_PostProcessSlots[0].m_Elapsed, 10 * Step);
}

TEST_F(PostProcessSlots, AnExpiredSlotIsFreedAndAMonochromeFadeInGreysThenEnds)
{
    WePostProcessEffect* in = SetPostProcessSlot(0, 3, 1.0f, nullptr);
    Updates(32);
    EXPECT_FLOAT_EQ(in->m_PPParam, 0.5f);
    Updates(32);
    EXPECT_EQ(g_PostProcessSlots[0].m_Kind, 0);
    EXPECT_EQ(g_PostProcessSlots[0].m_Effect, nullptr);
    EXPECT_EQ(g_PostProcessSlots[0].m_Duration, 0.0f);
}

TEST_F(PostProcessSlots, RequestsAreDrainedInOrder)
{
    RequestPostProcessEffect(3, 4, 1.0f, nullptr);
    RequestPostProcessEffect(3, 5, 2.0f, nullptr);
    // Slot 0 is idle (duration 0), so no slot runs this update; the requests still land.
    Updates(1);
    EXPECT_TRUE(g_PostProcessRequests.empty());
    EXPECT_EQ(g_PostProcessSlots[3].m_Kind, 5);
    EXPECT_EQ(g_PostProcessSlots[3].m_Duration, 2.0f);
    EXPECT_EQ(g_PostProcessSlots[3].m_Elapsed, 0.0f);
}

TEST_F(PostProcessSlots, AnEffectSurvivesTheChainsReinitialisation)
{
    WePostProcessEffect* e = SetPostProcessSlot(0, 4, 5.0f, nullptr);
    g_PostProcess.Reinitialize();
    EXPECT_EQ(ChainCount(e), 1);
    SetPostProcessSlot(0, 0, 0.0f, nullptr);
    EXPECT_EQ(ChainCount(e), 0);
}

TEST_F(PostProcessSlots, AnEffectTheChainNoLongerHoldsIsForgottenNotDeleted)
{
    SetPostProcessSlot(0, 4, 5.0f, nullptr);
    // The end screen destroys every effect of the chain, the slots' included.
    g_PostProcess.DeleteAllEffects();
    SetPostProcessSlot(0, 0, 0.0f, nullptr);
    EXPECT_EQ(g_PostProcessSlots[0].m_Effect, nullptr);
}
}  // namespace
