#pragma once
#include "Engine/world/WeWorld.h"

// Stand-in for the game's map class: a world whose factory makes start locations of type 6. Tests, the
// viewer and demos load built maps through it until the game's classes replace it.
class MapWorld : public WeWorld
{
public:
    WeActor* CreateActor(int32_t typeCode) override;
};
