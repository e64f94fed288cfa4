// The input device over the real input layer, fed by the real window pump under the offscreen driver:
// SDL events pushed into a shown window, pumped as the engine tick pumps them, then polled.
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeInput.h"
#include "Platform/input/InputFeed.h"

#include "Tests/Engine/runtime/RecordingDevices.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace
{

class WeInputSdlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_AltF4Pressed = 0;
        InputFeedReset();
        ASSERT_TRUE(m_Window.Create("WeInputSdlTest", "Input", nullptr, 0, 0, 400, 300, 0, 0, true, false, true, false,
                                    false, false, nullptr));
        m_Window.PumpMessages();
        m_Id = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(m_Window.m_Handle));
        POINT origin = {0, 0};  // the cursor starts at the client's corner, whatever ran before
        ClientToScreen(m_Window.m_Handle, &origin);
        SetCursorPos(origin.x, origin.y);
        g_Engine.m_Window = &m_Window;
        g_Engine.m_MouseX = g_Engine.m_MouseY = 0;
        g_Engine.SetDevices(&m_Ui);
        m_Ui.screenWidth = 800;  // twice the window's size
        m_Ui.screenHeight = 600;
    }
    void TearDown() override
    {
        m_Input.Shutdown();
        g_Engine.SetDevices(nullptr);
        g_Engine.m_Window = nullptr;
        m_Window.Destroy();
        InputFeedReset();
    }

    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
    void Key(Uint32 type, SDL_Scancode scancode)
    {
        SDL_Event e = {};
        e.type = type;
        e.key.windowID = m_Id;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        Push(e);
    }
    void Button(Uint32 type, Uint8 button, int x, int y)
    {
        SDL_Event e = {};
        e.type = type;
        e.button.windowID = m_Id;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        Push(e);
    }
    void Focus(Uint8 what)
    {
        SDL_Event e = {};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = m_Id;
        e.window.event = what;
        Push(e);
    }

    // The order of the engine tick: the frame cleared and polled (what earlier pumps fed), then the
    // window's messages pumped; here the pump comes first so that a frame sees what was just pushed.
    std::string Frame()
    {
        m_Window.PumpMessages();
        m_Ui.Clear();
        m_Input.ClearFrame();
        m_Input.Poll();
        return m_Ui.Log();
    }
    std::string Down() const
    {
        std::string text;
        for (int i = 0; i < WeInput::JoystickButtonBase; ++i)
            if (m_Input.m_Down[i])
                text += (text.empty() ? "" : " ") + std::string(i < WeInput::MouseButtonBase ? "k" : "m") +
                        std::to_string(i < WeInput::MouseButtonBase ? i : i - WeInput::MouseButtonBase);
        return text;
    }

    WeAppWindow m_Window;
    uint32_t m_Id = 0;
    RecordingDevices m_Ui;
    WeInput m_Input;
};

}  // namespace

TEST_F(WeInputSdlTest, ScancodesArriveAsKeyCodes)
{
    ASSERT_TRUE(m_Input.Init(false));
    for (SDL_Scancode s :
         {SDL_SCANCODE_A, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL, SDL_SCANCODE_RALT, SDL_SCANCODE_KP_ENTER,
          SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_RSHIFT})
        Key(SDL_KEYDOWN, s);
    EXPECT_EQ(Frame(), "KeyDown(29) KeyDown(30) KeyDown(54) KeyDown(156) KeyDown(157) KeyDown(184) KeyDown(200) "
                       "KeyDown(203) KeyDown(205) KeyDown(208) MouseMove(0,0,0)");
    EXPECT_EQ(Down(), "k29 k30 k54 k156 k157 k184 k200 k203 k205 k208");
    EXPECT_EQ(m_Input.m_Ctrl, 1);
    EXPECT_EQ(m_Input.m_Alt, 1);
    EXPECT_EQ(m_Input.m_Shift, 1);
    EXPECT_TRUE(m_Input.ConsumeKey(156));
    Key(SDL_KEYUP, SDL_SCANCODE_KP_ENTER);
    EXPECT_EQ(Frame(), "KeyUp(156) MouseMove(0,0,0)");
    EXPECT_EQ(g_AltF4Pressed, 0);
}

