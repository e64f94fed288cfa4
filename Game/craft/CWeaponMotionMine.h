#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that moves along the track. Until its behaviour is written it leaves at once.
class CWeaponMotionMine : public WeRecycled<CWeaponMotionMine, CWeapon>
{
public:
    CWeaponMotionMine() = default;
    void Launch() override;
};
