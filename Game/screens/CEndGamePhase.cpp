#include "Game/screens/CEndGamePhase.h"

CEndGamePhase g_EndGamePhase;
