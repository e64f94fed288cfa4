#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a field ahead of the craft that damages what it touches. Until its behaviour is written it leaves at once.
class CWeaponFrontFieldGenerator : public WeRecycled<CWeaponFrontFieldGenerator, CWeapon>
{
public:
    CWeaponFrontFieldGenerator() = default;
    void Launch() override;
};
