#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a shot that swaps its owner with the craft it hits. Until its behaviour is written it leaves at once.
class CWeaponTranslocator : public WeRecycled<CWeaponTranslocator, CWeapon>
{
public:
    CWeaponTranslocator() = default;
    void Launch() override;
};
