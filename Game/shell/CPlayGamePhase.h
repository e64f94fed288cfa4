#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// In outline until the race phase is built: it only keeps drawing the loading screen, as the race does
// during its start delay.
class CPlayGamePhase : public WeAbstractPhase
{
public:
    void Render() override;

    // Time spent in the first race state (the start delay).
    float m_StartDelayTimer = 0.0f;
};

extern CPlayGamePhase g_PlayGamePhase;
