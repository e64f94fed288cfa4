// The engine loop on the real devices, headless: offscreen GL, OpenAL's null driver, the software
// physics runtime.
#include "Engine/devices/WeRealEngineDevices.h"
#include "Engine/render/WeCameraScreen.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRoot.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxTypes.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

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
    EXPECT_FALSE(g_AudioDevice.IsInitialised());
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
// Actors that know whether they still exist, and a contact handler that checks each report against them.
std::set<WeActor*> g_LiveActors;
int g_Reports = 0;
int g_ReportsOnDeletedActors = 0;

class TrackedActor : public WeActor
{
public:
    TrackedActor() { g_LiveActors.insert(this); }
    ~TrackedActor() override { g_LiveActors.erase(this); }
};

void CheckContact(WeActor* first, WeActor* second, const D3DXVECTOR3*, const D3DXVECTOR3*, int, const D3DXVECTOR3*)
{
    ++g_Reports;
    if (g_LiveActors.count(first) == 0 || g_LiveActors.count(second) == 0)
        ++g_ReportsOnDeletedActors;
}
}  // namespace

TEST(WeRealEngineDevicesTest, AWorldDestroyedRightAfterAStepStartedFetchesTheStepFirst)
{
    InstallRealEngineDevices();
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240));
    g_Reports = g_ReportsOnDeletedActors = 0;
    WeWorld* world = new WeWorld;
    TrackedActor* floor = new TrackedActor;
    TrackedActor* box = new TrackedActor;
    world->AddActor(floor);
    world->AddActor(box);
    D3DXMATRIX pose;
    D3DXMatrixTranslation(&pose, 0.0f, -0.5f, 0.0f);
    floor->m_PhysicHandle = g_Physics.CreateBoxActor(floor, pose, D3DXVECTOR3(10, 0.5f, 10), 0, 0.0f, true, 0);
    // Slightly into the floor, so the first step reports the touch.
    D3DXMatrixTranslation(&pose, 0.0f, 0.45f, 0.0f);
    box->m_PhysicHandle = g_Physics.CreateBoxActor(box, pose, D3DXVECTOR3(0.5f, 0.5f, 0.5f), 0, 1.0f, false, 0);
    ASSERT_NE(floor->m_PhysicHandle, nullptr);
    ASSERT_NE(box->m_PhysicHandle, nullptr);
    g_Physics.SetActorGroupPairFlags(0, 0, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH);
    WeContactCallback previous = g_Physics.SetContactCallback(CheckContact);
    g_Engine.m_FixedTick = 1;
    g_Engine.m_PhysicsEnabled = 1;
    g_Engine.Tick();
    ASSERT_EQ(g_Engine.m_StepRunning, 1);
    ASSERT_TRUE(g_Physics.IsStepPending());

    delete world;
    EXPECT_EQ(g_Engine.m_StepRunning, 0);
    EXPECT_FALSE(g_Physics.IsStepPending());
    EXPECT_GT(g_Reports, 0);  // the step ran to its end, with its reports, before the actors went
    EXPECT_EQ(g_ReportsOnDeletedActors, 0);
    EXPECT_TRUE(g_LiveActors.empty());
    EXPECT_EQ(g_Physics.LiveHandleCount(), 0);
    // Nothing is left to fetch or report on the next tick.
    g_Engine.Tick();
    EXPECT_EQ(g_ReportsOnDeletedActors, 0);
    g_Physics.SetContactCallback(previous);
    g_Engine.m_FixedTick = 0;
}

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

