#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// One round of the minigun, from the barrel of its side; the factory alternates the sides.
class CWeaponMiniGun : public WeRecycled<CWeaponMiniGun, CWeapon>
{
public:
    explicit CWeaponMiniGun(int32_t side) : m_Side(side) {}
    void Launch() override;
    void OnCollision(WeActor* other) override;

    int32_t m_Side = 0;  // 1 the first barrel, 0 the second
};
