#include "Engine/foundation/WeSteppedClock.h"

#include <cmath>

WeSteppedClock::WeSteppedClock(double stepSeconds)
{
    SetStep(stepSeconds);
}

void WeSteppedClock::SleepMs(int milliseconds)
{
    if (milliseconds > 0)
        m_Counter += TicksPerSecond * milliseconds / 1000;
}

void WeSteppedClock::SetStep(double stepSeconds)
{
    const double ticks = std::isfinite(stepSeconds) && stepSeconds > 0.0 ? stepSeconds * TicksPerSecond : 0.0;
    m_StepTicks = static_cast<int64_t>(std::llround(ticks));
}
