#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeAbstractPhase.h"

class WeUIComponent;

// The CONTROLS sub-screen of the options: the thirteen actions with what drives each, rebound by clicking a
// row twice and pressing the new key or button; mouse inversion, the crosshair, the four input bars and
// DEFAULT. It edits the options' active bindings and copies them into the current profile.
class COptionsInputPhase : public WeAbstractPhase
{
public:
    static constexpr int32_t RowCount = 13;
    enum CaptureState : int32_t
    {
        Idle = 0,
        Selected = 1,  // a row was clicked once
        Waiting = 2    // the second click: the next key or button is taken
    };

    void Enter() override;
    void Leave() override;
    void OnCovered(WeAbstractPhase* newTop) override;
    void OnUncovered(WeAbstractPhase* removed) override;
    void HandleInput() override;
    // Finishes a capture once it is armed: the next key press, or mouse or joystick button release.
    void Update() override;

    // A key's shown name: the fixed names, else the key-name table's, else "KEY <code>".
    static WeString KeyName(int32_t code);
    static WeString BindingText(int32_t code, bool isMouse, bool isJoystick);
    // The binding entry a list row edits, -1 outside the rows.
    static int32_t EntryOfRow(int32_t row);
    static void SetBinding(int32_t row, int32_t code, bool isMouse, bool isJoystick);
    // Every row but the captured one that shows this text loses its binding.
    void ClearDuplicateBindings(const WeString& text);
    static int32_t KeyListClick(int32_t button, WeUIComponent* sender);
    static int32_t InvertMouseClick(int32_t button, WeUIComponent* sender);
    static int32_t CrosshairClick(int32_t button, WeUIComponent* sender);
    static int32_t ResetControls(int32_t button, WeUIComponent* sender);
    static int32_t OnKeyboardSensitivityChanged(WeUIComponent* sender);
    static int32_t OnMouseSensitivityChanged(WeUIComponent* sender);
    static int32_t OnJoystickSensitivityChanged(WeUIComponent* sender);
    static int32_t OnJoystickDeadZoneChanged(WeUIComponent* sender);
    // The current profile's bindings replaced by a copy of the active ones, and the profiles saved.
    static void StoreBindingsInProfile();

    int32_t m_CaptureState = Idle;
    int32_t m_CapturedRow = 0;
    WeUIComponent* m_CapturedCell = nullptr;
    // Set once the capture has seen a tick after its click with no mouse button down: the click's own
    // release is never taken as the new binding.
    uint8_t m_CaptureArmed = 0;
};

extern COptionsInputPhase g_OptionsInputPhase;
