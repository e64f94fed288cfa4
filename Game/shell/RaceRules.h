#pragma once
#include <cstdint>

class CAIDifficultyProfile;

// The time allowed for time-trial lap number lap (1-based) on the current map at the race difficulty.
float LapTimeLimit(int32_t lap);
// The speed factor of a computer craft that is distance d ahead of the player's craft (behind when negative),
// by the catch-up values of its difficulty profile and its own variation (-0.5 to 0.5).
float CatchUpFactorFor(float d, const CAIDifficultyProfile& profile, float variation);
// The catch-up values of a computer craft without an agent: the kernel's Medium record, loaded at race start.
const CAIDifficultyProfile& CatchUpProfileWithoutAgent();
// The safety-lock caption's colour (ARGB) at the lock timer: green, then a pulsing red over the last 0.3.
uint32_t SafetyLockCaptionColour(float timer, float lockTime);
