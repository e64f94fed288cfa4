#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The options root: a window of three buttons (AUDIO, VIDEO, CONTROLS) beside the sub-screen stacked on it.
// Reached from the main menu by a change and from the pause menu by a push; the video sub-screen opens
// first.
class COptionsPhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;

    static int32_t OnAudioClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnVideoClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnControlsClicked(int32_t button, WeUIComponent* sender);
    // A race is paused under the options (its state is 6): the way back leads to the pause menu.
    static bool IsRacePaused();
    // The root's window and a sub-screen's window dimmed without input, or back to normal.
    static void SetWindowsActive(const char* subWindow, bool active);
};

extern COptionsPhase g_OptionsPhase;

// Leaving the options from a sub-screen: the back sound, then LeaveOptions.
void OptionsBack();
// The sub-screen and the root popped when a race is paused under them, else the main menu in the root's place.
void LeaveOptions();
// OptionsBack as a button's callback.
int32_t OnOptionsBackClicked(int32_t button, WeUIComponent* sender);
