#pragma once
#include <cstdint>

#include "Engine/runtime/WeAppWindow.h"

// The game's window: turns typed characters, double clicks and the wheel into events of the UI. Keys reach the
// UI as DirectInput codes from the input device; characters come from here as negated character codes.
class CGameWindow : public WeAppWindow
{
public:
    CGameWindow() = default;

    void OnMouseWheel(int32_t delta) override;
    void OnLButtonDoubleClick(int32_t x, int32_t y) override;
    void OnKeyDown(int32_t virtualKey) override;
    void OnKeyUp(int32_t virtualKey) override;
    ~CGameWindow() override;
};

// On: the cursor stays inside the game window's rectangle; off: it is free again.
void ClipCursorToWindow(bool on);
