#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a missile homing on the owner's locked target. Until its behaviour is written it leaves at once.
class CWeaponHomingMissile : public WeRecycled<CWeaponHomingMissile, CWeapon>
{
public:
    CWeaponHomingMissile() = default;
    void Launch() override;
};
