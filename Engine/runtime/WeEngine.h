#pragma once

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeEngineSettings.h"

#include <cstdint>

class WeAppWindow;

// The one engine object: brings the devices up in order, runs a frame as six profiled sections,
// renders, and shuts everything down. It owns no device; it calls the process-wide ones.
class WeEngine
{
public:
    WeEngine();
    virtual ~WeEngine();

    bool Init(const WeEngineSettings& settings, void* instance, WeAppWindow* window, const char* name);
    void Tick();
    void Render();
    void Shutdown();
    void EndPhysicsStep();
    void Resize(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                uint8_t verticalSync, int32_t windowMode);
    void GetMousePosition(int32_t* x, int32_t* y);

    // Written and read by the game directly.
    uint8_t m_PhysicsPaused = 0;
    WeAppWindow* m_Window = nullptr;
    float m_FixedStep = 0.0625f;
    uint8_t m_DeviceUsable = 0;
    uint8_t m_StepRunning = 0;
    uint8_t m_FixedTick = 0;
    uint8_t m_Initialised = 0;
    uint8_t m_ShutDown = 0;
    uint8_t m_DeviceLost = 0;
    WeEngineSettings m_Settings;
    WeString m_ErrorText;  // the message of the first device that failed to start
    uint8_t m_PhysicsEnabled = 0;
    void (*m_TickCallback)() = nullptr;
};

extern WeEngine g_Engine;
