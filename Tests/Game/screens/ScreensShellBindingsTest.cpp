// The objects the screens start from were built before main in this executable too: the application with the
// intro and the start-up loading screen as its passes' first phases, the game-wide state, and the options with
// their bound input ranges.
#include "Game/screens/CIntroPhase.h"
#include "Game/screens/CLoadMenuPhase.h"
#include "Game/shell/CGameApplication.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/COptionsSettings.h"

#include <gtest/gtest.h>

TEST(ScreensShellBindings, FirstPhasesAndOptionsAreBound)
{
    EXPECT_EQ(g_GameApplication.GetFirstPhase(1), &g_IntroPhase);
    EXPECT_EQ(g_GameApplication.GetFirstPhase(2), &g_LoadMenuPhase);
    EXPECT_NE(g_Game.m_Window, nullptr);
    EXPECT_EQ(g_Game.m_PlayMovies, 1);
    EXPECT_FLOAT_EQ(g_OptionsSettings.m_MouseSensitivity, 0.75f);
}
