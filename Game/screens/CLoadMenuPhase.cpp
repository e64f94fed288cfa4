#include "Game/screens/CLoadMenuPhase.h"

#include "Game/shell/CGameGlobals.h"

CLoadMenuPhase g_LoadMenuPhase;

// Only the fonts and the menu music so far; the loading steps and the front end come with the screens.
void CLoadMenuPhase::Enter()
{
    g_Game.LoadFonts();
    g_Game.PlayMusic(CGameGlobals::MenuMusic);
}
