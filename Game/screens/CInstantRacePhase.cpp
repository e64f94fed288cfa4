#include "Game/screens/CInstantRacePhase.h"

CInstantRacePhase g_InstantRacePhase;
