#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Engine/world/WePathNode.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/Game/craft/CraftTestSupport.h"
#include "Tools/race_common/RaceRigScripts.h"

namespace
{

std::vector<uint64_t> RunScript(int64_t nudge)
{
    RaceRigOptions o = CraftTest::Options(2);
    RaceRig rig(o);
    std::string error;
    EXPECT_TRUE(rig.Start(&error)) << error;
    rig.SetPlayerScript(
        [&](int64_t tick, CInputMessage& m)
        {
            SteerAlongTrack(rig.Player(), tick, 384, m);
            if (tick == nudge)
                m.m_Turbo = 1;
        });
    for (int slot = 1; slot <= 2; ++slot)
        rig.SetSlotScript(slot, [&rig, slot](int64_t tick, CInputMessage& m)
                          { SteerAlongTrack(rig.Craft(slot), tick, 384, m); });
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
