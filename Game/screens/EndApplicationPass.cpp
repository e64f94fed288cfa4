#include "Game/screens/EndApplicationPass.h"

#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CGameWindow.h"

void EndApplicationPass()
{
    if (g_Game.m_Window != nullptr)
        g_Game.m_Window->m_Alive = 0;
}
