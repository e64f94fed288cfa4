#pragma once
#include "Engine/runtime/WeAbstractPhase.h"

// Runs the same race again: the results reset, then the loading screen loads the map anew. It draws the
// loading view meanwhile, so that nothing else flashes between the fade and the loading screen.
class CRestartPhase : public WeAbstractPhase
{
public:
    CRestartPhase() = default;
    CRestartPhase(const CRestartPhase&) = delete;
    CRestartPhase& operator=(const CRestartPhase&) = delete;

    void Enter() override;
    void Render() override;
};

extern CRestartPhase g_RestartPhase;
