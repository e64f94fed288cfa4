#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// Reached from the main menu; its screen is built by its own issue.
class CInstantRacePhase : public WeAbstractPhase
{
};

extern CInstantRacePhase g_InstantRacePhase;
