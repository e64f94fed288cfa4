#pragma once

#include "Engine/runtime/WeAbstractPhase.h"

// In outline until the menus are built: an empty screen that Escape leaves through the buy screen.
class CMainMenuPhase : public WeAbstractPhase
{
public:
    void HandleInput() override;
};

extern CMainMenuPhase g_MainMenuPhase;
