#pragma once
#include <cstdint>

enum WeUIEventType : int32_t
{
    WeUIEventKeyDown = 0,
    WeUIEventKeyUp = 1,
    WeUIEventMouseMove = 2,
    WeUIEventMouseDown = 3,
    WeUIEventMouseUp = 4,
    WeUIEventDoubleClick = 5,
    WeUIEventMouseWheel = 6,
};

// One queued input event. A poster writes only the fields its type uses (the wheel delta goes in y);
// a recycled node keeps stale values in the others.
struct WeUIEvent
{
    int32_t type = 0;
    int32_t key = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    int32_t button = 0;
};
