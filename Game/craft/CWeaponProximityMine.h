#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine set off by a craft within reach. Until its behaviour is written it leaves at once.
class CWeaponProximityMine : public WeRecycled<CWeaponProximityMine, CWeapon>
{
public:
    CWeaponProximityMine() = default;
    void Launch() override;
};
