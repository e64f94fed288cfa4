#include "Engine/runtime/WeEngine.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngineDevices.h"
#include "Platform/window/WinUser.h"

WeEngine g_Engine;

namespace
{
// What the crash message runs before its box: stop the devices, get the window out of the way and
// give the user a cursor to answer with.
void CrashShutdown()
{
    g_Engine.Shutdown();
    if (g_Engine.m_Window != nullptr)
        g_Engine.m_Window->Hide();
    ShowCursor(TRUE);
}
}  // namespace

WeEngine::WeEngine()
{
    m_FixedTick = GetConfigInt("debug.Debugging.FixedTick", 0) == 1 ? 1 : 0;
}

WeEngine::~WeEngine() {}

bool WeEngine::Init(const WeEngineSettings& settings, void* instance, WeAppWindow* window, const char*)
{
    if (m_Initialised)
        return true;
    // Cleared first, so that the application's Shutdown after a failed start stops what did start.
    m_ShutDown = 0;
    m_Settings = settings;
    m_Window = window;
    m_ErrorText = "";
    m_DeviceUsable = 0;
    m_DeviceLost = 0;
    SetCrashShutdownHook(CrashShutdown);
    if (m_Devices == nullptr)
    {
        m_ErrorText = "Error: No engine devices installed";
        return false;
    }
    g_Timer.Start();
    HWND handle = window != nullptr ? window->m_Handle : nullptr;
    if (!m_Devices->RenderDeviceCreate(instance, handle, m_Settings.width, m_Settings.height,
                                       m_Settings.multisampleType, m_Settings.multisampleQuality,
                                       m_Settings.verticalSync, m_Settings.windowMode, m_Settings.reflectionQuality,
                                       m_Settings.multithreadedDevice))
        return false;
    if (!m_Devices->AudioInit())
        return false;
    if (!m_Devices->InputInit(true))
        return false;
    if (!m_Devices->PhysicsInit(m_Settings.gravity))
        return false;
    m_Devices->UIInit();
    // Only now: a second Init after a failed one must start the devices again, not report success.
    m_Initialised = 1;
    return true;
}

void WeEngine::FetchPhysics()
{
    g_CrashLogEnabled = 0;
    m_Devices->PhysicsFetchResults();
    g_CrashLogEnabled = 1;
    m_StepRunning = 0;
}

void WeEngine::Tick()
{
    if (!m_Initialised || m_ShutDown || m_Devices == nullptr)
        return;

    g_Timer.BeginSection(51, "PreUpdate");
    int32_t state = m_Devices->RenderDeviceCheckDeviceLost();
    if (state == 2 && m_Settings.endOnDeviceError)
    {
        m_DeviceLost = 1;
        if (m_Window != nullptr)
            m_Window->m_Alive = 0;
    }
    m_Devices->InputClearFrame();
    m_DeviceUsable = state == 0 && m_Devices->RenderDeviceIsAppForeground() ? 1 : 0;
    if (m_DeviceUsable)
        m_Devices->InputPoll();
    m_Devices->AudioUpdate();
    g_Timer.EndSection(51);

    g_Timer.BeginSection(52, "EndPhysicsUpdate");
    if (!m_PhysicsPaused && m_StepRunning)
    {
        WeTickCost::Scope cost(WeCostStage::Physics);
        FetchPhysics();
    }
    g_Timer.EndSection(52);

    g_Timer.BeginSection(53, "Update MainWindow");
    if (m_Window != nullptr)
        m_Window->PumpMessages();
    {
        WeTickCost::Scope cost(WeCostStage::HudUi);
        m_Devices->UIProcessEvents();
    }
    g_Timer.EndSection(53);

    g_Timer.BeginSection(54, "TickCallback");
    if (m_TickCallback != nullptr)
        m_TickCallback();
    g_Timer.EndSection(54);

    g_Timer.BeginSection(55, "Tick WeUIMain");
    {
        WeTickCost::Scope cost(WeCostStage::HudUi);
        m_Devices->UITick();
    }
    g_Timer.EndSection(55);

    g_Timer.FrameTick();

    g_Timer.BeginSection(56, "BeginPhysicsUpdate");
    if (!m_PhysicsPaused && !m_StepRunning && m_PhysicsEnabled)
    {
        WeTickCost::Scope cost(WeCostStage::Physics);
        g_CrashLogEnabled = 0;
        m_Devices->PhysicsSimulate();
        g_CrashLogEnabled = 1;
        m_StepRunning = 1;
    }
    g_Timer.EndSection(56);
}

void WeEngine::Render()
{
    if (!m_Initialised || m_ShutDown || m_Devices == nullptr || !m_DeviceUsable)
        return;
    m_Devices->RenderDeviceRender();
}

void WeEngine::Shutdown()
{
    if (m_ShutDown)
        return;
    m_ShutDown = 1;
    m_Initialised = 0;
    m_DeviceUsable = 0;
    if (m_Devices == nullptr)
    {
        g_Timer.Stop();
        return;
    }
    m_Devices->RenderTargetsReleaseAll(true);
    m_Devices->ShadersReleaseAll(true);
    m_Devices->MeshesReleaseAll(true);
    m_Devices->MaterialsReleaseAll(true);
    m_Devices->TexturesReleaseAll(true);
    // Whatever the paused flag says: the bodies go away with physics next.
    if (m_StepRunning)
        FetchPhysics();
    m_Devices->PhysicsShutdown();
    m_Devices->AudioShutdown();
    m_Devices->RenderDeviceShutdown();
    m_Devices->InputShutdown();
    g_Timer.Stop();
    m_Devices->UIShutdown();
}

void WeEngine::EndPhysicsStep()
{
    // Whatever the enabled and paused flags say: the caller is about to destroy bodies.
    if (m_StepRunning && m_Devices != nullptr)
        FetchPhysics();
}

void WeEngine::Resize(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                      uint8_t verticalSync, int32_t windowMode)
{
    if (m_Devices == nullptr)
        return;
    m_Devices->RenderDeviceChangeMode(width, height, multisampleType, multisampleQuality, verticalSync, windowMode);
    // The size the device settled on, which differs from the request after a fallback.
    int32_t screenWidth = 0, screenHeight = 0;
    m_Devices->GetScreenSize(&screenWidth, &screenHeight);
    m_Devices->UIOnResize(screenWidth, screenHeight);
    if (windowMode == 1 && m_Window != nullptr)
        m_Window->ShowMaximised();
}

void WeEngine::GetMousePosition(int32_t* x, int32_t* y)
{
    HWND handle = m_Window != nullptr ? m_Window->m_Handle : nullptr;
    POINT cursor = {};
    RECT client = {};
    int32_t screenWidth = 0, screenHeight = 0;
    if (m_Devices != nullptr)
        m_Devices->GetScreenSize(&screenWidth, &screenHeight);
    // The client area is the divisor (the outer rectangle would keep the cursor off the right and
    // bottom edges); a minimised or missing window keeps the last position.
    if (handle != nullptr && GetCursorPos(&cursor) && ScreenToClient(handle, &cursor) &&
        GetClientRect(handle, &client) && client.right - client.left > 0 && client.bottom - client.top > 0)
    {
        m_MouseX = static_cast<int32_t>(static_cast<int64_t>(screenWidth) * cursor.x / (client.right - client.left));
        m_MouseY = static_cast<int32_t>(static_cast<int64_t>(screenHeight) * cursor.y / (client.bottom - client.top));
    }
    if (x != nullptr)
        *x = m_MouseX;
    if (y != nullptr)
        *y = m_MouseY;
}
