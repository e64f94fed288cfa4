#pragma once
#include <cstdint>

#include "Engine/render/WeCamera.h"
#include "Platform/math/D3DXVECTOR3.h"

struct CGameCameraPreset;
class CTuber;

// The chase camera that follows the player's craft during a race; owned by the game-wide state. Presets say
// how it follows; the player switches them with keys, the finishing and reverse presets take over by
// themselves. It sets the field of view by speed, shakes on hits and under turbo, drives the radial blur,
// hides the craft when too close and keeps out of the level geometry.
class CGameCamera : public WeCamera
{
public:
    enum ShakeMode : int32_t
    {
        NoShake = 0,
        HitShake = 1,
        SoftShake = 2,
        RisingShake = 3
    };
    // Casts of one hit check at most: a ray that starts inside geometry would otherwise advance 1 mm a cast.
    static constexpr int32_t MaxHitCasts = 16;

    CGameCamera();
    ~CGameCamera() override;

    void Update() override;
    // The preset table from the configuration ("cameras.Init.Count" clamped to 1..10).
    static void LoadPresets();
    void SelectActivePreset();
    void NextPreset();
    void SelectPreset(int32_t index);
    // The first preset, nothing smoothed, no shake, the reverse view off (race start).
    void ResetPresetState();
    void Shake(int32_t mode, float seconds);

    // The field of view (radians) the preset gives a craft at speed v, normal top speed n, turbo top speed m.
    static float FovForSpeed(const CGameCameraPreset& preset, float v, float n, float m);
    // The eye kept off the level geometry: from the craft towards the eye by ray casts.
    static D3DXVECTOR3 KeepOffGeometry(const CGameCameraPreset& preset, const D3DXVECTOR3& craft,
                                       const D3DXVECTOR3& eye);

    D3DXVECTOR3 m_ViewDirection{0.0f, 0.0f, 1.0f};  // smoothed, unit
    D3DXVECTOR3 m_SmoothUp{0.0f, 1.0f, 0.0f};
    float m_CurrentDistance = 0.0f;
    float m_CurrentBackDistance = 0.0f;
    float m_CurrentUpDistance = 0.0f;
    float m_PreviousCraftSpeed = 0.0f;
    float m_ShakeElapsed = 0.0f;
    int32_t m_ShakeMode = NoShake;
    float m_ShakeDuration = 0.0f;
    int32_t m_PresetIndex = 0;
    const CGameCameraPreset* m_ActivePreset = nullptr;
    uint8_t m_Active = 0;               // following a player craft
    uint8_t m_PreviousReverseView = 0;  // a change of the reverse view is not smoothed

private:
    void Follow(CTuber* craft, const CGameCameraPreset& preset, D3DXVECTOR3& direction, D3DXVECTOR3& up,
                D3DXVECTOR3& eye);
};
