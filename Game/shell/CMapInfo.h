#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Game/shell/CMapHeader.h"

// One listed map: its unlock id, its world and a copy of its header.
class CMapInfo
{
public:
    int32_t m_UnlockId = 0;
    WeString m_WorldName;
    CMapHeader m_Header;
};
