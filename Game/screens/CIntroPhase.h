#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// The intro of the first pass: it ends the pass by clearing the game window's alive flag.
class CIntroPhase : public WeAbstractPhase
{
public:
    void Update() override;
};

extern CIntroPhase g_IntroPhase;
