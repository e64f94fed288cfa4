#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Game/craft/CWeapon.h"

// The weapon kind one rocket of a Swarmer burst. Until its behaviour is written it leaves at once.
class CWeaponSwarmer : public WeRecycled<CWeaponSwarmer, CWeapon>
{
public:
    explicit CWeaponSwarmer(int32_t swarmIndex) : m_SwarmIndex(swarmIndex) {}
    void Launch() override;

    int32_t m_SwarmIndex = 0;
};
