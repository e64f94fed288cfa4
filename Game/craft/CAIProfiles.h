#pragma once
#include <cstdint>

#include "Engine/foundation/WeStringList.h"

// The computer drivers by difficulty. Outline: the AI fills the store and its picks.
class CAIProfiles
{
public:
    // Up to `count` distinct driver names of the difficulty (1 to 3), appended to `out`.
    void PickDriverNames(WeStringList& out, int32_t difficulty, int32_t count);
};

extern CAIProfiles g_AIProfiles;
