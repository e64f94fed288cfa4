#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeTexture;
class WeUIComponent;

// The end-of-race statistics screen the race fades to: the win or lose picture, the table of every
// participant flying down into place, BACK to the menus and RESTART.
class CEndGamePhase : public WeAbstractPhase
{
public:
    CEndGamePhase() = default;
    CEndGamePhase(const CEndGamePhase&) = delete;
    CEndGamePhase& operator=(const CEndGamePhase&) = delete;

    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;
    void Render() override;

    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnRestartClicked(int32_t button, WeUIComponent* sender);
    // The fader's callbacks.
    static void OnRestartFadeDone();
    static void OnBackToSingleRace();
    static void OnBackToMainMenu();
    // The menu background, then the fade back to the set-up (the main menu after an instant race).
    void GoBack();
    // Where the fly-in starts and ends, fractions of the layout height.
    static float GetListStartY();
    static float GetListEndY();

    WeTexture* m_ResultPicture = nullptr;
    float m_ListY = 0.0f;       // top of the statistics list, a fraction of the layout height
    uint8_t m_LeaveAtOnce = 0;  // the pause menu's quit: straight back to the menus
    uint8_t m_Restarting = 0;   // RESTART's fade completed: the loaded resources stay
    uint8_t m_Going = 0;        // the screen's own fade runs: BACK, RESTART and Escape wait for it
};

extern CEndGamePhase g_EndGamePhase;
