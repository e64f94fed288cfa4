// The engine loop on the real devices, headless: offscreen GL, OpenAL's null driver, the software
// physics runtime.
#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/render/WeCameraScreen.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/world/WePhysics.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct EngineRun
{
    WeAppWindow window;

    bool Start(int32_t width, int32_t height)
    {
        if (!window.Create("WeRealEngineDevicesTest", "Engine", nullptr, 0, 0, width, height, 0, 0, true, true, false,
                           false, false, false, nullptr))
            return false;
        WeEngineSettings settings;
        settings.windowMode = 2;
        settings.width = width;
        settings.height = height;
        return g_Engine.Init(settings, nullptr, &window, "Test");
    }

    ~EngineRun()
    {
        g_Engine.Shutdown();
        window.Destroy();
        g_Engine.SetDevices(nullptr);
        g_Engine.m_PhysicsEnabled = 0;
    }
};

void ExpectEverythingStopped()
{
    EXPECT_EQ(g_RenderDevice.m_Created, 0);
    EXPECT_EQ(g_RenderDevice.GetDevice(), nullptr);
    EXPECT_EQ(g_Physics.m_Initialised, 0);
    EXPECT_EQ(g_Engine.m_Initialised, 0);
}

// One device fails, written the way the real one reports; the others stay real.
class PhysicsFails : public WeRealEngineDevices
{
public:
    bool PhysicsInit(const float*) override
    {
        g_Engine.m_ErrorText = "Error: Cannot initialize PhysX engine";
        return false;
    }
};

class InputFails : public WeRealEngineDevices
{
public:
    bool InputInit(bool) override
    {
        g_Engine.m_ErrorText = "Error: Cannot create keyboard device";
        return false;
    }
};
}  // namespace

TEST(WeRealEngineDevicesTest, TwoPassesOfStartLoopAndShutdownInOneProcess)
{
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass);
        {
            InstallRealEngineDevices();
            EngineRun run;
            const int32_t width = pass == 0 ? 320 : 400, height = pass == 0 ? 240 : 200;
            ASSERT_TRUE(run.Start(width, height)) << g_Engine.m_ErrorText.c_str();
            EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), "");
            EXPECT_EQ(g_RenderDevice.m_Created, 1);
            EXPECT_EQ(g_Physics.m_Initialised, 1);
            EXPECT_EQ(g_ScreenSize.width, width);
            EXPECT_EQ(g_ScreenSize.height, height);
            // The cameras see this pass's screen, not the last one's.
            EXPECT_FLOAT_EQ(g_CameraScreen.aspect, float(width) / float(height));
            EXPECT_EQ(g_CameraScreen.viewport.Width, uint32_t(width));
            EXPECT_EQ(g_CameraScreen.viewport.Height, uint32_t(height));

            g_Engine.m_PhysicsEnabled = 1;
            int rendered = 0;
            for (int frame = 0; frame < 6; ++frame)
            {
                g_Engine.Tick();
                rendered += g_Engine.m_DeviceUsable;
                g_Engine.Render();
            }
            EXPECT_GT(rendered, 0);
            EXPECT_EQ(g_Engine.m_StepRunning, 1);
            EXPECT_TRUE(g_Physics.IsStepPending());
            g_Engine.Shutdown();
            // The step started by the last tick was fetched before physics went down.
            EXPECT_EQ(g_Engine.m_StepRunning, 0);
            ExpectEverythingStopped();
        }
    }
}

TEST(WeRealEngineDevicesTest, ADeviceFailingLeavesItsTextAndShutdownStopsWhatStarted)
{
    struct Case
    {
        const char* name;
        WeRealEngineDevices* devices;
        const char* text;
        bool physicsStarted;
    };
    static PhysicsFails physicsFails;
    static InputFails inputFails;
    const Case cases[] = {
        {"physics", &physicsFails, "Error: Cannot initialize PhysX engine", false},
        {"input", &inputFails, "Error: Cannot create keyboard device", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EngineRun run;
        g_Engine.SetDevices(c.devices);
        EXPECT_FALSE(run.Start(320, 240));
        EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), c.text);
        // Started before the failure, and still up for the application's shutdown.
        EXPECT_EQ(g_RenderDevice.m_Created, 1);
        EXPECT_EQ(g_Physics.m_Initialised, c.physicsStarted ? 1 : 0);
        g_Engine.Tick();
        g_Engine.Render();
        EXPECT_EQ(g_Engine.m_DeviceUsable, 0);
        g_Engine.Shutdown();
        ExpectEverythingStopped();
    }
    // The real devices start again after the failures.
    InstallRealEngineDevices();
    EngineRun run;
    EXPECT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
}

TEST(WeRealEngineDevicesTest, MousePositionScalesTheClientAreaToTheBackBuffer)
{
    InstallRealEngineDevices();
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
    RECT client = {};
    ASSERT_TRUE(GetClientRect(run.window.m_Handle, &client));
    ASSERT_GT(client.right, 0);
    POINT point = {client.right / 2, client.bottom / 4};
    ASSERT_TRUE(ClientToScreen(run.window.m_Handle, &point));
    if (!SetCursorPos(point.x, point.y))
        GTEST_SKIP() << "the video driver cannot place the cursor";
    int32_t x = -1, y = -1;
    g_Engine.GetMousePosition(&x, &y);
    EXPECT_EQ(x, 320 * (client.right / 2) / client.right);
    EXPECT_EQ(y, 240 * (client.bottom / 4) / client.bottom);
}
