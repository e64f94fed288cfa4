#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// One of the pair of bolts a double shot makes: side 1 leaves ahead of the craft, side 0 behind it.
class CWeaponDoubleBolt : public WeRecycled<CWeaponDoubleBolt, CWeapon>
{
public:
    explicit CWeaponDoubleBolt(int32_t side) : m_Side(side) {}
    void Launch() override;
    void OnCollision(WeActor* other) override;

    int32_t m_Side = 0;  // 1 the front bolt, 0 the rear one
};
