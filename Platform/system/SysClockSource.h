#pragma once
#include <cstdint>

// Where the timer reads time from and how it waits. The engine runs on the system clock; tests hand
// the timer a fake one so that pacing and clamping can be checked without real sleeps.
class SysClockSource
{
public:
    virtual ~SysClockSource() = default;

    // A monotonic tick count; only differences between two reads mean anything.
    virtual int64_t ReadCounter() = 0;
    // Ticks per second of ReadCounter.
    virtual int64_t Frequency() = 0;
    // Waits at least the given number of whole milliseconds.
    virtual void SleepMs(int milliseconds) = 0;
};
