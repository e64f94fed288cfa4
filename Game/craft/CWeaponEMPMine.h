#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine that disables weapons. Until its behaviour is written it leaves at once.
class CWeaponEMPMine : public WeRecycled<CWeaponEMPMine, CWeapon>
{
public:
    CWeaponEMPMine() = default;
    void Launch() override;
};
