#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a rocket that slows the craft it hits. Until its behaviour is written it leaves at once.
class CWeaponSlowingRocket : public WeRecycled<CWeaponSlowingRocket, CWeapon>
{
public:
    CWeaponSlowingRocket() = default;
    void Launch() override;
};
