#pragma once

#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeEngineSettings.h"

#include <cstdint>

class WeAppWindow;
class WeEngineDevices;

// The one engine object: brings the devices up in order, runs a frame as six profiled sections,
// renders, and shuts everything down. It owns no device; it calls the process-wide ones through the
// installed WeEngineDevices.
class WeEngine
{
public:
    WeEngine();
    virtual ~WeEngine();

    // Once: a second call after success returns true at once. False with m_ErrorText set by the
    // first device that failed; what started stays up for Shutdown to stop.
    bool Init(const WeEngineSettings& settings, void* instance, WeAppWindow* window, const char* name);
    // One frame of update; nothing unless initialised.
    void Tick();
    // One frame of drawing, while the device is usable.
    void Render();
    // Once per Init; a second call does nothing.
    void Shutdown();
    // Fetches a running physics step now (before bodies are destroyed).
    void EndPhysicsStep();
    // Run-time video mode change.
    void Resize(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                uint8_t verticalSync, int32_t windowMode);
    // The cursor in back-buffer pixels.
    void GetMousePosition(int32_t* x, int32_t* y);

    // The devices the engine drives; null until the program (or a test) installs them.
    void SetDevices(WeEngineDevices* devices) { m_Devices = devices; }
    WeEngineDevices* GetDevices() const { return m_Devices; }

    // Written and read by the game directly.
    uint8_t m_PhysicsPaused = 0;
    WeAppWindow* m_Window = nullptr;
    float m_FixedStep = 0.0625f;
    uint8_t m_DeviceUsable = 0;
    uint8_t m_StepRunning = 0;
    uint8_t m_FixedTick = 0;  // "debug.Debugging.FixedTick" is 1, read once at construction
    uint8_t m_Initialised = 0;
    uint8_t m_ShutDown = 0;
    uint8_t m_DeviceLost = 0;
    WeEngineSettings m_Settings;
    WeString m_ErrorText;  // the message of the first device that failed to start
    uint8_t m_PhysicsEnabled = 0;
    void (*m_TickCallback)() = nullptr;
    int32_t m_MouseX = 0;  // the last position GetMousePosition could compute
    int32_t m_MouseY = 0;

private:
    void FetchPhysics();

    WeEngineDevices* m_Devices = nullptr;
};

extern WeEngine g_Engine;
