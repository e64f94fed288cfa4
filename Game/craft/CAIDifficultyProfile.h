#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// The tuning of one computer difficulty: how it shoots, steers, uses turbo and pickups, how the catch-up
// treats it and what its craft deal and take. Every value is read afresh at each Load, so a value changed
// between races holds from the next race on.
class CAIDifficultyProfile
{
public:
    // Reads every value from "AI." + level + "." + key; a missing value, or one that is not a number, takes
    // the key's default.
    void Load(const WeString& level);

    float m_ShootAtPlayer = 1.0f;
    float m_ShootAtEasy = 0.5f;
    float m_ShootAtMedium = 0.1f;
    float m_ShootAtHard = 0.0f;
    float m_FlyingCoef = 0.5f;
    float m_OverSpeed = 1.0f;
    float m_MineAvoidCoef = 0.2f;
    int32_t m_PickupLookup = 3;
    float m_TurboMultiplier = 0.5f;
    float m_TurboStartPathIndex = 0.25f;
    float m_AICatchUpMinDistance = 100.0f;
    float m_AICatchUpMinDistanceVariation = 100.0f;
    float m_AICatchUpMaxDistance = 500.0f;
    float m_CatchUpSpeedKoefFront = 0.2f;
    float m_CatchUpSpeedKoefBack = 0.2f;
    float m_DamageModifier = 1.0f;
    float m_MaxHPModifier = 1.0f;
};
