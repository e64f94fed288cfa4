#pragma once
#include "Game/shell/CMap.h"

// The map a race runs on: with the race's dynamics off, movable scenery is left out as it loads.
class CGameMap : public CMap
{
public:
    CGameMap();
    ~CGameMap() override;

    void OnActorLoaded(WeActor* actor) override;
};
