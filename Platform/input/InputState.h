#pragma once
// What the event feed has seen, shared by every keyboard and mouse device of the process.
#include <cstdint>

struct InputState
{
    uint8_t keys[256] = {};    // 0x80 while held, by key code
    uint8_t buttons[8] = {};   // 0x80 while held
    int64_t motion[3] = {};    // x, y, wheel: running totals, devices read the difference
    bool foreground = true;    // the window has the focus
    uint32_t focusLosses = 0;  // counts focus losses, so a device can tell it missed one

    void Reset();
};

InputState& g_InputState();
