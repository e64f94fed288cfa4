#include <gtest/gtest.h>

#include <thread>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeCriticalSection.h"
#include "Engine/foundation/WeDottedName.h"
#include "Engine/foundation/WeLock.h"
#include "Engine/foundation/WeMoveTowards.h"

namespace
{
struct Point
{
    float x, y, z;
};
}  // namespace

TEST(WeBusy, ScopesNestAndAnUnbalancedEndLeavesThemClosed)
{
    g_BusyCount = 0;
    EXPECT_FALSE(IsBusy());
    BeginBusy();
    BeginBusy();
    EndBusy();
    EXPECT_TRUE(IsBusy());
    EndBusy();
    EXPECT_FALSE(IsBusy());
    EndBusy();
    EXPECT_EQ(g_BusyCount, -1);
    EXPECT_FALSE(IsBusy());
    g_BusyCount = 0;
}

TEST(WeLock, HoldsTheSectionForItsScopeAndNests)
{
    WeCriticalSection section;
    auto otherThreadGets = [&]
    {
        bool got = false;
        std::thread(
            [&]
            {
                got = section.Get()->TryEnter();
                if (got)
                    section.Get()->Leave();
            })
            .join();
        return got;
    };
    {
        WeLock outer(section);
        {
            WeLock inner(section.Get());  // the holding thread may take it again
            EXPECT_FALSE(otherThreadGets());
        }
        EXPECT_FALSE(otherThreadGets());
    }
    EXPECT_TRUE(otherThreadGets());
}

TEST(MoveTowards, StepsTowardTheTargetAndNeverPassIt)
{
    const struct
    {
        const char* what;
        Point from, to;
        float base, perUnit, dt;
        Point expected;
    } cases[] = {
        {"the worked example", {0, 0, 0}, {10, 0, 0}, 1.0f, 0.5f, 0.1f, {0.6f, 0, 0}},
        {"frame time at the threshold", {0, 0, 0}, {10, 0, 0}, 1.0f, 0.5f, 0.001f, {0, 0, 0}},
        {"already close", {1, 1, 1}, {1.0005f, 1, 1}, 0.0f, 0.0f, 0.1f, {1.0005f, 1, 1}},
        {"a step that would pass lands on the target", {0, 0, 0}, {1, 0, 0}, 10.0f, 0.0f, 0.5f, {1, 0, 0}},
        {"a step of exactly the distance", {0, 0, 0}, {0, 2, 0}, 4.0f, 0.0f, 0.5f, {0, 2, 0}},
        {"a large speed per unit", {0, 0, 0}, {0, 0, -3}, 0.0f, 100.0f, 0.1f, {0, 0, -3}},
        {"along a diagonal", {0, 0, 0}, {3, 4, 0}, 5.0f, 0.0f, 0.1f, {0.3f, 0.4f, 0}},
    };
    for (const auto& c : cases)
    {
        Point p = c.from;
        Point& result = MoveTowards(p, c.to, c.base, c.perUnit, c.dt);
        EXPECT_EQ(&result, &p);
        EXPECT_NEAR(p.x, c.expected.x, 1e-5f) << c.what;
        EXPECT_NEAR(p.y, c.expected.y, 1e-5f) << c.what;
        EXPECT_NEAR(p.z, c.expected.z, 1e-5f) << c.what;
    }
    // Repeated steps settle on the target instead of oscillating around it.
    Point p{0, 0, 0};
    for (int i = 0; i < 50; ++i)
        MoveTowards(p, Point{5, 0, 0}, 30.0f, 2.0f, 0.1f);
    EXPECT_EQ(p.x, 5.0f);
}

TEST(DottedNameToPath, EveryDotBecomesASeparator)
{
    EXPECT_STREQ(DottedNameToPath(WeString("Config.Main.game")).c_str(), "Config\\Main\\game");
    EXPECT_STREQ(DottedNameToPath(WeString("a.b.c.d")).c_str(), "a\\b\\c\\d");
    EXPECT_STREQ(DottedNameToPath(WeString("plain")).c_str(), "plain");
    EXPECT_EQ(DottedNameToPath(WeString()).Length(), 0);
}
