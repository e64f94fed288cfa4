// The race's part in the pickups: a race without weapons keeps only the coins.
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameMap.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CPlayGamePhase.h"

void CPlayGamePhase::RemoveRacePickups()
{
    g_PickupFactory.RemoveNonCoinPickups(g_Game.m_Map);
}
