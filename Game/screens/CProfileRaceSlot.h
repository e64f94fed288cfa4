#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// One participant slot of a profile's last single race, index 0..5 as in the race set-up. Slot 0 is the
// player's own and is never copied into or out of the set-up.
struct CProfileRaceSlot
{
    // 0 open, 1..3 computer easy, medium, hard, 4 human.
    int32_t kind = 0;
    // A craft key of the craft catalogue.
    WeString craft;
    // 1-based start location, which is also the participant's team; 0 until set.
    int32_t startPlace = 0;
};
