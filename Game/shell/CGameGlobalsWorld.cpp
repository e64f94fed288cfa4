// The world the front end has picked is the world of the race map the set-up screens chose; its music plays
// in the shipyard.
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/CRaceSettings.h"

WeString CGameGlobals::GetSelectedWorldName()
{
    const CMapInfo* info = g_MapCatalogue.Find(g_RaceSettings.m_MapName);
    return info != nullptr ? info->m_WorldName : WeString();
}
