#include "Engine/runtime/WeFixedStep.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeEngine.h"
#include "Platform/system/SysClock.h"

#include <cmath>

namespace
{
int32_t& PhysicsRate()
{
    return GetConfigInt("debug.Physics.MaxTimestep", 60);
}
}  // namespace

void WeFixedStep::Configure(double stepSeconds)
{
    if (!m_Configured)
    {
        m_SavedFixedTick = g_Engine.m_FixedTick;
        m_SavedFixedStep = g_Engine.m_FixedStep;
        m_SavedPhysicsRate = PhysicsRate();
    }
    m_Step = stepSeconds;
    m_Configured = true;
    g_Engine.m_FixedTick = 1;
    g_Engine.m_FixedStep = float(stepSeconds);
    // The physics steps in whole sub-steps of its own rate: at the same rate every tick is exactly one sub-step.
    const long rate = std::lround(1.0 / stepSeconds);
    PhysicsRate() = rate < 1 ? 1 : int32_t(rate);
}

void WeFixedStep::StartClock()
{
    if (!m_Configured)
        return;
    if (!m_ClockStarted)
    {
        m_SavedMinimumFrameTime = g_Timer.m_MinimumFrameTime;
        m_SavedMaximumFrameDelta = g_Timer.m_MaximumFrameDelta;
    }
    m_ClockStarted = true;
    // Pacing would sleep the stepped clock forward and a clamp would cut the step: neither may change a frame.
    g_Timer.m_MinimumFrameTime = 0.0;
    g_Timer.m_MaximumFrameDelta = 0.0;
    m_Clock.SetStep(m_Step);
    g_Timer.UseClock(m_Clock);
    g_Timer.Start();
    m_Clock.Advance();
    g_Timer.FrameTick();
}

void WeFixedStep::Advance()
{
    if (m_ClockStarted)
        m_Clock.Advance();
}

void WeFixedStep::Restore()
{
    if (m_ClockStarted)
    {
        g_Timer.Stop();
        g_Timer.UseClock(SysClock::System());
        g_Timer.m_MinimumFrameTime = m_SavedMinimumFrameTime;
        g_Timer.m_MaximumFrameDelta = m_SavedMaximumFrameDelta;
        g_Timer.Start();
        m_ClockStarted = false;
    }
    if (m_Configured)
    {
        g_Engine.m_FixedTick = m_SavedFixedTick;
        g_Engine.m_FixedStep = m_SavedFixedStep;
        PhysicsRate() = m_SavedPhysicsRate;
        m_Configured = false;
    }
}
