#pragma once
#include "Engine/runtime/WeAbstractPhase.h"

// Runs the same race again: the results reset, then the loading screen loads the map anew.
class CRestartPhase : public WeAbstractPhase
{
public:
    CRestartPhase() = default;
    CRestartPhase(const CRestartPhase&) = delete;
    CRestartPhase& operator=(const CRestartPhase&) = delete;
};

extern CRestartPhase g_RestartPhase;
