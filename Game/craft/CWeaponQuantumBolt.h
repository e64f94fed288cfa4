#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind the released quantum shot, pulling rivals near its path. Until its behaviour is written it leaves at once.
class CWeaponQuantumBolt : public WeRecycled<CWeaponQuantumBolt, CWeapon>
{
public:
    CWeaponQuantumBolt() = default;
    void Launch() override;
};
