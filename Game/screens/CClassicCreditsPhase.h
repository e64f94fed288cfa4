#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

// Reached from the main menu; its screen is built by its own issue.
class CClassicCreditsPhase : public WeAbstractPhase
{
public:
    // Set when the credits have run to their end; the main menu clears it before it changes here.
    uint8_t m_Finished = 0;
};

extern CClassicCreditsPhase g_ClassicCreditsPhase;
