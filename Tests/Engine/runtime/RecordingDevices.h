#pragma once
// Recording fakes of the devices behind the engine's seam: every call is logged by name (with its
// arguments where they matter), and the results are scripted through public fields.
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeEngineDevices.h"

#include <functional>
#include <string>
#include <vector>

class RecordingDevices : public WeEngineDevices
{
public:
    // Scripted results. A failing Init stores its message in the engine's error text, as the real
    // devices do.
    bool renderCreates = true;
    bool audioStarts = true;
    bool inputStarts = true;
    bool physicsStarts = true;
    int32_t deviceState = 0;
    bool foreground = true;
    int32_t windowMode = 2;
    int32_t screenWidth = 800;
    int32_t screenHeight = 600;
    // Runs inside every recorded call, after it was logged (to look at the engine from inside).
    std::function<void(const std::string& call)> onCall;

    std::vector<std::string> calls;
    HWND createdWindow = nullptr;

    // The calls recorded so far, joined with blanks.
    std::string Log() const
    {
        std::string text;
        for (const std::string& c : calls)
            text += (text.empty() ? "" : " ") + c;
        return text;
    }
    void Clear() { calls.clear(); }

    bool RenderDeviceCreate(void*, HWND window, int32_t width, int32_t height, int32_t multisampleType,
                            int32_t multisampleQuality, uint8_t verticalSync, int32_t mode, int32_t reflectionQuality,
                            uint8_t multithreaded) override
    {
        createdWindow = window;
        Record("RenderCreate(" + std::to_string(width) + "," + std::to_string(height) + "," +
               std::to_string(multisampleType) + "," + std::to_string(multisampleQuality) + "," +
               std::to_string(verticalSync) + "," + std::to_string(mode) + "," + std::to_string(reflectionQuality) +
               "," + std::to_string(multithreaded) + ")");
        return Result(renderCreates, "Error: Cannot create DirectX device");
    }
    int32_t RenderDeviceCheckDeviceLost() override
    {
        Record("CheckDeviceLost");
        return deviceState;
    }
    bool RenderDeviceIsAppForeground() override
    {
        Record("IsAppForeground");
        return foreground;
    }
    void RenderDeviceRender() override { Record("Render"); }
    void RenderDeviceChangeMode(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                                uint8_t verticalSync, int32_t mode) override
    {
        Record("ChangeMode(" + std::to_string(width) + "," + std::to_string(height) + "," +
               std::to_string(multisampleType) + "," + std::to_string(multisampleQuality) + "," +
               std::to_string(verticalSync) + "," + std::to_string(mode) + ")");
    }
    void RenderDeviceShutdown() override { Record("RenderShutdown"); }
    int32_t RenderDeviceWindowMode() override { return windowMode; }
    void GetScreenSize(int32_t* width, int32_t* height) override
    {
        *width = screenWidth;
        *height = screenHeight;
    }

    void RenderTargetsReleaseAll(bool force) override { Record(force ? "RenderTargets(force)" : "RenderTargets"); }
    void ShadersReleaseAll(bool force) override { Record(force ? "Shaders(force)" : "Shaders"); }
    void MeshesReleaseAll(bool force) override { Record(force ? "Meshes(force)" : "Meshes"); }
    void MaterialsReleaseAll(bool force) override { Record(force ? "Materials(force)" : "Materials"); }
    void TexturesReleaseAll(bool force) override { Record(force ? "Textures(force)" : "Textures"); }

    bool AudioInit() override
    {
        Record("AudioInit");
        return Result(audioStarts, "Error: Cannot create OpenAL device");
    }
    void AudioUpdate() override { Record("AudioUpdate"); }
    void AudioShutdown() override { Record("AudioShutdown"); }

    bool InputInit(bool useJoystick) override
    {
        Record(useJoystick ? "InputInit(joystick)" : "InputInit");
        return Result(inputStarts, "Error: Cannot initialize DirectInput");
    }
    void InputClearFrame() override { Record("ClearFrame"); }
    void InputPoll() override { Record("Poll"); }
    void InputShutdown() override { Record("InputShutdown"); }

    bool PhysicsInit(const float gravity[3]) override
    {
        Record("PhysicsInit(" + std::to_string(gravity[0]) + "," + std::to_string(gravity[1]) + "," +
               std::to_string(gravity[2]) + ")");
        return Result(physicsStarts, "Error: Cannot initialize PhysX engine");
    }
    void PhysicsSimulate() override { Record("Simulate"); }
    void PhysicsFetchResults() override { Record("Fetch"); }
    void PhysicsShutdown() override { Record("PhysicsShutdown"); }

    void UIInit() override { Record("UIInit"); }
    void UIProcessEvents() override { Record("ProcessEvents"); }
    void UITick() override { Record("UITick"); }
    void UIOnResize(int32_t width, int32_t height) override
    {
        Record("OnResize(" + std::to_string(width) + "," + std::to_string(height) + ")");
    }
    void UIShutdown() override { Record("UIShutdown"); }
    void UIPostKeyDown(int32_t key) override { Record("KeyDown(" + std::to_string(key) + ")"); }
    void UIPostKeyUp(int32_t key) override { Record("KeyUp(" + std::to_string(key) + ")"); }
    void UIPostMouseMove(int32_t x, int32_t y, int32_t wheel) override
    {
        Record("MouseMove(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(wheel) + ")");
    }
    void UIPostMouseDown(int32_t button) override { Record("MouseDown(" + std::to_string(button) + ")"); }
    void UIPostMouseUp(int32_t button) override { Record("MouseUp(" + std::to_string(button) + ")"); }

private:
    void Record(const std::string& call)
    {
        calls.push_back(call);
        if (onCall)
            onCall(call);
    }
    static bool Result(bool ok, const char* message)
    {
        if (!ok)
            g_Engine.m_ErrorText = message;
        return ok;
    }
};
