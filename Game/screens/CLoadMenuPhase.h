#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// The start-up loading screen of the second pass: loads what the front end needs, then hands over to it.
class CLoadMenuPhase : public WeAbstractPhase
{
public:
    void Enter() override;
};

extern CLoadMenuPhase g_LoadMenuPhase;
