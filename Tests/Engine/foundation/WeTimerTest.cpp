#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeRandomTable.h"
#include "Engine/foundation/WeSteppedClock.h"
#include "Platform/system/SysClockSource.h"
#include "Platform/system/SysRandom.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// Time moves only when the test says so, or when the timer sleeps. Counter ticks are microseconds.
class FakeClock : public SysClockSource
{
public:
    int64_t ReadCounter() override
    {
        ++reads;
        return now;
    }
    int64_t Frequency() override { return 1000000; }
    void SleepMs(int milliseconds) override
    {
        sleeps.push_back(milliseconds);
        now += static_cast<int64_t>(milliseconds) * 1000 + sleepOvershoot;
    }
    void Advance(double seconds) { now += static_cast<int64_t>(seconds * 1e6 + 0.5); }

    int64_t now = 5000000;
    int64_t sleepOvershoot = 0;
    int reads = 0;
    std::vector<int> sleeps;
};

}  // namespace

TEST(WeTimer, FreshTimerIsStoppedWithEmptySections)
{
    FakeClock clock;
    WeTimer timer(clock);
    EXPECT_EQ(timer.m_Started, 0);
    EXPECT_DOUBLE_EQ(timer.m_SecondsPerTick, 1e-6);
    EXPECT_EQ(timer.m_MinimumFrameTime, 0.0);
    EXPECT_EQ(timer.m_MaximumFrameDelta, 0.0);
    EXPECT_STREQ(timer.m_Sections[999].m_Name, "");
    EXPECT_EQ(timer.m_Sections[0].m_Minimum, 1e10);

    // Not started: a tick changes nothing.
    clock.Advance(1.0);
    timer.FrameTick();
    EXPECT_EQ(timer.m_TotalTime, 0.0);
    EXPECT_EQ(clock.reads, 0);
}

TEST(WeTimer, PacingSleepsWholeMillisecondsUntilTheMinimumIsReached)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.m_MinimumFrameTime = 0.01;
    timer.Start();

    // A 4 ms frame sleeps int(0.006 * 999.9) = 5 ms, measures 9 ms, then at least 1 ms more.
    clock.Advance(0.004);
    timer.FrameTick();
    EXPECT_EQ(clock.sleeps, (std::vector<int>{5, 1}));
    EXPECT_NEAR(timer.m_FrameDelta, 0.010, 1e-9);
    EXPECT_GE(timer.m_FrameDelta, timer.m_MinimumFrameTime);

    // A frame already longer than the minimum does not sleep.
    clock.sleeps.clear();
    clock.Advance(0.02);
    timer.FrameTick();
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_NEAR(timer.m_FrameDelta, 0.02, 1e-9);

    // Without a minimum the loop reads the counter exactly once.
    timer.m_MinimumFrameTime = 0.0;
    int reads = clock.reads;
    clock.Advance(0.001);
    timer.FrameTick();
    EXPECT_EQ(clock.reads, reads + 1);
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(WeTimer, StallIsClampedButTheRawTimeIsKept)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.m_MaximumFrameDelta = 0.1;
    timer.Start();

    clock.Advance(0.05);
    timer.FrameTick();
    clock.Advance(2.0);
    timer.FrameTick();
    EXPECT_DOUBLE_EQ(timer.m_FrameDelta, 0.1);
    EXPECT_NEAR(timer.m_RawFrameDelta, 2.0, 1e-9);
    EXPECT_FLOAT_EQ(timer.m_FrameDeltaF, 0.1f);
    EXPECT_NEAR(timer.m_RawFrameDeltaF, 2.0f, 1e-6);
    // Total time is the sum of the clamped deltas, not wall time.
    EXPECT_NEAR(timer.m_TotalTime, 0.15, 1e-9);
    EXPECT_NEAR(timer.m_TotalTimeF, 0.15f, 1e-6);
    // The counter seconds still say what really passed.
    EXPECT_NEAR(timer.GetSeconds(), 2.05, 1e-9);
    EXPECT_EQ(timer.GetMilliseconds(), 2050);
}

TEST(WeTimer, MillisecondsPastTheIntRangeWrapLikeATickCounter)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.Start();
    clock.Advance(30.0 * 86400.0);  // 2,592,000,000 ms: more than an int holds
    EXPECT_EQ(timer.GetMilliseconds(), static_cast<int>(2592000000u - 4294967296ull));
    clock.Advance(0.25);
    EXPECT_EQ(timer.GetMilliseconds(), static_cast<int>(2592000250u - 4294967296ull));
}

TEST(WeTimer, FramesPerSecondIsAMovingOneSecondAverage)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.Start();
    for (int i = 0; i < 10; ++i)
    {
        clock.Advance(0.05);
        timer.FrameTick();
    }
    EXPECT_NEAR(timer.m_Fps, 20.0, 1e-6);
    EXPECT_EQ(timer.m_FpsWindowFrames, 10);

    for (int i = 0; i < 10; ++i)
    {
        clock.Advance(0.05);
        timer.FrameTick();
    }
    // The window reached a second: it restarts as one average frame.
    EXPECT_EQ(timer.m_FpsWindowFrames, 1);
    EXPECT_NEAR(timer.m_FpsWindowTime, 0.05, 1e-9);

    // Slower frames pull the value down gradually, not at once.
    clock.Advance(0.2);
    timer.FrameTick();
    EXPECT_NEAR(timer.m_Fps, 2.0 / 0.25, 1e-6);
}

