#pragma once
#include <cstdint>

// The auto-repeat of a browser's NEXT or PREV driven by a held control: fires on the press frame, then
// again about every `interval` seconds while the control stays down.
class CNextPrevRepeat
{
public:
    // One frame of the control; true when the browser should move this frame.
    bool Step(bool down, float frameTime, float interval);

    uint8_t m_Repeating = 0;
    float m_Held = 0.0f;
};
