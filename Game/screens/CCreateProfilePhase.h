#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The name field over the choose-profile screen; OK appends the new profile to its list, selected.
class CCreateProfilePhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void HandleInput() override;

    static int32_t OnOkClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnCancelClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnNameEnter(int32_t value, WeUIComponent* sender);
    static int32_t OnNameEscape(int32_t value, WeUIComponent* sender);
};

extern CCreateProfilePhase g_CreateProfilePhase;
