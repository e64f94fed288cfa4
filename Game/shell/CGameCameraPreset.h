#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// How the chase camera follows the craft: one record per configured camera. Angles in radians.
struct CGameCameraPreset
{
    float m_BackDistance = 5.0f;
    float m_UpDistance = 1.5f;
    float m_Distance = 0.0f;  // of the two above
    float m_Accel = 1.0f;
    float m_MinHitDistance = 1.0f;
    float m_MinVisibleDistance = 0.0f;
    float m_ViewDirection = 1.0f;
    float m_Speed = 5.0f;
    float m_AngularSpeed = 5.0f;
    bool m_NoShaking = false;
    bool m_FPS = false;
    bool m_Centered = false;
    bool m_Stopping = false;
    float m_LookFactor = 0.0f;
    bool m_NoTrail = false;
    float m_MinDistance = 2.0f;
    float m_MaxDistance = 50.0f;
    float m_MinFOV = 0.0f;
    float m_MaxFOV = 0.0f;
    float m_TurboFOV = 0.0f;
    float m_MinFOVSpeed = 0.0f;
    float m_MaxFOVSpeed = 0.5f;
    bool m_NoHitCheck = false;

    CGameCameraPreset();
    // Reads prefix + ".BackDistance" and the rest. Values that would break the view are clamped: distances and
    // rates at 0, the largest distance at least the smallest, fields of view to 1..179 degrees.
    void Load(const WeString& prefix);
};

// The process-wide table: up to ten numbered presets, the finishing one and the reverse one.
struct CGameCameraPresets
{
    static constexpr int32_t MaxNumbered = 10;
    CGameCameraPreset m_Numbered[MaxNumbered];
    CGameCameraPreset m_Finishing;
    CGameCameraPreset m_Reverse;
    int32_t m_Count = 1;
};

extern CGameCameraPresets g_CameraPresets;
