#include <gtest/gtest.h>

#include <string>

#include "Engine/world/WePathNode.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/AgentTestSupport.h"

namespace
{

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// Six computer craft on the shipped test track (one fork, one jump), standing on their starts; the tests drive
// the standard tube of one of them frame by frame without moving the craft, or let the rig race.
struct CAgentDriving : ::testing::Test
{
    void SetUp() override
    {
        GetConfigInt("AI.Common.ConnectLookAhead", 1);
        GetConfigInt("AI.Common.SplitNodeAdvance", 1);
        rig = AgentTest::StartRig({1, 2, 2, 3, 3, 1}, false, "");
        ASSERT_NE(rig, nullptr);
        rig->Tick(1);
    }
    void TearDown() override { rig.reset(); }

    WePathNode* FindNode(int32_t kind) const
    {
        WePathNode* first = rig->Craft(0)->m_World->m_FirstPathNode;
        WePathNode* node = first;
        for (int i = 0; i < 1000 && node != nullptr; ++i, node = node->m_Next)
            if (node->m_Kind == kind)
                return node;
        return nullptr;
    }
    // The craft on the node, facing along it, at rest, with its track position found.
    void PutOn(CTuber* craft, const WePathNode* node)
    {
        const D3DXMATRIX& m = node->GetWorldMatrix();
        AgentTest::Place(craft, Row(m, 3) + Row(m, 1) * 1.0f, Row(m, 2));
        craft->UpdateTrackPosition();
    }
    CInputMessage Drive(int slot)
    {
        CTuber* craft = rig->Craft(slot);
        CInputMessage& message = craft->m_ControlMessage;
        message.Clear();
        AgentTest::AgentOf(*rig, slot)->m_StandardTube->Drive(message);
        return message;
    }

