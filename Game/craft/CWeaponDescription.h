#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeTexture;

// One weapon kind's values from "Weapons.<keyword>.*", its translated name and its HUD picture.
class CWeaponDescription
{
public:
    // Reads the record's keys and, for kinds 1 to 20, its display name.
    void Load();

    WeString m_Keyword;
    float m_FireRate = 0.0f;
    int32_t m_PickupAmmo = 0;
    int32_t m_AmmoPerShot = 0;
    float m_Damage = 0.0f;
    float m_Speed = 0.0f;
    float m_HomingLockTime = 0.0f;
    WeString m_DisplayName;
    int32_t m_Id = 0;
    bool m_IsPrimary = false;
    int32_t m_UnlockID = 0;
    float m_ActivationTime = 0.0f;
    float m_EffectiveRadius = 0.0f;
    float m_FireInterval = 0.0f;  // 1 / FireRate, or 0.01 when FireRate is 0 or less
    WeTexture* m_PickupPicture = nullptr;
};
