#include <gtest/gtest.h>

#include <cmath>

#include "Tests/Engine/world/WorldTestSupport.h"

namespace
{

// Nodes added by hand, facing +z unless told.
class WeTrackPathTest : public ::testing::Test
{
protected:
    WePathNode* Node(int32_t id, int32_t kind, float x, float z, int32_t link1 = 0, int32_t link2 = 0)
    {
        WePathNode* n = new WePathNode();
        n->m_Id = id;
        n->m_Kind = kind;
        n->m_Link1 = link1;
        n->m_Link2 = link2;
        n->SetLocation(D3DXVECTOR3(x, 0.0f, z));
        m_World.AddActor(n);
        return n;
    }
    WeWorld m_World;
};

TEST_F(WeTrackPathTest, TriangleClosesAndGetsFractions)
{
    WePathNode* a = Node(10, 0, 0, 0);
    WePathNode* b = Node(20, 0, 0, 30);
    WePathNode* c = Node(30, 0, 40, 30);
    m_World.BuildTrackPath(true);
    EXPECT_EQ(m_World.m_FirstPathNode, a);
    EXPECT_EQ(a->m_Next, b);
    EXPECT_EQ(b->m_Next, c);
    EXPECT_EQ(c->m_Next, a);
    EXPECT_EQ(a->m_Previous, c);
    EXPECT_FLOAT_EQ(m_World.m_TrackLength, 120.0f);
    EXPECT_FLOAT_EQ(a->m_Fraction, 0.0f);
    EXPECT_FLOAT_EQ(b->m_Fraction, 30.0f / 120.0f);
    EXPECT_FLOAT_EQ(c->m_Fraction, 70.0f / 120.0f);
    EXPECT_STREQ(b->GetName().c_str(), "20 -> 30");
    EXPECT_TRUE(IsTrackFractionBehind(0.97f, 0.02f));
    EXPECT_FALSE(IsTrackFractionBehind(0.5f, 0.4f));
    EXPECT_TRUE(IsTrackFractionBehind(0.4f, 0.5f));
}

TEST_F(WeTrackPathTest, ForkTakesTheShorterBranchAndWeighsTheLonger)
{
    // Main 10 -> fork 20 -> (A: 30, 40 | B: 50, 60, 70) -> join 80 -> 90 -> back.
    Node(10, 0, 0, 0);
    WePathNode* fork = Node(20, 1, 0, 100, 30, 50);
    WePathNode* a1 = Node(30, 0, -20, 150);
    WePathNode* a2 = Node(40, 0, -20, 200);
    WePathNode* b1 = Node(50, 0, 40, 130);
    WePathNode* b2 = Node(60, 0, 80, 180);
    WePathNode* b3 = Node(70, 0, 40, 230);
    WePathNode* join = Node(80, 2, 0, 250, 40, 70);
    Node(90, 0, 0, 400);
    m_World.BuildTrackPath(true);
    EXPECT_EQ(fork->m_Next, a1);
    EXPECT_EQ(fork->m_Branch, b1);
    EXPECT_EQ(fork->m_Partner, join);
    EXPECT_EQ(join->m_Partner, fork);
    EXPECT_EQ(a2->m_Next, join);
    EXPECT_EQ(b3->m_Next, join);
    EXPECT_EQ(join->m_Previous, a2);
    EXPECT_EQ(join->m_SecondPrevious, b3);
    EXPECT_EQ(a1->m_BranchTag, 1);
    EXPECT_EQ(b1->m_BranchTag, 2);
    EXPECT_EQ(b2->m_BranchTag, 2);
    const float lenA = std::hypot(20.0f, 50.0f) + 50.0f + std::hypot(20.0f, 50.0f);
    const float lenB =
        std::hypot(40.0f, 30.0f) + std::hypot(40.0f, 50.0f) + std::hypot(40.0f, 50.0f) + std::hypot(40.0f, 20.0f);
    EXPECT_NEAR(fork->m_BranchWeight, lenA / lenB, 1e-5f);
    // The first node of each branch has its own distance from the fork, not the fork's fraction.
    EXPECT_GT(a1->m_Fraction, fork->m_Fraction);
    EXPECT_GT(b1->m_Fraction, fork->m_Fraction);
    EXPECT_LT(b3->m_Fraction, join->m_Fraction);
    EXPECT_LT(b2->m_Fraction, b3->m_Fraction);
    EXPECT_NEAR(join->m_Fraction, (100.0f + lenA) / m_World.m_TrackLength, 1e-5f);
    for (WePathNode* n : {a1, a2, b1, b2, b3, join})
        EXPECT_TRUE(n->m_OnTrack);
}

TEST_F(WeTrackPathTest, JumpAddsNoLengthAndBrokenPiecesStillClose)
{
    Node(10, 0, 0, 0);
    WePathNode* start = Node(40, 3, 0, 100);
    WePathNode* end = Node(50, 4, 0, 160);
    Node(60, 0, 0, 200);
    m_World.BuildTrackPath(true);
    EXPECT_EQ(start->m_Link1, 50);
    EXPECT_EQ(start->m_Next, end);
    EXPECT_EQ(start->m_Partner, end);
    EXPECT_FLOAT_EQ(start->m_DistanceAlongPath, end->m_DistanceAlongPath);
    EXPECT_FLOAT_EQ(m_World.m_TrackLength, 100.0f + 40.0f + 200.0f);
    EXPECT_EQ(m_World.FindClosestNodeAlongPath(start, D3DXVECTOR3(0, 0, 170)), nullptr);

    // A fork without a join ends the walk; the loop still closes.
    WeWorld broken;
    for (auto [id, kind, z] : {std::tuple{10, 0, 0.0f}, {20, 0, 50.0f}, {30, 1, 100.0f}, {40, 0, 150.0f}})
    {
        WePathNode* n = new WePathNode();
        n->m_Id = id;
        n->m_Kind = kind;
        n->m_Link1 = 40;
        n->m_Link2 = 40;
        n->SetLocation(D3DXVECTOR3(0, 0, z));
        broken.AddActor(n);
    }
    broken.BuildTrackPath(true);
    ASSERT_NE(broken.m_FirstPathNode, nullptr);
    EXPECT_EQ(broken.m_FirstPathNode->m_Next->m_Next, broken.m_FirstPathNode);
    EXPECT_FLOAT_EQ(broken.m_TrackLength, 100.0f);
}

TEST_F(WeTrackPathTest, NearestNodeAndTrackPosition)
{
    // Without nodes: null answers and zero outputs.
    WePathNode* node = reinterpret_cast<WePathNode*>(1);
    WePathNode* next = reinterpret_cast<WePathNode*>(1);
    float along = 5.0f, fromNext = 5.0f;
    D3DXVECTOR3 projected(1, 1, 1);
    m_World.FindTrackPosition(D3DXVECTOR3(1, 2, 3), &node, &next, &along, &fromNext, &projected, nullptr);
    EXPECT_EQ(node, nullptr);
    EXPECT_EQ(next, nullptr);
    EXPECT_EQ(along, 0.0f);
    EXPECT_EQ(projected.x, 0.0f);

    WePathNode* a = Node(10, 0, 0, 0);
    WePathNode* b = Node(20, 0, 0, 100);
    Node(30, 0, 0, 200);
    m_World.BuildTrackPath(true);
    // Twice in one tick: the second search is not blinded by the first one's stamps.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(m_World.FindNearestPathNode(D3DXVECTOR3(3, 0, 120), b), b);
    // A point behind the nearest node steps back to the node it lies ahead of.
    EXPECT_EQ(m_World.FindNearestPathNode(D3DXVECTOR3(3, 0, 95), b), a);
    EXPECT_EQ(m_World.FindNearestPathNode(D3DXVECTOR3(3, 0, 120), nullptr), b);  // through the scene tree
    m_World.FindTrackPosition(D3DXVECTOR3(3, 0, 120), &node, &next, &along, &fromNext, &projected, b);
    EXPECT_EQ(node, b);
    EXPECT_FLOAT_EQ(along, 20.0f);
    EXPECT_FLOAT_EQ(fromNext, -80.0f);
    EXPECT_FLOAT_EQ(projected.z, 120.0f);
    EXPECT_FLOAT_EQ(projected.x, 0.0f);
    // The best distance starts at 1000 units: a first step that far away gives null.
    EXPECT_EQ(m_World.FindClosestNodeAlongPath(a, D3DXVECTOR3(0, 0, 1500)), nullptr);
    EXPECT_EQ(m_World.FindClosestNodeAlongPath(a, D3DXVECTOR3(0, 0, 140)), b);
    EXPECT_EQ(m_World.FindClosestNodeAlongPath(a, D3DXVECTOR3(0, 0, 190)), m_World.FindPathNodeById(30));
}

TEST_F(WeTrackPathTest, RefinementAtAJoinEnds)
{
    // Every node faces away from the point, so the refinement keeps stepping back; at the join it
    // enters a branch that never returns to the candidate. It must still end.
    Node(10, 0, 0, 0);
    Node(20, 1, 0, 100, 30, 40);
    Node(30, 0, -20, 150);
    Node(40, 0, 20, 150);
    WePathNode* join = Node(50, 2, 0, 200, 30, 40);
    m_World.BuildTrackPath(true);
    WePathNode* found = m_World.FindNearestPathNode(D3DXVECTOR3(0, 0, -500), join);
    EXPECT_NE(found, nullptr);
}

}  // namespace

TEST(WePathNodeIds, TheCounterStopsAtTheTopOfTheRange)
{
    // A map can carry an id near the top of the range; the next new node must not overflow past it.
    const int32_t saved = WePathNode::IdCounter();
    WePathNode::IdCounter() = INT32_MAX - 3;
    WePathNode source, copy;
    source.CopyTo(&copy);
    EXPECT_EQ(copy.m_Id, INT32_MAX);
    EXPECT_EQ(WePathNode::NextId(), INT32_MAX);
    WePathNode::IdCounter() = 40;
    EXPECT_EQ(WePathNode::NextId(), 50);
    WePathNode::IdCounter() = saved;
}
