#pragma once
#include <cstdint>

#include "Platform/system/SysClockSource.h"

// A clock that moves only when told: one fixed step per Advance, so a timer on it measures exactly that step
// every frame and a run is the same whatever the machine's speed. A sleep moves it by the time slept.
class WeSteppedClock : public SysClockSource
{
public:
    static constexpr int64_t TicksPerSecond = int64_t(1) << 24;

    explicit WeSteppedClock(double stepSeconds = 1.0 / 64.0);

    int64_t ReadCounter() override { return m_Counter; }
    int64_t Frequency() override { return TicksPerSecond; }
    void SleepMs(int milliseconds) override;

    void Advance() { m_Counter += m_StepTicks; }
    void SetStep(double stepSeconds);
    int64_t StepTicks() const { return m_StepTicks; }

private:
    int64_t m_Counter = 0;
    int64_t m_StepTicks = 0;
};
