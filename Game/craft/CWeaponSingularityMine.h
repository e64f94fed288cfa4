#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that pulls craft in. Until its behaviour is written it leaves at once.
class CWeaponSingularityMine : public WeRecycled<CWeaponSingularityMine, CWeapon>
{
public:
    CWeaponSingularityMine() = default;
    void Launch() override;
};
