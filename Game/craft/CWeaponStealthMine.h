#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine hard to see. Until its behaviour is written it leaves at once.
class CWeaponStealthMine : public WeRecycled<CWeaponStealthMine, CWeapon>
{
public:
    CWeaponStealthMine() = default;
    void Launch() override;
};
