#include "Engine/foundation/WeTickCost.h"

#include <gtest/gtest.h>

#include "Platform/system/SysClockSource.h"

namespace
{
// Counts microseconds; time moves only when the test says so.
class FakeClock : public SysClockSource
{
public:
    int64_t ReadCounter() override
    {
        ++reads;
        return now;
    }
    int64_t Frequency() override { return 1000000; }
    void SleepMs(int) override {}

    int64_t now = 5000;
    int reads = 0;
};

using Stage = WeCostStage;

class WeTickCostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cost.UseClock(&clock);
        cost.Enable(true);
        cost.BeginSample();
    }
    int64_t Us(Stage stage) const { return ns[int32_t(stage)] / 1000; }
    void End() { cost.EndSample(ns); }

    FakeClock clock;
    WeTickCost cost;
    int64_t ns[WeTickCost::StageCount] = {};
};

TEST_F(WeTickCostTest, TheInnermostStageTakesTheTimeAndTheOuterOneGetsItBackAfter)
{
    clock.now += 1;  // before any stage: other
    cost.Enter(Stage::Craft);
    clock.now += 10;
    cost.Enter(Stage::Ai);
    clock.now += 5;
    cost.Enter(Stage::Craft);  // the agent drives the craft's motion
    clock.now += 7;
    cost.Leave();
    clock.now += 3;
    cost.Leave();
    clock.now += 2;
    cost.Leave();
    clock.now += 4;
    End();
    EXPECT_EQ(Us(Stage::Craft), 10 + 7 + 2);
    EXPECT_EQ(Us(Stage::Ai), 5 + 3);
    EXPECT_EQ(Us(Stage::Other), 1 + 4);
    int64_t sum = 0;
    for (int64_t n : ns)
        sum += n;
    EXPECT_EQ(sum, 32000) << "every nanosecond of the sample is charged once";
}

TEST_F(WeTickCostTest, ASampleStartsFromNothingAndLeavesNoStageOpen)
{
    cost.Enter(Stage::Physics);
    clock.now += 50;
    End();
    EXPECT_EQ(Us(Stage::Physics), 50);
    // The next sample starts at Other, with the stage that was open forgotten.
    cost.BeginSample();
    clock.now += 8;
    End();
    EXPECT_EQ(Us(Stage::Physics), 0);
    EXPECT_EQ(Us(Stage::Other), 8);
}

TEST_F(WeTickCostTest, UnmatchedLeavesAndTooDeepNestingKeepTheBooksWhole)
{
    cost.Leave();  // nothing open: stays with other
    clock.now += 2;
    for (int i = 0; i < WeTickCost::MaxDepth + 4; ++i)
        cost.Enter(i % 2 == 0 ? Stage::Weapons : Stage::HudUi);
    clock.now += 6;  // the innermost stage that fitted keeps it
    for (int i = 0; i < WeTickCost::MaxDepth + 4; ++i)
        cost.Leave();
    clock.now += 3;  // every level left: back at other
    End();
    EXPECT_EQ(Us(Stage::Other), 2 + 3);
    EXPECT_EQ(Us(Stage::Weapons) + Us(Stage::HudUi), 6);
    EXPECT_EQ(Us(WeTickCost::MaxDepth % 2 == 1 ? Stage::Weapons : Stage::HudUi), 6);
}

TEST(WeTickCost, OffAScopeReadsNoClockAndChargesNothing)
{
    FakeClock clock;
    g_TickCost.UseClock(&clock);
    g_TickCost.Enable(false);
    const int reads = clock.reads;
    {
        WeTickCost::Scope scope(Stage::Physics);
        clock.now += 100;
    }
    EXPECT_EQ(clock.reads, reads);
    // Turned on inside a scope that began off, the scope's end leaves nothing open.
    {
        WeTickCost::Scope scope(Stage::Physics);
        g_TickCost.Enable(true);
        g_TickCost.BeginSample();
        clock.now += 10;
    }
    clock.now += 4;
    int64_t ns[WeTickCost::StageCount] = {};
    g_TickCost.EndSample(ns);
    EXPECT_EQ(ns[int32_t(Stage::Physics)], 0);
    EXPECT_EQ(ns[int32_t(Stage::Other)], 14000);
    g_TickCost.Enable(false);
    g_TickCost.UseClock(nullptr);
}

TEST(WeTickCost, EveryStageHasAName)
{
    for (int32_t i = 0; i < WeTickCost::StageCount; ++i)
        EXPECT_STRNE(WeTickCost::StageName(WeCostStage(i)), "?") << i;
    EXPECT_STREQ(WeTickCost::StageName(WeCostStage::Count), "?");
}
}  // namespace
