#include "Game/screens/CRestartPhase.h"

#include "Engine/runtime/WePhaseManager.h"
#include "Game/screens/CLoadMapPhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

CRestartPhase g_RestartPhase;

void CRestartPhase::Enter()
{
    for (CRaceParticipant* p : g_RaceSettings.m_Participants)
        if (p != nullptr && p->IsRacing())
            p->ResetResults();
    g_PhaseManager.RequestPhase(&g_LoadMapPhase, WePhaseManager::ChangeRequest);
}

void CRestartPhase::Render()
{
    g_LoadMapPhase.Render();
}