TEST_F(WeInputSdlTest, ButtonsKeepTheirNumbersAndTheWheelCounts120ANotch)
{
    ASSERT_TRUE(m_Input.Init(false));
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 10, 20);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 50, 60);
    SDL_Event wheel = {};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = m_Id;
    wheel.wheel.y = 1;
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(wheel);
    // The cursor at (50, 60) of a 400 x 300 client is (100, 120) of the 800 x 600 back buffer.
    EXPECT_EQ(Frame(), "MouseMove(100,120,120) MouseDown(0) MouseDown(1) MouseDown(2)");
    EXPECT_EQ(Down(), "m0 m1 m2");
    EXPECT_EQ(m_Input.m_MouseMotion[2], 120);
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 50, 60);
    EXPECT_EQ(Frame(), "MouseMove(100,120,0) MouseUp(1)");
    EXPECT_TRUE(m_Input.ConsumeMouseButton(1));
}

TEST_F(WeInputSdlTest, AFocusLossMakesTheDevicesLostAndTheyComeBackWithNothingPhantom)
{
    ASSERT_TRUE(m_Input.Init(false));
    Key(SDL_KEYDOWN, SDL_SCANCODE_W);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5);
    EXPECT_EQ(Frame(), "KeyDown(17) MouseMove(10,10,0) MouseDown(0)");

    Focus(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(Frame(), "KeyUp(17) MouseUp(0)");  // the UI hears the releases it will not see
    EXPECT_EQ(m_Input.m_KeyboardLost, 1);
    EXPECT_EQ(m_Input.m_MouseLost, 1);
    EXPECT_FALSE(m_Input.m_Keyboard->Acquire() >= 0);  // refused in the background
    EXPECT_EQ(Frame(), "");
    EXPECT_EQ(m_Input.m_KeyboardLost, 1);
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    Focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(Frame(), "MouseMove(10,10,0)");
    EXPECT_EQ(m_Input.m_KeyboardLost, 0);
    EXPECT_EQ(m_Input.m_MouseLost, 0);
    EXPECT_EQ(Down(), "");
    EXPECT_EQ(m_Input.m_PendingEdges, 0);
    // Working again.
    Key(SDL_KEYDOWN, SDL_SCANCODE_W);
    EXPECT_EQ(Frame(), "KeyDown(17) MouseMove(10,10,0)");
}

TEST_F(WeInputSdlTest, AVirtualControllerGivesAxesAndReleaseEdges)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 8, 0);
    if (index < 0)
    {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        GTEST_SKIP() << "no virtual joystick: " << SDL_GetError();
    }
    SDL_Joystick* control = SDL_JoystickOpen(index);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(m_Input.Init(true));
    ASSERT_NE(m_Input.m_Joystick, nullptr);

    SDL_JoystickSetVirtualAxis(control, 0, -32768);
    SDL_JoystickSetVirtualAxis(control, 1, 32767);
    SDL_JoystickSetVirtualButton(control, 5, 1);
    Frame();
    EXPECT_EQ(m_Input.m_JoystickAxes[0], 0);
    EXPECT_EQ(m_Input.m_JoystickAxes[1], 65535);
    EXPECT_EQ(m_Input.m_JoystickAxes[2], 0x7FFF);
    EXPECT_TRUE(m_Input.IsJoystickButtonDown(5));
    EXPECT_FALSE(m_Input.ConsumeJoystickButton(5));  // pressing is no edge
    SDL_JoystickSetVirtualButton(control, 5, 0);
    Frame();
    EXPECT_FALSE(m_Input.IsJoystickButtonDown(5));
    EXPECT_TRUE(m_Input.ConsumeJoystickButton(5));
    EXPECT_EQ(m_Input.m_PendingEdges, 0);

    m_Input.Shutdown();
    SDL_JoystickClose(control);
    SDL_JoystickDetachVirtual(index);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}
