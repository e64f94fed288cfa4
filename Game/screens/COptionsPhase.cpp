#include "Game/screens/COptionsPhase.h"

COptionsPhase g_OptionsPhase;
