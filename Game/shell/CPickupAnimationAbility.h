#pragma once
#include <cstdint>

#include "Game/shell/CPickupAnimation.h"

// A collected ability: its icon flies from the screen centre to its row of the power-up stack, shrinking.
class CPickupAnimationAbility : public CPickupAnimation
{
public:
    explicit CPickupAnimationAbility(int32_t abilityType);

    void Update() override;
    void Render() override;

    int32_t m_AbilityType = 0;
    int32_t m_StartX = 0;
    int32_t m_StartY = 0;
    int32_t m_TargetX = 0;
    int32_t m_TargetY = 0;
    float m_Progress = 0.0f;
    // The texel column of the icon in the display's atlas; -1 none.
    int16_t m_IconCell = -1;
    int32_t m_X = 0;
    int32_t m_Y = 0;
    int32_t m_Size = 0;
};
