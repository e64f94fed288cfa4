#pragma once
#include "Engine/runtime/WeEngineDevices.h"

// The engine's seam over the process-wide devices: g_RenderDevice (with g_ScreenSize and the
// camera screen it keeps), the resource managers, g_AudioDevice, g_Input, g_Physics and the UI
// manager. Each device writes g_Engine.m_ErrorText itself when it fails to start, so the engine
// shows the failing device's own text. Virtual throughout, so a test can make one device fail
// while the others stay real.
class WeRealEngineDevices : public WeEngineDevices
{
public:
    bool RenderDeviceCreate(void* instance, HWND window, int32_t width, int32_t height, int32_t multisampleType,
                            int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode,
                            int32_t reflectionQuality, uint8_t multithreaded) override;
    int32_t RenderDeviceCheckDeviceLost() override;
    bool RenderDeviceIsAppForeground() override;
    void RenderDeviceRender() override;
    void RenderDeviceChangeMode(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                                uint8_t verticalSync, int32_t windowMode) override;
    void RenderDeviceShutdown() override;
    int32_t RenderDeviceWindowMode() override;
    void GetScreenSize(int32_t* width, int32_t* height) override;

    void RenderTargetsReleaseAll(bool force) override;
    void ShadersReleaseAll(bool force) override;
    void MeshesReleaseAll(bool force) override;
    void MaterialsReleaseAll(bool force) override;
    void TexturesReleaseAll(bool force) override;

    bool AudioInit() override;
    void AudioUpdate() override;
    void AudioShutdown() override;

    bool InputInit(bool useJoystick) override;
    void InputClearFrame() override;
    void InputPoll() override;
    void InputShutdown() override;

    bool PhysicsInit(const float gravity[3]) override;
    void PhysicsSimulate() override;
    void PhysicsFetchResults() override;
    void PhysicsShutdown() override;

    void UIInit() override;
    void UIProcessEvents() override;
    void UITick() override;
    void UIOnResize(int32_t width, int32_t height) override;
    void UIShutdown() override;
    void UIPostKeyDown(int32_t key) override;
    void UIPostKeyUp(int32_t key) override;
    void UIPostMouseMove(int32_t x, int32_t y, int32_t wheel) override;
    void UIPostMouseDown(int32_t button) override;
    void UIPostMouseUp(int32_t button) override;
};

// The process's one set of real devices.
WeRealEngineDevices& GetRealEngineDevices();
// Installs the real devices into g_Engine; the program entry calls it before WeEngine::Init.
void InstallRealEngineDevices();
