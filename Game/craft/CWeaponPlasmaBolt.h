#pragma once
#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The plain bolt: flies straight from the muzzle (toward a rival in the lock cone) and bursts on what it hits.
class CWeaponPlasmaBolt : public WeRecycled<CWeaponPlasmaBolt, CWeapon>
{
public:
    void Launch() override;
    void OnCollision(WeActor* other) override;
};
