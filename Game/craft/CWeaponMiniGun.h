#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind one round of the minigun, from alternating barrels. Until its behaviour is written it leaves at once.
class CWeaponMiniGun : public WeRecycled<CWeaponMiniGun, CWeapon>
{
public:
    explicit CWeaponMiniGun(int32_t side) : m_Side(side) {}
    void Launch() override;

    int32_t m_Side = 0;
};
