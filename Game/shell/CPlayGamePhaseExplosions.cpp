// The race's explosion steps: the per-frame drain before the world tick and the drop when the race is left.
#include "Game/craft/CExplosionRequest.h"
#include "Game/shell/CPlayGamePhase.h"

void CPlayGamePhase::DrainExplosionRequests()
{
    ProcessExplosionRequests();
}

void CPlayGamePhase::ClearExplosionQueue()
{
    ClearExplosionRequests();
}
