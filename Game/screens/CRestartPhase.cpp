#include "Game/screens/CRestartPhase.h"

CRestartPhase g_RestartPhase;
