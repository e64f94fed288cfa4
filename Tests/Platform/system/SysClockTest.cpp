#include "Platform/system/SysClock.h"

#include <gtest/gtest.h>

TEST(SysClock, CounterIsMonotonicAndSleepWaitsAtLeastTheTime)
{
    EXPECT_EQ(SysClock::System().Frequency(), SysClock::CounterFrequency);
    int64_t before = SysClock::Counter();
    SysClock::System().SleepMs(20);
    int64_t after = SysClock::System().ReadCounter();
    EXPECT_GE(after - before, 20 * SysClock::CounterFrequency / 1000);
    SysClock::Sleep(0);  // no wait, no failure
    SysClock::Sleep(-5);
}

TEST(SysClock, LocalTimeFieldsAreInCalendarRange)
{
    SysLocalTime now{};
    SysClock::LocalTime(now);
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 60);
    EXPECT_LT(now.milliseconds, 1000);
}
