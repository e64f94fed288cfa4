// The race's explosion steps: the per-frame drain before the world tick (then the wrecks of the deaths it and
// the reports caused) and the drop when the race is left.
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTuberPartSpawn.h"
#include "Game/shell/CPlayGamePhase.h"

void CPlayGamePhase::DrainExplosionRequests()
{
    ProcessExplosionRequests();
    ProcessTuberPartSpawns();
}

void CPlayGamePhase::ClearExplosionQueue()
{
    ClearExplosionRequests();
    ClearTuberPartSpawns();
}
