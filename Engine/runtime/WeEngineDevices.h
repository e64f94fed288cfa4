#pragma once
#include "Platform/system/WinTypes.h"

#include <cstdint>

// Every call the engine object, its window and the input device make on the devices above the
// runtime library: the render device, the resource managers, audio, input, physics and the UI
// manager. The runtime links below render, world and ui, so it reaches them only through this seam;
// a small library above all of them forwards each call to the real singleton, and tests install
// recording fakes. Each operation is named after the device operation it stands for.
class WeEngineDevices
{
public:
    virtual ~WeEngineDevices() = default;

    // WeRenderDevice. Create stores its failure message in g_Engine.m_ErrorText. CheckDeviceLost:
    // 0 ready, 1 lost, 2 driver error or failed reset.
    virtual bool RenderDeviceCreate(void* instance, HWND window, int32_t width, int32_t height, int32_t multisampleType,
                                    int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode,
                                    int32_t reflectionQuality, uint8_t multithreaded) = 0;
    virtual int32_t RenderDeviceCheckDeviceLost() = 0;
    virtual bool RenderDeviceIsAppForeground() = 0;
    virtual void RenderDeviceRender() = 0;
    virtual void RenderDeviceChangeMode(int32_t width, int32_t height, int32_t multisampleType,
                                        int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode) = 0;
    virtual void RenderDeviceShutdown() = 0;
    // The render device's window mode (0 full screen, 1 maximised window, 2 centred window).
    virtual int32_t RenderDeviceWindowMode() = 0;
    // g_ScreenSize: the back-buffer size in pixels.
    virtual void GetScreenSize(int32_t* width, int32_t* height) = 0;

    // The resource managers' ReleaseAll; force also releases what is marked persistent.
    virtual void RenderTargetsReleaseAll(bool force) = 0;
    virtual void ShadersReleaseAll(bool force) = 0;
    virtual void MeshesReleaseAll(bool force) = 0;
    virtual void MaterialsReleaseAll(bool force) = 0;
    virtual void TexturesReleaseAll(bool force) = 0;

    // WeAudioDevice. Init stores its failure message in g_Engine.m_ErrorText.
    virtual bool AudioInit() = 0;
    virtual void AudioUpdate() = 0;
    virtual void AudioShutdown() = 0;

    // WeInput. Init stores its failure message in g_Engine.m_ErrorText.
    virtual bool InputInit(bool useJoystick) = 0;
    virtual void InputClearFrame() = 0;
    virtual void InputPoll() = 0;
    virtual void InputShutdown() = 0;

    // WePhysics. Init stores its failure message in g_Engine.m_ErrorText; Simulate steps by
    // g_Engine.m_FixedStep while g_Engine.m_FixedTick is set, else by the timer's frame time.
    virtual bool PhysicsInit(const float gravity[3]) = 0;
    virtual void PhysicsSimulate() = 0;
    virtual void PhysicsFetchResults() = 0;
    virtual void PhysicsShutdown() = 0;

    // WeUIMain.
    virtual void UIInit() = 0;
    virtual void UIProcessEvents() = 0;
    virtual void UITick() = 0;
    virtual void UIOnResize(int32_t width, int32_t height) = 0;
    virtual void UIShutdown() = 0;
    // Input events: positive DirectInput key codes (negated character codes come from the game's
    // window); the cursor in back-buffer pixels with the frame's wheel motion; buttons 0 to 7.
    virtual void UIPostKeyDown(int32_t key) = 0;
    virtual void UIPostKeyUp(int32_t key) = 0;
    virtual void UIPostMouseMove(int32_t x, int32_t y, int32_t wheel) = 0;
    virtual void UIPostMouseDown(int32_t button) = 0;
    virtual void UIPostMouseUp(int32_t button) = 0;
};
