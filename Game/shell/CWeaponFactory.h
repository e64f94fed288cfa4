#pragma once
#include <cstdint>

// The weapons' safety lock of a race: no craft fires until it has expired, a few seconds after the start.
class CWeaponFactory
{
public:
    uint8_t m_SafetyLockExpired = 0;
    float m_SafetyLockTimer = 0.0f;  // seconds of racing so far, held at the lock time once expired
};

extern CWeaponFactory g_WeaponFactory;
