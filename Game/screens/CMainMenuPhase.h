#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;
class WeUILabel;

// The front end's hub over the menu background: the main panel and the single-player panel.
class CMainMenuPhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;

    static int32_t OnSinglePlayerClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnOptionsClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnCreditsClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnProfilesClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnEncyclopediaClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnExitClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnSingleRaceClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnInstantRaceClicked(int32_t button, WeUIComponent* sender);
    static void OnExitAnswered(bool yes);

    uint8_t m_MustRestart = 0;
    // Made by the first entry and kept for the rest of the run.
    WeUILabel* m_MustRestartLabel = nullptr;
};

extern CMainMenuPhase g_MainMenuPhase;
