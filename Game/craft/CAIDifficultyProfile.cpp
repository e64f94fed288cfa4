#include "Game/craft/CAIDifficultyProfile.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"

namespace
{
float ReadFloat(const WeString& prefix, const char* key, float defaultValue)
{
    const float value = GetConfigFloat(prefix + key, defaultValue);
    return std::isfinite(value) ? value : defaultValue;
}
}  // namespace

void CAIDifficultyProfile::Load(const WeString& level)
{
    const WeString prefix = WeString("AI.") + level + ".";
    m_ShootAtPlayer = ReadFloat(prefix, "ShootAtPlayer", 1.0f);
    m_ShootAtEasy = ReadFloat(prefix, "ShootAtEasy", 0.5f);
    m_ShootAtMedium = ReadFloat(prefix, "ShootAtMedium", 0.1f);
    m_ShootAtHard = ReadFloat(prefix, "ShootAtHard", 0.0f);
    m_FlyingCoef = ReadFloat(prefix, "FlyingCoef", 0.5f);
    m_OverSpeed = ReadFloat(prefix, "OverSpeed", 1.0f);
    m_MineAvoidCoef = ReadFloat(prefix, "MineAvoidCoef", 0.2f);
    m_PickupLookup = GetConfigInt(prefix + "PickupLookup", 3);
    m_TurboMultiplier = ReadFloat(prefix, "TurboMultiplier", 0.5f);
    m_TurboStartPathIndex = ReadFloat(prefix, "TurboStartPathIndex", 0.25f);
    m_AICatchUpMinDistance = ReadFloat(prefix, "AICatchUpMinDistance", 100.0f);
    m_AICatchUpMinDistanceVariation = ReadFloat(prefix, "AICatchUpMinDistanceVariation", 100.0f);
    m_AICatchUpMaxDistance = ReadFloat(prefix, "AICatchUpMaxDistance", 500.0f);
    m_CatchUpSpeedKoefFront = ReadFloat(prefix, "CatchUpSpeedKoefFront", 0.2f);
    m_CatchUpSpeedKoefBack = ReadFloat(prefix, "CatchUpSpeedKoefBack", 0.2f);
    m_DamageModifier = ReadFloat(prefix, "DamageModifier", 1.0f);
    m_MaxHPModifier = ReadFloat(prefix, "MaxHPModifier", 1.0f);
}
