#pragma once
#include <cstdint>

#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The modal yes/no dialog. The asking screen stores its result callback, then pushes the dialog; the
// answer pops it and calls the callback once.
class CConfirmationPhase : public WeAbstractPhase
{
public:
    void Enter() override;
    void Leave() override;
    void HandleInput() override;

    static int32_t OnYesClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnNoClicked(int32_t button, WeUIComponent* sender);
    // The answer's sound, the pop request, then the stored callback, which is cleared before it runs.
    void Answer(bool yes);

    // Null when none.
    void (*m_ResultCallback)(bool yes) = nullptr;
};

extern CConfirmationPhase g_ConfirmationPhase;
