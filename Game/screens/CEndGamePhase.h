#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeTexture;

// The end-of-race statistics screen the race fades to.
class CEndGamePhase : public WeAbstractPhase
{
public:
    CEndGamePhase() = default;
    CEndGamePhase(const CEndGamePhase&) = delete;
    CEndGamePhase& operator=(const CEndGamePhase&) = delete;

    WeTexture* m_ResultPicture = nullptr;
    float m_ListY = 0.0f;       // top of the statistics list, a fraction of the layout height
    uint8_t m_LeaveAtOnce = 0;  // the pause menu's quit: straight back to the menus
    uint8_t m_Restarting = 0;   // RESTART's fade completed: the loaded resources stay
    uint8_t m_Going = 0;        // the screen's continue runs
};

extern CEndGamePhase g_EndGamePhase;
