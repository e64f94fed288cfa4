// The menu screens in outline, until the menus issue builds them: Escape leaves through the buy screen.
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CMainMenuPhase.h"

CChooseProfilePhase g_ChooseProfilePhase;
CMainMenuPhase g_MainMenuPhase;

void CChooseProfilePhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        g_PhaseManager.RequestPhase(&g_BuyScreenPhase, WePhaseManager::ChangeRequest);
}

void CMainMenuPhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        g_PhaseManager.RequestPhase(&g_BuyScreenPhase, WePhaseManager::ChangeRequest);
}
