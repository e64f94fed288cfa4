#include "Engine/runtime/WeEngine.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/runtime/WeAppWindow.h"

#include "Tests/Engine/runtime/RecordingDevices.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::vector<std::string>* g_CallbackLog = nullptr;

void RecordTickCallback()
{
    if (g_CallbackLog != nullptr)
        g_CallbackLog->push_back("TickCallback");
}

// The open profiler sections of g_Timer among 51..56, as "51" or "" when none is open.
std::string OpenSections()
{
    std::string open;
    for (unsigned id = 51; id <= 56; ++id)
        if (g_Timer.m_Sections[id].m_Open)
            open += (open.empty() ? "" : ",") + std::to_string(id);
    return open;
}

class WeEngineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngine();
        g_Engine.SetDevices(&m_Devices);
        g_CallbackLog = &m_Devices.calls;
    }
    void TearDown() override
    {
        g_Engine.Shutdown();
        ResetEngine();
        g_CallbackLog = nullptr;
    }

    static void ResetEngine()
    {
        g_Engine.SetDevices(nullptr);
        g_Engine.Shutdown();
        g_Engine.m_PhysicsEnabled = 0;
        g_Engine.m_PhysicsPaused = 0;
        g_Engine.m_StepRunning = 0;
        g_Engine.m_TickCallback = nullptr;
        g_Engine.m_Window = nullptr;
        g_Engine.m_ErrorText = "";
        g_Engine.m_DeviceLost = 0;
        g_Engine.m_MouseX = g_Engine.m_MouseY = 0;
    }

    bool InitEngine(WeAppWindow* window = nullptr)
    {
        WeEngineSettings settings;
        return g_Engine.Init(settings, nullptr, window, "Test");
    }

    // Runs one tick and returns its calls.
    std::string TickLog()
    {
        m_Devices.Clear();
        g_Engine.Tick();
        return m_Devices.Log();
    }

    RecordingDevices m_Devices;
};

const char* const FullInit = "RenderCreate(800,600,0,0,0,0,2,1) AudioInit InputInit(joystick) "
                             "PhysicsInit(0.000000,-9.810000,0.000000) UIInit";
const char* const FullShutdown = "RenderTargets(force) Shaders(force) Meshes(force) Materials(force) Textures(force) "
                                 "PhysicsShutdown AudioShutdown RenderShutdown InputShutdown UIShutdown";

}  // namespace

TEST_F(WeEngineTest, InitBringsTheDevicesUpInOrderOnce)
{
    WeEngineSettings settings;
    settings.width = 1024;
    settings.height = 768;
    settings.windowMode = 1;
    settings.multisampleType = 4;
    settings.verticalSync = 1;
    settings.gravity[1] = -20.0f;
    WeAppWindow window;
    window.m_Handle = reinterpret_cast<HWND>(&window);  // only passed on, never used as a window here
    g_Engine.m_ErrorText = "stale";
    ASSERT_TRUE(g_Engine.Init(settings, nullptr, &window, "Test"));
    window.m_Handle = nullptr;
    EXPECT_EQ(m_Devices.Log(), "RenderCreate(1024,768,4,0,1,1,2,1) AudioInit InputInit(joystick) "
                               "PhysicsInit(0.000000,-20.000000,0.000000) UIInit");
    EXPECT_EQ(m_Devices.createdWindow, reinterpret_cast<HWND>(&window));
    EXPECT_EQ(g_Engine.m_ErrorText, "");
    EXPECT_EQ(g_Engine.m_Settings.width, 1024);
    EXPECT_EQ(g_Engine.m_Window, &window);
    EXPECT_TRUE(g_Timer.m_Started);

    // A second Init touches nothing.
    m_Devices.Clear();
    EXPECT_TRUE(g_Engine.Init(settings, nullptr, &window, "Test"));
    EXPECT_EQ(m_Devices.Log(), "");
    g_Engine.Shutdown();
    EXPECT_FALSE(g_Timer.m_Started);
}

