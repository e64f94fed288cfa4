#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// One named computer opponent: its difficulty and the catalogue key of the craft it races.
class CAIProfile
{
public:
    WeString m_Name;
    int32_t m_Level = 1;  // 1 Easy, 2 Medium, 3 Hard
    WeString m_CraftKeyword;
};