namespace
{
// Pushes SDL events into the window's queue, as a user's keyboard and the window manager would; the
// engine's pump takes them after the tick's poll, and the next tick's poll reads what they fed.
void PushKey(HWND window, Uint32 type, SDL_Scancode scancode)
{
    SDL_Event e = {};
    e.type = type;
    e.key.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void PushFocus(HWND window, Uint8 what)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
    e.window.event = what;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

// The focused component: records the key events the UI hands it, and whether the key's press edge was
// still there to take (the UI's edit box takes the edges of the keys it handles).
std::vector<std::string> g_ProbeKeys;

class KeyProbe : public WeUIComponent
{
public:
    KeyProbe(WeUIComponent* parent) : WeUIComponent(parent, WeString("KeyProbe")) {}
    int32_t OnKeyDown(int32_t key) override
    {
        g_ProbeKeys.push_back("down " + std::to_string(key) + (g_Input.ConsumeKey(key) ? " taken" : " no edge"));
        return 1;
    }
    int32_t OnKeyUp(int32_t key) override
    {
        g_ProbeKeys.push_back("up " + std::to_string(key));
        return 1;
    }
};

int g_Ticks = 0;
int g_Draws = 0;
int g_Resets = 0;

void CountTick()
{
    ++g_Ticks;
}

void CountDraw()
{
    ++g_Draws;
}

void CountReset(WeRenderDevice*)
{
    ++g_Resets;
}

// One engine turn, as the game's main loop runs it.
void Turn()
{
    g_Engine.Tick();
    g_Engine.Render();
}

// The counters and callbacks for one test, cleared again after it.
struct Counters
{
    Counters()
    {
        g_Ticks = g_Draws = g_Resets = 0;
        g_ProbeKeys.clear();
        g_Engine.m_TickCallback = CountTick;
        g_RenderDevice.m_RenderCallback = CountDraw;
        g_RenderDevice.m_DeviceResetCallback = CountReset;
    }
    ~Counters()
    {
        g_Engine.m_TickCallback = nullptr;
        g_RenderDevice.m_RenderCallback = nullptr;
        g_RenderDevice.m_DeviceResetCallback = nullptr;
    }
};

// The recording graphics backend for one test: it scripts what the device reports; chosen before the
// engine starts and kept until it has shut down.
struct RecordingBackend
{
    RecordingBackend()
    {
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.ResetAll();
        g_GfxRecorder.logging = true;
    }
    ~RecordingBackend()
    {
        g_GfxRecorder.ResetAll();
        GfxSelectBackend(GfxBackendKind::OpenGL);
    }
};
}  // namespace

TEST(WeRealEngineDevicesTest, KeysReachTheFocusedComponentInTheTickTheyArePolledWithTheirEdges)
{
    InstallRealEngineDevices();
    Counters counters;
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
    new KeyProbe(g_UIMain.m_Root);
    g_UIMain.SetFocus(WeString("KeyProbe"));
    ASSERT_NE(g_UIMain.m_Focus, nullptr);
    ASSERT_EQ(g_UIMain.m_Focus->m_Name, WeString("KeyProbe"));
    HWND window = run.window.m_Handle;

    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_RCTRL);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_W);
    Turn();  // pumped
    Turn();  // polled, posted and dispatched
    EXPECT_TRUE(g_Input.IsKeyDown(DIK_W));
    EXPECT_EQ(g_Input.m_Ctrl, 1);
    PushKey(window, SDL_KEYUP, SDL_SCANCODE_W);
    PushKey(window, SDL_KEYUP, SDL_SCANCODE_RCTRL);
    Turn();
    Turn();
    const std::vector<std::string> expected = {"down 17 taken", "down 157 taken", "up 17", "up 157"};
    EXPECT_EQ(g_ProbeKeys, expected);
    EXPECT_EQ(g_Input.m_PendingEdges, 0);
    EXPECT_EQ(g_Ticks, 4);
}

