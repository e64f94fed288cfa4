#pragma once

#include <cstdint>

// The start-up record the game hands to WeEngine::Init; the render device takes its fields one by one.
struct WeEngineSettings
{
    int32_t windowMode = 0;  // 0 full screen, 1 maximised window, 2 centred window of width x height
    int32_t width = 800;
    int32_t height = 600;
    int32_t multisampleType = 0;
    int32_t multisampleQuality = 0;
    uint8_t verticalSync = 0;
    int32_t reflectionQuality = 2;
    uint8_t gameFlag = 0;  // the game sets it to 1
    uint8_t endOnDeviceError = 1;
    uint8_t multithreadedDevice = 1;
    uint8_t spare = 0;
    float gravity[3] = {0.0f, -9.81f, 0.0f};
};
