#include "Game/shell/CGameCameraPreset.h"

#include <cmath>

#include "Engine/foundation/WeConfig.h"

CGameCameraPresets g_CameraPresets;

namespace
{
constexpr float DegreesToRadians = 3.14159265358979f / 180.0f;

float ReadFloat(const WeString& prefix, const char* suffix, float fallback)
{
    const float value = GetConfigFloat(prefix + suffix, fallback);
    return std::isfinite(value) ? value : fallback;
}

bool ReadBool(const WeString& prefix, const char* suffix)
{
    return GetConfigInt(prefix + suffix, 0) != 0;
}

float AtLeastZero(float value)
{
    return value > 0.0f ? value : 0.0f;
}

// A field of view outside 1..179 degrees makes the projection infinite or flips it.
float ReadFov(const WeString& prefix, const char* suffix, float degrees)
{
    float value = ReadFloat(prefix, suffix, degrees);
    value = value < 1.0f ? 1.0f : (value > 179.0f ? 179.0f : value);
    return value * DegreesToRadians;
}
}  // namespace

CGameCameraPreset::CGameCameraPreset()
    : m_Distance(std::sqrt(m_BackDistance * m_BackDistance + m_UpDistance * m_UpDistance)),
      m_MinFOV(90.0f * DegreesToRadians), m_MaxFOV(120.0f * DegreesToRadians), m_TurboFOV(150.0f * DegreesToRadians)
{
}

void CGameCameraPreset::Load(const WeString& prefix)
{
    m_BackDistance = AtLeastZero(ReadFloat(prefix, ".BackDistance", 5.0f));
    m_UpDistance = ReadFloat(prefix, ".UpDistance", 1.5f);
    m_Distance = std::sqrt(m_BackDistance * m_BackDistance + m_UpDistance * m_UpDistance);
    m_Accel = ReadFloat(prefix, ".Accel", 1.0f);
    m_MinHitDistance = AtLeastZero(ReadFloat(prefix, ".MinHitDistance", 1.0f));
    m_MinVisibleDistance = ReadFloat(prefix, ".MinVisibleDistance", 0.0f);
    m_ViewDirection = ReadFloat(prefix, ".ViewDirection", 1.0f);
    m_Speed = AtLeastZero(ReadFloat(prefix, ".Speed", 5.0f));
    m_AngularSpeed = AtLeastZero(ReadFloat(prefix, ".AngularSpeed", 5.0f));
    m_NoShaking = ReadBool(prefix, ".NoShaking");
    m_FPS = ReadBool(prefix, ".FPS");
    m_Centered = ReadBool(prefix, ".Centered");
    m_Stopping = ReadBool(prefix, ".Stopping");
    m_LookFactor = ReadFloat(prefix, ".LookFactor", 0.0f);
    m_NoTrail = ReadBool(prefix, ".NoTrail");
    m_MinDistance = AtLeastZero(ReadFloat(prefix, ".MinDistance", 2.0f));
    m_MaxDistance = ReadFloat(prefix, ".MaxDistance", 50.0f);
    if (m_MaxDistance < m_MinDistance)
        m_MaxDistance = m_MinDistance;
    m_MinFOV = ReadFov(prefix, ".MinFOV", 90.0f);
    m_MaxFOV = ReadFov(prefix, ".MaxFOV", 120.0f);
    m_TurboFOV = ReadFov(prefix, ".TurboFOV", 150.0f);
    m_MinFOVSpeed = ReadFloat(prefix, ".MinFOVSpeed", 0.0f);
    m_MaxFOVSpeed = ReadFloat(prefix, ".MaxFOVSpeed", 0.5f);
    m_NoHitCheck = ReadBool(prefix, ".NoHitCheck");
}
