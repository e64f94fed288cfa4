#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a slow warhead with a nuclear blast. Until its behaviour is written it leaves at once.
class CWeaponNuclearWarhead : public WeRecycled<CWeaponNuclearWarhead, CWeapon>
{
public:
    CWeaponNuclearWarhead() = default;
    void Launch() override;
};
