#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind the quantum bolt's charge stage. Until its behaviour is written it leaves at once.
class CWeaponPreBolt : public WeRecycled<CWeaponPreBolt, CWeapon>
{
public:
    CWeaponPreBolt() = default;
    void Launch() override;
};
