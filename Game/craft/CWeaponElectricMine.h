#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that damages the craft touching it. Until its behaviour is written it leaves at once.
class CWeaponElectricMine : public WeRecycled<CWeaponElectricMine, CWeapon>
{
public:
    CWeaponElectricMine() = default;
    void Launch() override;
};
