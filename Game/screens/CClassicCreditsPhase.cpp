#include "Game/screens/CClassicCreditsPhase.h"

CClassicCreditsPhase g_ClassicCreditsPhase;
