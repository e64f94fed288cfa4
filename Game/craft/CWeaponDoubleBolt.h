#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind a pair of bolts, one ahead and one behind the craft. Until its behaviour is written it leaves at once.
class CWeaponDoubleBolt : public WeRecycled<CWeaponDoubleBolt, CWeapon>
{
public:
    explicit CWeaponDoubleBolt(int32_t side) : m_Side(side) {}
    void Launch() override;

    int32_t m_Side = 0;
};
