#include <gtest/gtest.h>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeModel.h"
#include "Engine/world/WeActor.h"

namespace
{

struct WeActorModelFade : ::testing::Test
{
    void SetUp() override
    {
        m_SavedDelta = g_Timer.m_FrameDeltaF;
        g_Timer.m_FrameDeltaF = 0.25f;
        m_Actor.m_Model = new WeModel();
    }
    void TearDown() override
    {
        delete m_Actor.m_Model;
        m_Actor.m_Model = nullptr;
        g_Timer.m_FrameDeltaF = m_SavedDelta;
    }
    float Alpha() const { return m_Actor.m_Model->m_Values[3]; }

    WeActor m_Actor;
    float m_SavedDelta = 0.0f;
};

TEST_F(WeActorModelFade, AppearingStartsTransparentThenRisesToOne)
{
    m_Actor.m_ModelVisible = false;
    m_Actor.UpdateModelFade(true, 2.0f, 1.0f);
    EXPECT_TRUE(m_Actor.m_ModelVisible);
    EXPECT_FLOAT_EQ(Alpha(), 0.0f);
    m_Actor.UpdateModelFade(true, 2.0f, 1.0f);
    EXPECT_FLOAT_EQ(Alpha(), 0.5f);
    m_Actor.UpdateModelFade(true, 2.0f, 1.0f);
    m_Actor.UpdateModelFade(true, 2.0f, 1.0f);
    EXPECT_FLOAT_EQ(Alpha(), 1.0f);
}

TEST_F(WeActorModelFade, DisappearingLowersAlphaAndHidesAtZero)
{
    m_Actor.UpdateModelFade(false, 1.0f, 2.0f);
    EXPECT_TRUE(m_Actor.m_ModelVisible);
    EXPECT_FLOAT_EQ(Alpha(), 0.5f);
    m_Actor.UpdateModelFade(false, 1.0f, 2.0f);
    EXPECT_FALSE(m_Actor.m_ModelVisible);
    EXPECT_FLOAT_EQ(Alpha(), 0.0f);
    // Hidden and asked to stay hidden: nothing changes.
    m_Actor.UpdateModelFade(false, 1.0f, 2.0f);
    EXPECT_FALSE(m_Actor.m_ModelVisible);
    EXPECT_FLOAT_EQ(Alpha(), 0.0f);
}

TEST_F(WeActorModelFade, WithoutAModelNothingChanges)
{
    WeActor actor;
    actor.m_ModelVisible = false;
    actor.UpdateModelFade(true, 1.0f, 1.0f);
    EXPECT_FALSE(actor.m_ModelVisible);
}

}  // namespace
