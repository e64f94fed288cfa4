#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// A race with random settings straight from the main menu: once the menu's windows have faded out it
// draws a map, laps, a difficulty and one to five opponents, fades to black and hands over to the map
// loading screen. It shows nothing of its own.
class CInstantRacePhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Update() override;

    // The end of the fade: the race's loading screen replaces the menus.
    static void OnFadeDone();

    bool m_Started = false;
};

extern CInstantRacePhase g_InstantRacePhase;
