// The race phase's computer drivers: made before the craft are spawned, deleted when the race is left.
#include "Game/craft/CAIKernel.h"
#include "Game/shell/CPlayGamePhase.h"

void CPlayGamePhase::CreateAgents()
{
    g_AIKernel.CreateAgents();
}

void CPlayGamePhase::DeleteAgents()
{
    g_AIKernel.DeleteAgents();
}
