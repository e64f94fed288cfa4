#pragma once
#include <cstdint>

#include "Platform/math/D3DVIEWPORT9.h"

// What cameras and view frusta read of the render device: the back buffer's aspect, the flag that
// the screen changed (device created, mode changed), and the viewport. The render device keeps it
// current; before a device exists it describes the 1024 x 768 start screen, so cameras and frusta
// work without one (tools, tests).
struct WeCameraScreen
{
    float aspect = 1024.0f / 768.0f;
    uint8_t screenChanged = 0;
    D3DVIEWPORT9 viewport = {0, 0, 1024, 768, 0.0f, 1.0f};
};

extern WeCameraScreen g_CameraScreen;
