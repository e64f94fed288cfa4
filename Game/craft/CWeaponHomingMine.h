#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that chases the nearest rival. Until its behaviour is written it leaves at once.
class CWeaponHomingMine : public WeRecycled<CWeaponHomingMine, CWeapon>
{
public:
    CWeaponHomingMine() = default;
    void Launch() override;
};
