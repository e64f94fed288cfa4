// The race phase in outline, until the race-phase issue builds it.
#include "Game/screens/CLoadMapPhase.h"
#include "Game/shell/CPlayGamePhase.h"

CPlayGamePhase g_PlayGamePhase;

void CPlayGamePhase::Render()
{
    g_LoadMapPhase.Render();
}
