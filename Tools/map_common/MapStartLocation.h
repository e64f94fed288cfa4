#pragma once
#include <cstdint>

#include "Engine/world/WeActor.h"

// Stand-in for the game's start location (type 6): the actor record, then the int32 start index.
// The game's class replaces it.
class MapStartLocation : public WeActor
{
public:
    static constexpr int32_t TypeCode = 6;

    MapStartLocation();
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;

    int32_t m_StartIndex = 0;
};
