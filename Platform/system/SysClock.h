#pragma once
#include "Platform/system/SysClockSource.h"

#include <cstdint>

// Local wall-clock time broken into its calendar fields (month 1..12, day 1..31).
struct SysLocalTime
{
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
    int milliseconds;
};

// The machine's clocks: a monotonic nanosecond counter that never jumps with wall-clock changes,
// millisecond sleeps, and the local time for file stamps.
class SysClock : public SysClockSource
{
public:
    int64_t ReadCounter() override;
    int64_t Frequency() override;
    void SleepMs(int milliseconds) override;

    // The one system clock, usable during static initialisation.
    static SysClock& System();

    static int64_t Counter();
    static constexpr int64_t CounterFrequency = 1000000000;
    static void Sleep(int milliseconds);
    static void LocalTime(SysLocalTime& out);
};
