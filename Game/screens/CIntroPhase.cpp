#include "Game/screens/CIntroPhase.h"

#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"

CIntroPhase g_IntroPhase;

// No intro movie is shown yet: the first pass ends on its first update.
void CIntroPhase::Update()
{
    g_Game.m_Window->m_Alive = 0;
}