    CraftTest::Catalogue catalogue;
    std::unique_ptr<RaceRig> rig;
};

TEST_F(CAgentDriving, TheForkBranchFollowsSlotAndLapParity)
{
    WePathNode* fork = FindNode(WePathNode::Fork);
    ASSERT_NE(fork, nullptr);
    ASSERT_NE(fork->m_Branch, nullptr);
    const int32_t nextTag = fork->m_Next->m_BranchTag, altTag = fork->m_Branch->m_BranchTag;
    ASSERT_NE(nextTag, altTag);
    for (int slot : {2, 3})
        for (int32_t lap = 0; lap <= 4; ++lap)
        {
            CTuber* craft = rig->Craft(slot);
            // From the node just before the fork and from the one just after it (the look-back finds it).
            for (const WePathNode* from : {fork->m_Previous, fork->m_Next})
            {
                PutOn(craft, from);
                craft->m_LapsCompleted = lap;
                Drive(slot);
                ASSERT_NE(craft->m_AITargetNode, nullptr);
                const bool even = (slot + lap) % 2 == 0;
                const int32_t tag = craft->m_AITargetNode->m_BranchTag;
                if (from == fork->m_Previous || even)
                {
                    EXPECT_EQ(tag, even ? nextTag : altTag)
                        << "slot " << slot << " lap " << lap << " from node " << from->m_Id;
                }
            }
        }
}

TEST_F(CAgentDriving, TheWalksEndAtMissingLinksNoNodeAndAHostileConnectLookAhead)
{
    CTuber* craft = rig->Craft(3);
    WePathNode* join = FindNode(WePathNode::Join);
    ASSERT_NE(join, nullptr);
    {
        ConfigOverride connect("AI.Common.ConnectLookAhead", "2000000000");
        ConfigOverride ahead("AI.Common.BasicLookAhead", "2000000000");
        PutOn(craft, join->m_Previous);
        const CInputMessage message = Drive(3);
        EXPECT_TRUE(message.m_Forward);
        EXPECT_NE(craft->m_AITargetNode, nullptr);
    }
    // A path that ends: the walk stops at the last node.
    WePathNode* open = join->m_Next->m_Next;
    WePathNode* after = open->m_Next;
    open->m_Next = nullptr;
    PutOn(craft, join->m_Next);
    Drive(3);
    EXPECT_EQ(craft->m_AITargetNode, open);
    open->m_Next = after;
    // No track position yet: forward, and no target or turn.
    craft->m_CurrentNode = nullptr;
    craft->m_AITargetNode = nullptr;
    const CInputMessage message = Drive(3);
    EXPECT_TRUE(message.m_Forward);
    EXPECT_FALSE(message.m_Override);
    EXPECT_EQ(craft->m_AITargetNode, nullptr);
}

TEST_F(CAgentDriving, AnEndNodeStopsTheLookAhead)
{
    WePathNode* ramp = FindNode(WePathNode::JumpStart);
    ASSERT_NE(ramp, nullptr);
    CTuber* craft = rig->Craft(1);
    PutOn(craft, ramp->m_Previous);
    Drive(1);
    EXPECT_EQ(craft->m_AITargetNode, ramp);
}

TEST_F(CAgentDriving, AStuckCraftLosesItsCollisionsUntilItIsBackOnTheLine)
{
    CTuber* craft = rig->Craft(4);
    craft->m_StuckPosition = craft->GetWorldPosition();
    craft->m_StuckTimer = 0.0f;
    // Away from the line: held in place for a second, it becomes a ghost.
    craft->m_TrackPoint = craft->GetWorldPosition() + D3DXVECTOR3(30.0f, 0.0f, 0.0f);
    for (int frame = 0; frame < 63; ++frame)
        Drive(4);
    EXPECT_FALSE(craft->m_Ghost);
    EXPECT_TRUE(craft->m_PhysicHandle->IsCollisionEnabled());
    CInputMessage message = Drive(4);
    EXPECT_TRUE(craft->m_Ghost);
    EXPECT_FALSE(craft->m_PhysicHandle->IsCollisionEnabled());
    EXPECT_FALSE(message.m_Turbo);
    // Its gain is the ghost's.
    EXPECT_FLOAT_EQ(craft->m_FlyingCoefficient, GetConfigFloat("AI.Common.MaxFlyingCoef", 1.0f));
    // Back within 10 of the line: collisions again.
    craft->m_TrackPoint = craft->GetWorldPosition() + D3DXVECTOR3(9.0f, 0.0f, 0.0f);
    craft->m_StuckPosition = craft->GetWorldPosition() + D3DXVECTOR3(0.0f, 0.0f, 50.0f);
    Drive(4);
    EXPECT_FALSE(craft->m_Ghost);
    EXPECT_TRUE(craft->m_PhysicHandle->IsCollisionEnabled());

    // Not while the hyper-brake launch runs.
    craft->m_StuckPosition = craft->GetWorldPosition();
    craft->m_StuckTimer = 0.0f;
    craft->m_HyperBrakeLaunch = true;
    for (int frame = 0; frame < 128; ++frame)
        Drive(4);
    EXPECT_FALSE(craft->m_Ghost);
    craft->m_HyperBrakeLaunch = false;
}

TEST_F(CAgentDriving, TheGainBlendsTowardItsMaximumWithTheCatchUp)
{
    CTuber* craft = rig->Craft(3);
    CAgent* agent = AgentTest::AgentOf(*rig, 3);
    const float top = GetConfigFloat("AI.Common.MaxFlyingCoef", 1.0f);
    const struct
    {
        float factor, koefBack, gain;
    } rows[] = {{1.0f, 0.2f, 0.1f},
                {1.1f, 0.2f, 0.1f + (top - 0.1f) * 0.5f},
                {3.0f, 0.2f, top},
                {1.5f, 0.0f, 0.1f},
                {1.5f, -1.0f, 0.1f}};
    for (const auto& row : rows)
    {
        agent->m_Profile->m_FlyingCoef = 0.1f;
        agent->m_Profile->m_CatchUpSpeedKoefBack = row.koefBack;
        craft->m_CatchUpFactor = row.factor;
        craft->m_FlyingCoefficient = -1.0f;
        // Facing across the track so that there is a turn.
        const D3DXVECTOR3 at = craft->GetWorldPosition();
        AgentTest::Place(craft, at, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
        const CInputMessage message = Drive(3);
        ASSERT_TRUE(message.m_Override);
        EXPECT_NEAR(craft->m_FlyingCoefficient, row.gain, 1e-5f) << row.factor << " " << row.koefBack;
    }
    g_AIKernel.LoadProfiles();
}

TEST_F(CAgentDriving, SlowMediumAndHardCraftPressRotateBySlotParity)
{
    const struct
    {
        int slot;  // 0 Easy, 1 and 2 Medium, 3 and 4 Hard
        bool left, right;
    } rows[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, true, false}, {4, false, true}};
    for (const auto& row : rows)
    {
        CTuber* craft = rig->Craft(row.slot);
        craft->m_MeasuredSpeed = 0.0f;
        const CInputMessage message = Drive(row.slot);
        EXPECT_EQ(message.m_RotateLeft != 0, row.left) << row.slot;
        EXPECT_EQ(message.m_RotateRight != 0, row.right) << row.slot;
        // At speed no rotate is pressed.
        craft->m_MeasuredSpeed = craft->m_MaxSpeed;
        const CInputMessage fast = Drive(row.slot);
        EXPECT_FALSE(fast.m_RotateLeft || fast.m_RotateRight) << row.slot;
    }
}

TEST_F(CAgentDriving, ACraftFacingAwayTurnsRoundWithinTwoSeconds)
{
    CTuber* craft = rig->Craft(3);
    const D3DXVECTOR3 at = craft->GetWorldPosition();
    AgentTest::Place(craft, at, D3DXVECTOR3(0.0f, 0.0f, -1.0f));
    rig->Tick(128);
    ASSERT_NE(craft->m_CurrentNode, nullptr);
    const D3DXVECTOR3 forward = Row(craft->GetWorldMatrix(), 2);
    const D3DXVECTOR3 along = Row(craft->m_CurrentNode->GetWorldMatrix(), 2);
    EXPECT_GT(forward.x * along.x + forward.y * along.y + forward.z * along.z, 0.5f);
}

}  // namespace
