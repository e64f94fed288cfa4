#pragma once
#include <cstdint>

#include "Engine/foundation/WeSteppedClock.h"

// The engine on a fixed step: the physics and the game's clock move by exactly one step each frame, whatever the
// wall clock says, so that a frame number always meets the same game state. The race rig and the executable's
// WE_FIXED_STEP hook both run on it.
class WeFixedStep
{
public:
    // Before the engine starts: the engine's fixed tick at this step, and the physics' sub-step made the same, so
    // that every tick is one physics step. Saves what it changes.
    void Configure(double stepSeconds);
    // After the engine started: the game's timer reads the stepped clock from now on, neither paced nor clamped,
    // and its first frame is one step long.
    void StartClock();
    // Before each frame's tick: the clock moves by one step.
    void Advance();
    // Puts back what Configure and StartClock changed, the timer on the system clock again.
    void Restore();

    bool IsOn() const { return m_Configured; }
    double Step() const { return m_Step; }

private:
    WeSteppedClock m_Clock;
    double m_Step = 0.0;
    bool m_Configured = false;
    bool m_ClockStarted = false;
    uint8_t m_SavedFixedTick = 0;
    float m_SavedFixedStep = 0.0f;
    int32_t m_SavedPhysicsRate = 60;
    double m_SavedMinimumFrameTime = 0.0;
    double m_SavedMaximumFrameDelta = 0.0;
};
