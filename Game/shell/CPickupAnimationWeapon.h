#pragma once
#include <cstdint>

#include "Game/shell/CPickupAnimation.h"

class WeTexture;

// A collected weapon or mine: its picture flies from the screen centre to the weapon or the mine slot.
class CPickupAnimationWeapon : public CPickupAnimation
{
public:
    explicit CPickupAnimationWeapon(int32_t pickupType);

    void Update() override;
    void Render() override;

    int32_t m_PickupType = 0;
    int32_t m_WeaponIndex = 0;
    WeTexture* m_Icon = nullptr;
    int32_t m_StartX = 0;
    int32_t m_StartY = 0;
    int32_t m_StartWidth = 0;
    int32_t m_StartHeight = 0;
    int32_t m_TargetX = 0;
    int32_t m_TargetY = 0;
    int32_t m_TargetWidth = 0;
    int32_t m_TargetHeight = 0;
    float m_Progress = 0.0f;
    int32_t m_X = 0;
    int32_t m_Y = 0;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
};

// The pickup picture of a weapon description.
WeTexture* GetWeaponPicture(int32_t index);
