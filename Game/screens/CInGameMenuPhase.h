#pragma once
#include "Engine/runtime/WeAbstractPhase.h"

// The pause menu pushed over the race by Escape.
class CInGameMenuPhase : public WeAbstractPhase
{
public:
    CInGameMenuPhase() = default;
    CInGameMenuPhase(const CInGameMenuPhase&) = delete;
    CInGameMenuPhase& operator=(const CInGameMenuPhase&) = delete;
};

extern CInGameMenuPhase g_InGameMenuPhase;
