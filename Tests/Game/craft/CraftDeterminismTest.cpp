#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Engine/world/WePathNode.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace
{

// Steer toward a point a few nodes ahead on the path: turn by the side it lies on, hold forward, and from
// the sixth second on turbo when it lies straight ahead.
void Steer(CTuber* craft, int64_t tick, CInputMessage& m)
{
    m.m_Forward = 1;
    WePathNode* node = craft->m_NextNode ? craft->m_NextNode : craft->m_CurrentNode;
    if (!node)
        return;
    for (int i = 0; i < 2 && node->m_Next; ++i)
        node = node->m_Next;
    const D3DXMATRIX& w = craft->GetWorldMatrix();
    const D3DXVECTOR3 to = node->GetWorldPosition() - craft->GetWorldPosition();
    const float side = to.x * w._11 + to.y * w._12 + to.z * w._13;
    const float ahead = to.x * w._31 + to.y * w._32 + to.z * w._33;
    if (side > 2.0f)
        m.m_LookRight = 1;
    else if (side < -2.0f)
        m.m_LookLeft = 1;
    if (tick >= 384 && ahead > 0.0f && std::fabs(side) < 0.05f * ahead)
        m.m_Turbo = 1;
}

std::vector<uint64_t> RunScript(int64_t nudge)
{
    RaceRigOptions o = CraftTest::Options(2);
    RaceRig rig(o);
    std::string error;
    EXPECT_TRUE(rig.Start(&error)) << error;
    rig.SetPlayerScript(
        [&](int64_t tick, CInputMessage& m)
        {
            Steer(rig.Player(), tick, m);
            if (tick == nudge)
                m.m_Turbo = 1;
        });
    for (int slot = 1; slot <= 2; ++slot)
        rig.SetSlotScript(slot, [&rig, slot](int64_t tick, CInputMessage& m) { Steer(rig.Craft(slot), tick, m); });
    rig.Tick(640);
    return rig.TickDigests();
}

TEST(CraftDeterminism, TheSameScriptTwiceGivesTheSamePosesTickByTick)
{
    CraftTest::Catalogue catalogue;
    const std::vector<uint64_t> first = RunScript(-1);
    const std::vector<uint64_t> second = RunScript(-1);
    ASSERT_EQ(first.size(), 640u);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i], second[i]) << "the runs part at tick " << i;
    // A nudge of one tick shows in the digest from that tick on.
    const std::vector<uint64_t> nudged = RunScript(300);
    ASSERT_EQ(nudged.size(), first.size());
    EXPECT_EQ(nudged[299], first[299]);
    EXPECT_NE(nudged.back(), first.back());
}

}  // namespace