TEST_F(WeEngineTest, AFailingDeviceLeavesItsTextAndTouchesNothingAfterIt)
{
    struct Case
    {
        bool RecordingDevices::*flag;
        const char* text;
        const char* log;
    };
    const Case cases[] = {
        {&RecordingDevices::renderCreates, "Error: Cannot create DirectX device", "RenderCreate(800,600,0,0,0,0,2,1)"},
        {&RecordingDevices::audioStarts, "Error: Cannot create OpenAL device",
         "RenderCreate(800,600,0,0,0,0,2,1) AudioInit"},
        {&RecordingDevices::inputStarts, "Error: Cannot initialize DirectInput",
         "RenderCreate(800,600,0,0,0,0,2,1) AudioInit InputInit(joystick)"},
        {&RecordingDevices::physicsStarts, "Error: Cannot initialize PhysX engine",
         "RenderCreate(800,600,0,0,0,0,2,1) AudioInit InputInit(joystick) PhysicsInit(0.000000,-9.810000,0.000000)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        RecordingDevices devices;
        g_Engine.SetDevices(&devices);
        devices.*c.flag = false;
        EXPECT_FALSE(InitEngine());
        EXPECT_EQ(g_Engine.m_ErrorText, c.text);
        EXPECT_EQ(devices.Log(), c.log);  // nothing shut down by Init

        // A failed start is no start: a second Init runs the devices again instead of answering true.
        devices.Clear();
        EXPECT_FALSE(InitEngine());
        EXPECT_EQ(devices.Log(), c.log);
        // Nor does a tick or a render reach the devices.
        devices.Clear();
        g_Engine.Tick();
        g_Engine.Render();
        EXPECT_EQ(devices.Log(), "");

        // The application's Shutdown stops what did start.
        g_Engine.Shutdown();
        EXPECT_EQ(devices.Log(), FullShutdown);

        // And the device, once mended, starts in full.
        devices.*c.flag = true;
        devices.Clear();
        EXPECT_TRUE(InitEngine());
        EXPECT_EQ(devices.Log(), FullInit);
        EXPECT_EQ(g_Engine.m_ErrorText, "");
        g_Engine.Shutdown();
        g_Engine.SetDevices(nullptr);
    }
}

TEST_F(WeEngineTest, InitWithoutDevicesFailsWithAText)
{
    g_Engine.SetDevices(nullptr);
    EXPECT_FALSE(InitEngine());
    EXPECT_EQ(g_Engine.m_ErrorText, "Error: No engine devices installed");
    g_Engine.Tick();
    g_Engine.Render();
    g_Engine.EndPhysicsStep();
    g_Engine.Resize(640, 480, 0, 0, 0, 2);
    int32_t x = -1, y = -1;
    g_Engine.GetMousePosition(&x, &y);
    g_Engine.Shutdown();
    SUCCEED();
}

TEST_F(WeEngineTest, TickRunsSixSectionsInOrderWithFrameTickBetweenTheLastTwo)
{
    ASSERT_TRUE(InitEngine());
    g_Engine.m_PhysicsEnabled = 1;
    g_Engine.m_TickCallback = RecordTickCallback;
    g_Engine.Tick();  // starts a step, so that the next tick fetches one

    // Each call tagged with the sections open at the time and whether the frame was ticked yet.
    double minimum = g_Timer.m_MinimumFrameTime;
    g_Timer.m_MinimumFrameTime = 0.002;  // so that FrameTick visibly advances the total time
    double before = g_Timer.m_TotalTime;
    std::vector<std::string> tagged;
    m_Devices.onCall = [&](const std::string& call)
    {
        tagged.push_back(call + "@" + OpenSections() + (g_Timer.m_TotalTime > before ? "+" : ""));
        if (call == "Fetch" || call == "Simulate")
        {
            EXPECT_EQ(g_CrashLogEnabled, 0) << call;
        }
    };
    g_Engine.m_TickCallback = []
    {
        EXPECT_EQ(OpenSections(), "54");
        EXPECT_EQ(g_CrashLogEnabled, 1);
        RecordTickCallback();
    };
    m_Devices.Clear();
    g_Engine.Tick();
    g_Timer.m_MinimumFrameTime = minimum;
    m_Devices.onCall = nullptr;

    std::string joined;
    for (const std::string& t : tagged)
        joined += (joined.empty() ? "" : " ") + t;
    EXPECT_EQ(joined, "CheckDeviceLost@51 ClearFrame@51 IsAppForeground@51 Poll@51 AudioUpdate@51 Fetch@52 "
                      "ProcessEvents@53 UITick@55 Simulate@56+");
    EXPECT_EQ(m_Devices.Log(), "CheckDeviceLost ClearFrame IsAppForeground Poll AudioUpdate Fetch ProcessEvents "
                               "TickCallback UITick Simulate");
    EXPECT_EQ(g_CrashLogEnabled, 1);
    EXPECT_EQ(OpenSections(), "");
    EXPECT_GE(g_Timer.m_Sections[56].m_Count, 2);
}

TEST_F(WeEngineTest, PhysicsStepsRunBetweenTicks)
{
    ASSERT_TRUE(InitEngine());
    auto physics = [&]
    {
        std::string log = TickLog(), out;
        for (const char* call : {"Fetch", "Simulate"})
            if (log.find(call) != std::string::npos)
                out += (out.empty() ? "" : " ") + std::string(call);
        return out;
    };
    EXPECT_EQ(physics(), "");  // disabled: nothing
    g_Engine.m_PhysicsEnabled = 1;
    EXPECT_EQ(physics(), "Simulate");  // the first tick only starts a step, at its end
    EXPECT_EQ(g_Engine.m_StepRunning, 1);
    EXPECT_EQ(physics(), "Fetch Simulate");
    g_Engine.m_PhysicsPaused = 1;  // paused with a step running: neither fetch nor start
    EXPECT_EQ(physics(), "");
    EXPECT_EQ(physics(), "");
    EXPECT_EQ(g_Engine.m_StepRunning, 1);
    g_Engine.m_PhysicsPaused = 0;
    EXPECT_EQ(physics(), "Fetch Simulate");
    g_Engine.m_PhysicsEnabled = 0;  // disabled with a step running: fetched, none started
    EXPECT_EQ(physics(), "Fetch");
    EXPECT_EQ(g_Engine.m_StepRunning, 0);
    EXPECT_EQ(physics(), "");
}

TEST_F(WeEngineTest, EndPhysicsStepFetchesARunningStepWhateverTheFlags)
{
    ASSERT_TRUE(InitEngine());
    g_Engine.m_PhysicsEnabled = 1;
    g_Engine.Tick();
    ASSERT_EQ(g_Engine.m_StepRunning, 1);
    // The race clears the enabled flag (and may be paused) before it deletes its map.
    g_Engine.m_PhysicsEnabled = 0;
    g_Engine.m_PhysicsPaused = 1;
    bool crashLogOff = false;
    m_Devices.onCall = [&](const std::string& call) { crashLogOff = call == "Fetch" && g_CrashLogEnabled == 0; };
    m_Devices.Clear();
    g_Engine.EndPhysicsStep();
    m_Devices.onCall = nullptr;
    EXPECT_EQ(m_Devices.Log(), "Fetch");
    EXPECT_TRUE(crashLogOff);
    EXPECT_EQ(g_CrashLogEnabled, 1);
    EXPECT_EQ(g_Engine.m_StepRunning, 0);
    m_Devices.Clear();
    g_Engine.EndPhysicsStep();  // nothing running: nothing
    EXPECT_EQ(m_Devices.Log(), "");
}

TEST_F(WeEngineTest, UnusableDeviceClearsInputWithoutPollingAndDrawsNothing)
{
    struct Case
    {
        const char* name;
        int32_t state;
        bool foreground;
        uint8_t endOnDeviceError;
        const char* log;
    };
    const Case cases[] = {
        {"background", 0, false, 1,
         "CheckDeviceLost ClearFrame IsAppForeground AudioUpdate ProcessEvents TickCallback UITick"},
        {"device lost", 1, true, 1, "CheckDeviceLost ClearFrame AudioUpdate ProcessEvents TickCallback UITick"},
        {"device failed, keep going", 2, true, 0,
         "CheckDeviceLost ClearFrame AudioUpdate ProcessEvents TickCallback UITick"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        WeEngineSettings settings;
        settings.endOnDeviceError = c.endOnDeviceError;
        WeAppWindow window;
        window.m_Alive = 1;
        ASSERT_TRUE(g_Engine.Init(settings, nullptr, &window, "Test"));
        g_Engine.m_TickCallback = RecordTickCallback;
        m_Devices.deviceState = c.state;
        m_Devices.foreground = c.foreground;
        EXPECT_EQ(TickLog(), c.log);
        m_Devices.Clear();
        g_Engine.Render();
        EXPECT_EQ(m_Devices.Log(), "");
        EXPECT_EQ(g_Engine.m_DeviceLost, 0);
        EXPECT_TRUE(window.m_Alive);

        // Usable again: polled and drawn.
        m_Devices.deviceState = 0;
        m_Devices.foreground = true;
        EXPECT_EQ(TickLog(), "CheckDeviceLost ClearFrame IsAppForeground Poll AudioUpdate ProcessEvents "
                             "TickCallback UITick");
        m_Devices.Clear();
        g_Engine.Render();
        EXPECT_EQ(m_Devices.Log(), "Render");
        g_Engine.Shutdown();
        window.m_Alive = 0;
    }
}

TEST_F(WeEngineTest, DriverErrorEndsTheMainLoopWhenTheSettingsSaySo)
{
    WeAppWindow window;
    window.m_Alive = 1;
    ASSERT_TRUE(InitEngine(&window));
    m_Devices.deviceState = 2;
    g_Engine.Tick();
    EXPECT_EQ(g_Engine.m_DeviceLost, 1);
    EXPECT_FALSE(window.IsAlive());
    m_Devices.Clear();
    g_Engine.Render();
    EXPECT_EQ(m_Devices.Log(), "");
}

TEST_F(WeEngineTest, ShutdownStopsEverythingInOrderOnceAndTickAndRenderDoNothingAfter)
{
    ASSERT_TRUE(InitEngine());
    g_Engine.m_PhysicsEnabled = 1;
    g_Engine.Tick();
    ASSERT_EQ(g_Engine.m_StepRunning, 1);
    g_Engine.m_PhysicsPaused = 1;  // a paused running step is still fetched before physics goes
    bool crashLogOff = false;
    m_Devices.onCall = [&](const std::string& call)
    {
        if (call == "Fetch")
            crashLogOff = g_CrashLogEnabled == 0;
    };
    m_Devices.Clear();
    g_Engine.Shutdown();
    m_Devices.onCall = nullptr;
    EXPECT_EQ(m_Devices.Log(), "RenderTargets(force) Shaders(force) Meshes(force) Materials(force) Textures(force) "
                               "Fetch PhysicsShutdown AudioShutdown RenderShutdown InputShutdown UIShutdown");
    EXPECT_TRUE(crashLogOff);
    EXPECT_EQ(g_CrashLogEnabled, 1);
    EXPECT_FALSE(g_Timer.m_Started);
    EXPECT_EQ(g_Engine.m_Initialised, 0);

    m_Devices.Clear();
    g_Engine.Shutdown();
    g_Engine.Tick();
    g_Engine.Render();
    EXPECT_EQ(m_Devices.Log(), "");
}

TEST_F(WeEngineTest, TwoPassesRunOnTheSameObject)
{
    for (int pass = 1; pass <= 2; ++pass)
    {
        SCOPED_TRACE(pass);
        m_Devices.Clear();
        ASSERT_TRUE(InitEngine());
        EXPECT_EQ(m_Devices.Log(), FullInit);
        g_Engine.m_PhysicsEnabled = 1;
        EXPECT_EQ(TickLog(), "CheckDeviceLost ClearFrame IsAppForeground Poll AudioUpdate ProcessEvents UITick "
                             "Simulate");
        g_Engine.m_PhysicsEnabled = 0;
        m_Devices.Clear();
        g_Engine.Shutdown();
        EXPECT_EQ(m_Devices.Log(), "RenderTargets(force) Shaders(force) Meshes(force) Materials(force) "
                                   "Textures(force) Fetch PhysicsShutdown AudioShutdown RenderShutdown "
                                   "InputShutdown UIShutdown");
        EXPECT_EQ(g_Engine.m_StepRunning, 0);
    }
}

TEST_F(WeEngineTest, ResizeHandsTheBackBufferSizeToTheUI)
{
    WeAppWindow window;
    ASSERT_TRUE(window.Create("WeEngineTestResize", "Resize", nullptr, 0, 0, 320, 200, 0, 0, false, false, true, false,
                              false, false, nullptr));
    ASSERT_TRUE(InitEngine(&window));
    EXPECT_FALSE(IsWindowVisible(window.m_Handle));
    // The device fell back to another size than the one asked for.
    m_Devices.screenWidth = 640;
    m_Devices.screenHeight = 480;
    m_Devices.Clear();
    g_Engine.Resize(1024, 768, 2, 1, 1, 2);
    EXPECT_EQ(m_Devices.Log(), "ChangeMode(1024,768,2,1,1,2) OnResize(640,480)");
    EXPECT_FALSE(IsWindowVisible(window.m_Handle));
    g_Engine.Resize(1024, 768, 0, 0, 0, 1);  // a maximised window is shown maximised
    EXPECT_TRUE(IsWindowVisible(window.m_Handle));
}

TEST_F(WeEngineTest, MousePositionScalesTheClientPositionToTheBackBuffer)
{
    WeAppWindow window;
    ASSERT_TRUE(window.Create("WeEngineTestMouse", "Mouse", nullptr, 0, 0, 400, 300, 0, 0, true, false, true, false,
                              false, false, nullptr));
    ASSERT_TRUE(InitEngine(&window));
    m_Devices.screenWidth = 800;
    m_Devices.screenHeight = 600;
    POINT origin = {0, 0};
    ClientToScreen(window.m_Handle, &origin);
    struct Case
    {
        int cx, cy, x, y;
    };
    // The right and bottom client edges reach the back buffer's (the divisor is the client size).
    for (Case c : {Case{100, 150, 200, 300}, Case{0, 0, 0, 0}, Case{399, 299, 798, 598}, Case{400, 300, 800, 600}})
    {
        SetCursorPos(origin.x + c.cx, origin.y + c.cy);
        int32_t x = -1, y = -1;
        g_Engine.GetMousePosition(&x, &y);
        EXPECT_EQ(x, c.x) << c.cx;
        EXPECT_EQ(y, c.y) << c.cy;
    }
    // Without a window the last position stands, rather than a division by nothing.
    SetCursorPos(origin.x + 100, origin.y + 150);
    int32_t x = 0, y = 0;
    g_Engine.GetMousePosition(&x, &y);
    window.Destroy();
    SetCursorPos(origin.x + 10, origin.y + 10);
    g_Engine.GetMousePosition(&x, &y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 300);
    g_Engine.GetMousePosition(nullptr, nullptr);
}
