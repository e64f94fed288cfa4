#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The pause menu pushed over the race by Escape: RESUME, RESTART, QUIT RACE, OPTIONS and EXIT GAME, the
// three that end the race asked first. While it is up the race state is 6 (paused).
class CInGameMenuPhase : public WeAbstractPhase
{
public:
    CInGameMenuPhase() = default;
    CInGameMenuPhase(const CInGameMenuPhase&) = delete;
    CInGameMenuPhase& operator=(const CInGameMenuPhase&) = delete;

    void Enter() override;
    void Leave() override;
    void OnCovered(WeAbstractPhase* newTop) override;
    void OnUncovered(WeAbstractPhase* removed) override;
    void HandleInput() override;
    void Update() override;

    static int32_t OnResumeClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnRestartClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnQuitClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnOptionsClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnExitClicked(int32_t button, WeUIComponent* sender);
    // The confirmation's answers.
    static void OnRestartConfirmed(bool yes);
    static void OnQuitConfirmed(bool yes);
    static void OnExitConfirmed(bool yes);
};

extern CInGameMenuPhase g_InGameMenuPhase;
