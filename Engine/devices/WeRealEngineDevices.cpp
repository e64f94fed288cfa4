#include "Engine/devices/WeRealEngineDevices.h"

#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXVECTOR3.h"

bool WeRealEngineDevices::RenderDeviceCreate(void* instance, HWND window, int32_t width, int32_t height,
                                             int32_t multisampleType, int32_t multisampleQuality, uint8_t verticalSync,
                                             int32_t windowMode, int32_t reflectionQuality, uint8_t multithreaded)
{
    return g_RenderDevice.Create(instance, window, width, height, multisampleType, multisampleQuality, verticalSync,
                                 windowMode, reflectionQuality, multithreaded);
}

int32_t WeRealEngineDevices::RenderDeviceCheckDeviceLost()
{
    return g_RenderDevice.CheckDeviceLost();
}

bool WeRealEngineDevices::RenderDeviceIsAppForeground()
{
    return g_RenderDevice.IsAppForeground();
}

void WeRealEngineDevices::RenderDeviceRender()
{
    g_RenderDevice.Render();
}

void WeRealEngineDevices::RenderDeviceChangeMode(int32_t width, int32_t height, int32_t multisampleType,
                                                 int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode)
{
    g_RenderDevice.ChangeMode(width, height, multisampleType, multisampleQuality, verticalSync, windowMode);
}

void WeRealEngineDevices::RenderDeviceShutdown()
{
    g_RenderDevice.Shutdown();
}

int32_t WeRealEngineDevices::RenderDeviceWindowMode()
{
    return g_RenderDevice.m_WindowMode;
}

void WeRealEngineDevices::GetScreenSize(int32_t* width, int32_t* height)
{
    if (width != nullptr)
        *width = g_ScreenSize.width;
    if (height != nullptr)
        *height = g_ScreenSize.height;
}

// Render targets and shaders have nothing persistent: their ReleaseAll always releases everything.
void WeRealEngineDevices::RenderTargetsReleaseAll(bool)
{
    g_RenderTargetManager.ReleaseAll();
}

void WeRealEngineDevices::ShadersReleaseAll(bool)
{
    g_ShaderManager.ReleaseAll();
}

void WeRealEngineDevices::MeshesReleaseAll(bool force)
{
    g_MeshManager.ReleaseAll(force);
}

void WeRealEngineDevices::MaterialsReleaseAll(bool force)
{
    g_MaterialManager.ReleaseAll(force);
}

void WeRealEngineDevices::TexturesReleaseAll(bool force)
{
    g_TextureManager.ReleaseAll(force);
}

bool WeRealEngineDevices::AudioInit()
{
    return g_AudioDevice.Init();
}

void WeRealEngineDevices::AudioUpdate()
{
    g_AudioDevice.Update();
}

void WeRealEngineDevices::AudioShutdown()
{
    g_AudioDevice.Shutdown();
}

bool WeRealEngineDevices::InputInit(bool useJoystick)
{
    return g_Input.Init(useJoystick);
}

void WeRealEngineDevices::InputClearFrame()
{
    g_Input.ClearFrame();
}

void WeRealEngineDevices::InputPoll()
{
    g_Input.Poll();
}

void WeRealEngineDevices::InputShutdown()
{
    g_Input.Shutdown();
}

bool WeRealEngineDevices::PhysicsInit(const float gravity[3])
{
    return g_Physics.Init(D3DXVECTOR3(gravity[0], gravity[1], gravity[2]));
}

// The engine's paused flag gates whether it calls these at all; physics' own paused flag (the
// loading screen's) only keeps Simulate from starting a step. A fetch with no step pending does
// nothing, so the engine's step-running flag may stay up over a step physics declined.
void WeRealEngineDevices::PhysicsSimulate()
{
    g_Physics.Simulate();
}

void WeRealEngineDevices::PhysicsFetchResults()
{
    g_Physics.FetchResults();
}

void WeRealEngineDevices::PhysicsShutdown()
{
    g_Physics.Shutdown();
}

void WeRealEngineDevices::UIInit()
{
    g_UIMain.Init();
}
void WeRealEngineDevices::UIProcessEvents()
{
    g_UIMain.ProcessEvents();
}
void WeRealEngineDevices::UITick()
{
    g_UIMain.Tick();
}
void WeRealEngineDevices::UIOnResize(int32_t width, int32_t height)
{
    g_UIMain.OnResize(width, height);
}
void WeRealEngineDevices::UIShutdown()
{
    g_UIMain.Shutdown();
}
void WeRealEngineDevices::UIPostKeyDown(int32_t key)
{
    g_UIMain.PostKeyDown(key);
}
void WeRealEngineDevices::UIPostKeyUp(int32_t key)
{
    g_UIMain.PostKeyUp(key);
}
void WeRealEngineDevices::UIPostMouseMove(int32_t x, int32_t y, int32_t z)
{
    g_UIMain.PostMouseMove(x, y, z);
}
void WeRealEngineDevices::UIPostMouseDown(int32_t button)
{
    g_UIMain.PostMouseDown(button);
}
void WeRealEngineDevices::UIPostMouseUp(int32_t button)
{
    g_UIMain.PostMouseUp(button);
}

WeRealEngineDevices& GetRealEngineDevices()
{
    // Construct on first use, never destroyed: the crash handler may still shut devices down
    // through it while static objects are going away.
    static WeRealEngineDevices* devices = new WeRealEngineDevices();
    return *devices;
}

void InstallRealEngineDevices()
{
    g_Engine.SetDevices(&GetRealEngineDevices());
}
