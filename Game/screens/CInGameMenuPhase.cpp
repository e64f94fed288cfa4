#include "Game/screens/CInGameMenuPhase.h"

CInGameMenuPhase g_InGameMenuPhase;
