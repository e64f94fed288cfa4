#pragma once
#include <cstdint>

// The race's short screen flashes: bloom and tint animated by a small state machine. Craft, pickups and
// weapons start a flash by setting the state (and for the pulses the target); one runs at a time, and a new
// state restarts the clock.
struct CScreenEffects
{
    int32_t m_State = 0;      // 0 none, 1-12 a flash
    int32_t m_LastState = 0;  // the state the last update saw
    float m_Clock = 0.0f;     // seconds in the state
    float m_PulseTarget = 0.0f;
    float m_PulseValue = 0.0f;
};

extern CScreenEffects g_ScreenEffects;

// Everything back to 0, no tint, the map's normal bloom.
void ResetScreenEffects();
// Once per race update, by the frame time.
void UpdateScreenEffects();
// The map's low, normal and high bloom levels (the header's defaults without a map).
void GetMapBloomLevels(float& low, float& normal, float& high);
// The player craft's trail colour, white without a player craft.
void GetPlayerTrailColour(float colour[3]);
