#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine set off by touch. Until its behaviour is written it leaves at once.
class CWeaponContactMine : public WeRecycled<CWeaponContactMine, CWeapon>
{
public:
    CWeaponContactMine() = default;
    void Launch() override;
};
