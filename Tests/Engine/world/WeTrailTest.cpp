#include <gtest/gtest.h>

#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeRenderItemSink.h"
#include "Engine/world/WeTrail.h"
#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

int g_Items = 0;
const D3DXMATRIX* g_LastMatrix = nullptr;

void CountItem(WeMaterial*, WeActor*, const D3DXMATRIX* matrix, int32_t)
{
    ++g_Items;
    g_LastMatrix = matrix;
}

class WeTrailTest : public ::testing::Test
{
protected:
    void SetUp() override { g_Timer.m_FrameDeltaF = 0.31f; }
    void TearDown() override
    {
        g_Timer.m_FrameDeltaF = 0.0f;
        g_RenderItemSink = nullptr;
    }

    WeTrail* Add(int32_t quads, float halfWidth = 0.5f)
    {
        WeTrail* trail = new WeTrail();
        trail->Setup(nullptr, 1.0f, 0.0f, 0.0f, 1.0f, 0.3f, quads, halfWidth, 1.0f, 0.1f);
        m_World.AddActor(trail);
        return trail;
    }

    static float Z(const WeTrail& trail, int32_t quad, int32_t vertex)
    {
        return trail.m_Vertices[4 * quad + vertex].position[2];
    }

    WeWorld m_World;
};

TEST_F(WeTrailTest, FullRibbonDropsItsOldestQuad)
{
    WeTrail* trail = Add(5);
    ASSERT_EQ(trail->m_MaxQuads, 20);
    for (int i = 1; i <= 30; ++i)
    {
        trail->SetLocation(D3DXVECTOR3(0.0f, 0.0f, static_cast<float>(i)));
        m_World.Tick();
        EXPECT_LE(trail->m_QuadCount, 20);
    }
    EXPECT_EQ(trail->m_QuadCount, 20);
    EXPECT_EQ(trail->m_VertexCount, 80);
    EXPECT_EQ(trail->GetTriangleCount(), 40);
    EXPECT_EQ(trail->GetIndexDataSize(), 240);
    // Newest front edge at the trail, every quad one step long, oldest at the tail alpha.
    EXPECT_FLOAT_EQ(Z(*trail, 19, 2), 30.0f);
    EXPECT_FLOAT_EQ(Z(*trail, 19, 0), 29.0f);
    EXPECT_FLOAT_EQ(Z(*trail, 0, 0), 10.0f);
    EXPECT_EQ(trail->m_Vertices[0].color >> 24, WeTrail::PackColor(0.1f, 0, 0, 0) >> 24);
    EXPECT_EQ(trail->m_Vertices[4 * 19 + 2].color, 0xFFFF0000u);
    EXPECT_EQ(trail->m_Indices[6 * 19 + 4], 4 * 19 + 3);
}

TEST_F(WeTrailTest, ClearSkipsTwoTicks)
{
    WeTrail* trail = Add(5);
    m_World.Tick();
    m_World.Tick();
    ASSERT_GT(trail->m_QuadCount, 0);
    trail->Clear();
    m_World.Tick();
    m_World.Tick();
    EXPECT_EQ(trail->m_QuadCount, 0);
    m_World.Tick();
    EXPECT_GT(trail->m_QuadCount, 0);
}

TEST_F(WeTrailTest, ZeroQuadsNeverBuildGeometry)
{
    WeTrail* trail = Add(0);
    for (int i = 0; i < 5; ++i)
        m_World.Tick();
    EXPECT_EQ(trail->m_QuadCount, 0);
    EXPECT_EQ(trail->GetIndexDataSize(), 0);
}

TEST_F(WeTrailTest, ColoursArePackedAndClamped)
{
    struct Case
    {
        float a, r, g, b;
        uint32_t packed;
    };
    const Case cases[] = {
        {0.5f, 1.0f, 0.0f, 0.0f, 0x7FFF0000u},
        {1.0f, 1.0f, 1.0f, 1.0f, 0xFFFFFFFFu},
        {1.0f, -0.5f, 0.0f, 0.0f, 0xFF000000u},  // a negative channel stays in its byte
        {2.0f, 0.0f, 3.0f, 0.5f, 0xFF00FF7Fu},   // above 1 does not spill over
    };
    for (const Case& c : cases)
        EXPECT_EQ(WeTrail::PackColor(c.a, c.r, c.g, c.b), c.packed);
}

TEST_F(WeTrailTest, MaxQuadsFitSixteenBitIndices)
{
    WeTrail trail;
    trail.Setup(nullptr, 1, 1, 1, 1, 0.3f, 100000, 0.2f, 1, 0.1f);
    EXPECT_EQ(trail.m_MaxQuads, WeTrail::MaxQuadLimit);
    trail.Setup(nullptr, 1, 1, 1, 1, 0.3f, -3, 0.2f, 1, 0.1f);
    EXPECT_EQ(trail.m_MaxQuads, 0);
}

TEST_F(WeTrailTest, RibbonFollowsAMovingParent)
{
    g_Timer.m_FrameDeltaF = 0.05f;
    WeActor* parent = new WeActor();
    m_World.AddActor(parent);
    WeTrail* trail = new WeTrail();
    trail->Setup(nullptr, 1, 1, 1, 1, 0.3f, 2, 0.5f, 1, 0.1f);
    trail->SetParent(parent);
    m_World.AddActor(trail);
    for (int i = 1; i <= 4; ++i)
    {
        parent->SetLocation(D3DXVECTOR3(0.0f, 2.0f, static_cast<float>(i)));
        m_World.Tick();
    }
    const WeTrail::Vertex* front = trail->m_Vertices + 4 * (trail->m_QuadCount - 1) + 2;
    EXPECT_FLOAT_EQ(front[0].position[2], 4.0f);
    EXPECT_FLOAT_EQ(front[0].position[1], 2.0f);
    EXPECT_FLOAT_EQ(front[0].position[0], 0.5f);
    EXPECT_FLOAT_EQ(front[1].position[0], -0.5f);
    EXPECT_FLOAT_EQ(trail->m_Vertices[0].position[2], 1.0f);  // where it started
}

TEST_F(WeTrailTest, ExpireLingersThenDeletes)
{
    g_Timer.m_FrameDeltaF = 0.1f;
    WeTrail* trail = Add(5);  // 20 quads x 0.5 x 0.3 s = 3 s
    trail->Expire();
    EXPECT_TRUE(trail->m_Expiring);
    EXPECT_FLOAT_EQ(trail->m_LifeTime, 3.0f);
    for (int i = 0; i < 28; ++i)
        m_World.Tick();
    EXPECT_EQ(m_World.GetActors().Count(), 1);
    for (int i = 0; i < 4; ++i)
        m_World.Tick();
    EXPECT_EQ(m_World.GetActors().Count(), 0);
}

TEST_F(WeTrailTest, RenderQueuesOneWorldSpaceItem)
{
    g_RenderItemSink = &CountItem;
    g_Items = 0;
    WeTrail unready;
    unready.Render(0);
    EXPECT_EQ(g_Items, 0);
    WeTrail* trail = Add(1);
    trail->SetLocation(D3DXVECTOR3(3.0f, 4.0f, 5.0f));
    trail->Render(0);
    EXPECT_EQ(g_Items, 1);
    ASSERT_NE(g_LastMatrix, nullptr);
    EXPECT_EQ(g_LastMatrix->_41, 0.0f);
    EXPECT_EQ(g_LastMatrix->_44, 1.0f);
}

}  // namespace
