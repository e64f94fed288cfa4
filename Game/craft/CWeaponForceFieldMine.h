#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that raises a force field. Until its behaviour is written it leaves at once.
class CWeaponForceFieldMine : public WeRecycled<CWeaponForceFieldMine, CWeapon>
{
public:
    CWeaponForceFieldMine() = default;
    void Launch() override;
};