TEST(WeTimer, StartRestartsAndStopFreezes)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.Start();
    clock.Advance(0.5);
    timer.FrameTick();
    clock.Advance(0.5);
    timer.Start();  // already started: nothing
    timer.FrameTick();
    EXPECT_NEAR(timer.m_TotalTime, 1.0, 1e-9);

    timer.Stop();
    clock.Advance(0.5);
    timer.FrameTick();
    EXPECT_NEAR(timer.m_TotalTime, 1.0, 1e-9);

    timer.Start();
    EXPECT_EQ(timer.m_TotalTime, 0.0);
    EXPECT_EQ(timer.m_Fps, 0.0);
    EXPECT_NEAR(timer.m_RawFrameDeltaF, 0.5f, 1e-6);  // left as it was
    EXPECT_NEAR(timer.GetSeconds(), 0.0, 1e-9);
}

TEST(WeTimer, SectionStatisticsWithAndWithoutTheFirstSample)
{
    FakeClock clock;
    WeTimer timer(clock);
    const char* name = "Render";

    timer.BeginSection(200, name);
    clock.Advance(0.004);
    timer.EndSection(200);
    const WeProfilerSection& s = timer.m_Sections[200];
    EXPECT_EQ(s.m_Name, name);  // the pointer, not a copy
    EXPECT_EQ(s.m_Count, 1);
    EXPECT_NEAR(s.m_Average, 0.004, 1e-12);
    EXPECT_EQ(s.m_AverageWithoutFirst, 0.0);
    EXPECT_NEAR(s.m_FirstSample, 0.004, 1e-12);

    timer.BeginSection(200, name);
    clock.Advance(0.002);
    timer.BeginSection(200, "ignored");  // nested open of the same id: first wins
    clock.Advance(0.001);
    timer.EndSection(200);
    EXPECT_EQ(s.m_Name, name);
    EXPECT_EQ(s.m_Count, 2);
    EXPECT_NEAR(s.m_AverageWithoutFirst, 0.003, 1e-12);
    EXPECT_NEAR(s.m_Average, 0.0035, 1e-12);
    EXPECT_NEAR(s.m_Minimum, 0.003, 1e-12);
    EXPECT_NEAR(s.m_Maximum, 0.004, 1e-12);
    EXPECT_EQ(s.m_Open, 0);

    timer.BeginSection(200, name);
    clock.Advance(0.006);
    timer.EndSection(200);
    EXPECT_NEAR(s.m_AverageWithoutFirst, (0.003 + 0.006) / 2, 1e-12);
    EXPECT_NEAR(s.m_Total, 0.013, 1e-12);
}

TEST(WeTimer, SectionsOutOfRangeOrNeverOpenedChangeNothing)
{
    FakeClock clock;
    WeTimer timer(clock);
    timer.EndSection(5);
    EXPECT_EQ(timer.m_Sections[5].m_Count, 0);
    EXPECT_EQ(timer.m_Sections[5].m_Minimum, 1e10);
    int reads = clock.reads;
    timer.BeginSection(1000, "x");
    timer.EndSection(1000);
    timer.BeginSection(0xFFFFFFFFu, "x");
    EXPECT_EQ(clock.reads, reads);
    for (const WeProfilerSection& section : timer.m_Sections)
        EXPECT_EQ(section.m_Open, 0);
}

TEST(WeRandomTable, PassesStartOneEntryFurtherOn)
{
    InitRandomTable();
    std::vector<int> first;
    for (int i = 0; i < 32768; ++i)
        first.push_back(NextRandom());
    for (int value : first)
    {
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    // The first pass reads entries 1..32767 and then entry 1 again; the second starts at entry 2.
    EXPECT_EQ(first[32767], first[0]);
    std::vector<int> second;
    for (int i = 0; i < 32768; ++i)
        second.push_back(NextRandom());
    EXPECT_EQ(second[0], first[1]);
    EXPECT_EQ(second[100], first[101]);
}

TEST(WeSteppedClock, TimerOnItAdvancesExactlyOneStepPerFrame)
{
    WeSteppedClock clock(1.0 / 64.0);
    WeTimer timer;
    timer.UseClock(clock);
    timer.Start();
    for (int i = 0; i < 640; ++i)
    {
        clock.Advance();
        timer.FrameTick();
        ASSERT_EQ(timer.m_FrameDelta, 1.0 / 64.0);
    }
    EXPECT_EQ(timer.m_TotalTime, 10.0);
    EXPECT_EQ(timer.m_FrameDeltaF, 0.015625f);
    // A sleep moves the clock by the time slept, so pacing to a minimum frame time ends.
    timer.m_MinimumFrameTime = 0.05;
    timer.FrameTick();
    EXPECT_GE(timer.m_FrameDelta, 0.05);
}
