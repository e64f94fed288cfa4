#include "Game/screens/CEncyclopediaPhase.h"

CEncyclopediaPhase g_EncyclopediaPhase;