TEST(WeRealEngineDevicesTest, AFocusLossStopsPollingAndDrawingAndTheDevicesComeBackWithNothingPhantom)
{
    InstallRealEngineDevices();
    Counters counters;
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
    new KeyProbe(g_UIMain.m_Root);
    g_UIMain.SetFocus(WeString("KeyProbe"));
    HWND window = run.window.m_Handle;

    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    Turn();
    Turn();
    ASSERT_TRUE(g_Input.IsKeyDown(DIK_SPACE));
    const int drawsBefore = g_Draws;
    EXPECT_EQ(drawsBefore, 2);

    // The focus goes while Space is held, and Space comes up in the background.
    PushFocus(window, SDL_WINDOWEVENT_FOCUS_LOST);
    Turn();  // pumped after this tick's poll and before its drawing
    EXPECT_EQ(g_Draws, drawsBefore);
    PushKey(window, SDL_KEYUP, SDL_SCANCODE_SPACE);
    for (int i = 0; i < 3; ++i)
    {
        Turn();
        EXPECT_EQ(g_Engine.m_DeviceUsable, 0);
        EXPECT_FALSE(g_Input.IsKeyDown(DIK_SPACE));  // cleared, not polled
    }
    EXPECT_EQ(g_Draws, drawsBefore);
    EXPECT_EQ(g_Ticks, 6);  // the game's tick runs in the background too

    // Back in front: the first poll finds the devices lost, which tells the UI of the release it
    // missed; the next acquires them again and reads what is held now, which is nothing.
    PushFocus(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    Turn();
    for (int i = 0; i < 3; ++i)
    {
        Turn();
        EXPECT_EQ(g_Engine.m_DeviceUsable, 1);
        EXPECT_FALSE(g_Input.IsKeyDown(DIK_SPACE));
        EXPECT_EQ(g_Input.m_PendingEdges, 0);
    }
    EXPECT_EQ(g_Draws, drawsBefore + 3);
    EXPECT_EQ(g_Input.m_KeyboardLost, 0);
    EXPECT_EQ(g_Input.m_MouseLost, 0);
    // And they read keys again.
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    Turn();
    Turn();
    PushKey(window, SDL_KEYUP, SDL_SCANCODE_SPACE);
    Turn();
    Turn();
    const std::vector<std::string> expected = {"down 57 taken", "up 57", "down 57 taken", "up 57"};
    EXPECT_EQ(g_ProbeKeys, expected);
}

TEST(WeRealEngineDevicesTest, ALostDeviceSkipsInputAndDrawingUntilItsResetAndADriverErrorEndsTheLoop)
{
    RecordingBackend backend;
    InstallRealEngineDevices();
    Counters counters;
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
    HWND window = run.window.m_Handle;
    Turn();
    EXPECT_EQ(g_Engine.m_DeviceUsable, 1);
    EXPECT_EQ(g_Draws, 1);

    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    Turn();  // pumped
    g_GfxRecorder.ClearLog();
    g_GfxRecorder.cooperativeLevels = {D3DERR_DEVICELOST, D3DERR_DEVICELOST};
    for (int i = 0; i < 2; ++i)
    {
        Turn();
        EXPECT_EQ(g_Engine.m_DeviceUsable, 0);
        EXPECT_FALSE(g_Input.IsKeyDown(DIK_SPACE));  // cleared, not polled
    }
    EXPECT_EQ(g_GfxRecorder.Count("Present"), 0u);
    EXPECT_EQ(g_Draws, 2);
    EXPECT_EQ(g_Ticks, 4);
    EXPECT_EQ(g_Resets, 0);

    // The device can be reset now: every device-memory resource of the devices was released (the
    // recorder refuses a reset while one lives), and the frame goes on as usual.
    Turn();
    EXPECT_EQ(g_Resets, 1);
    EXPECT_EQ(g_Engine.m_DeviceUsable, 1);
    EXPECT_EQ(g_RenderDevice.m_Lost, 0);
    EXPECT_TRUE(g_Input.IsKeyDown(DIK_SPACE));
    EXPECT_TRUE(g_Input.ConsumeKey(DIK_SPACE));  // after unpolled ticks a held key is newly pressed
    EXPECT_EQ(g_GfxRecorder.Count("Present"), 1u);
    EXPECT_EQ(g_Draws, 3);

    // A driver error ends the main loop after this frame, and nothing is drawn.
    g_GfxRecorder.cooperativeLevels = {D3DERR_DRIVERINTERNALERROR};
    Turn();
    EXPECT_EQ(g_Engine.m_DeviceLost, 1);
    EXPECT_EQ(g_Engine.m_DeviceUsable, 0);
    EXPECT_FALSE(run.window.IsAlive());
    EXPECT_EQ(g_Draws, 3);
    EXPECT_EQ(g_Ticks, 6);
    g_Engine.m_DeviceLost = 0;
}

TEST(WeRealEngineDevicesTest, ResizeGivesTheUIAndTheCursorTheNewBackBuffer)
{
    InstallRealEngineDevices();
    EngineRun run;
    ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
    EXPECT_EQ(g_UIMain.m_ScreenWidth, 320);
    g_Engine.Resize(400, 300, 0, 0, 0, 2);
    EXPECT_EQ(g_ScreenSize.width, 400);
    EXPECT_EQ(g_ScreenSize.height, 300);
    EXPECT_EQ(g_UIMain.m_ScreenWidth, 400);
    EXPECT_EQ(g_UIMain.m_ScreenHeight, 300);
    // The cursor at the middle of the resized client area is the middle of the new back buffer.
    RECT client = {};
    ASSERT_TRUE(GetClientRect(run.window.m_Handle, &client));
    POINT point = {client.right / 2, client.bottom / 2};
    ASSERT_TRUE(ClientToScreen(run.window.m_Handle, &point));
    if (!SetCursorPos(point.x, point.y))
        GTEST_SKIP() << "the video driver cannot place the cursor";
    int32_t x = -1, y = -1;
    g_Engine.GetMousePosition(&x, &y);
    EXPECT_EQ(x, 400 * (client.right / 2) / client.right);
    EXPECT_EQ(y, 300 * (client.bottom / 2) / client.bottom);
    Turn();
    EXPECT_EQ(g_Engine.m_DeviceUsable, 1);
}

namespace
{
// The RMS level of interleaved stereo, both channels together, 0..1.
double Level(const std::vector<int16_t>& frames)
{
    double sum = 0.0;
    for (int16_t sample : frames)
        sum += double(sample) * sample;
    return frames.empty() ? 0.0 : std::sqrt(sum / double(frames.size())) / 32768.0;
}
}  // namespace

// The engine starts, updates and stops the audio device; time passes only as the loopback device
// renders, so each tick stands for 2048 frames of sound.
TEST(WeRealEngineDevicesTest, TheLoopDrivesTheAudioDevice)
{
    g_AudioDevice.SetOutput(WeAudioDevice::Output::Loopback);
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass);
        InstallRealEngineDevices();
        EngineRun run;
        ASSERT_TRUE(run.Start(320, 240)) << g_Engine.m_ErrorText.c_str();
        ASSERT_TRUE(g_AudioDevice.IsInitialised());
        ASSERT_TRUE(g_AudioDevice.PlayMusic("Sounds.Music.IG_Menu Theme", true));
        WeSound click("Sounds.Menu.Click1", false);
        click.Play(false);
        ASSERT_TRUE(click.IsPlaying());

        // Four times what the stream's sixteen buffers hold: only the tick's refills keep it going.
        constexpr int32_t Frames = 2048;
        std::vector<int16_t> frames(size_t(Frames) * 2);
        double quietest = 1.0;
        for (int tick = 0; tick < 4 * 16 * 4096 / Frames; ++tick)
        {
            ASSERT_TRUE(g_AudioDevice.RenderSamples(frames.data(), Frames));
            // The first few ticks hold the gain ramp of the start.
            if (tick >= 4)
                quietest = std::min(quietest, Level(frames));
            g_Engine.Tick();
        }
        EXPECT_TRUE(g_AudioDevice.IsMusicPlaying());
        EXPECT_GT(quietest, 0.005);
        // The click finished long ago; the tick's update gave its source back.
        EXPECT_EQ(click.GetSource(), nullptr);

        g_Engine.Shutdown();
        EXPECT_FALSE(g_AudioDevice.IsInitialised());
        EXPECT_EQ(g_AudioDevice.GetMusic(), nullptr);
        EXPECT_FALSE(g_AudioDevice.RenderSamples(frames.data(), Frames));
    }

    // Without a sound device the engine does not start, and says why.
    g_AudioDevice.SetOutput(WeAudioDevice::Output::Named, "No such sound card");
    {
        InstallRealEngineDevices();
        EngineRun run;
        EXPECT_FALSE(run.Start(320, 240));
        EXPECT_STREQ(g_Engine.m_ErrorText.c_str(), "Error: Cannot create OpenAL device");
        EXPECT_EQ(g_RenderDevice.m_Created, 1);
        g_Engine.Shutdown();
        ExpectEverythingStopped();
    }
    g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
}
