#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a mine with a nuclear blast. Until its behaviour is written it leaves at once.
class CWeaponNukeMine : public WeRecycled<CWeaponNukeMine, CWeapon>
{
public:
    CWeaponNukeMine() = default;
    void Launch() override;
};
