#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeWindowModeOverride.h"
#include "Platform/system/SysDebugOutput.h"

#include "Tests/Engine/runtime/RecordingDevices.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

// Logs every handler call as "<name>.<Handler>(args)".
class RecordingWindow : public WeAppWindow
{
public:
    explicit RecordingWindow(const char* name) : m_Name(name) {}

    std::string log;
    bool veto = false;

    void OnPaint() override { Log("Paint"); }
    void OnClose(bool& allow) override
    {
        Log("Close");
        if (veto)
            allow = false;
    }
    void OnDestroy() override { Log("Destroy"); }
    void OnCreate() override { Log("Create"); }
    void OnSize(int32_t w, int32_t h, int32_t type) override { Log("Size", w, h, type); }
    void OnHScroll(int32_t code, int32_t position) override { Log("HScroll", code, position); }
    void OnVScroll(int32_t code, int32_t position) override { Log("VScroll", code, position); }
    void OnMouseWheel(int32_t delta) override { Log("Wheel", delta); }
    void OnLButtonDown(int32_t x, int32_t y) override { Log("LDown", x, y); }
    void OnLButtonUp(int32_t x, int32_t y) override { Log("LUp", x, y); }
    void OnRButtonDown(int32_t x, int32_t y) override { Log("RDown", x, y); }
    void OnRButtonUp(int32_t x, int32_t y) override { Log("RUp", x, y); }
    void OnMButtonDown(int32_t x, int32_t y) override { Log("MDown", x, y); }
    void OnMButtonUp(int32_t x, int32_t y) override { Log("MUp", x, y); }
    void OnMouseMove(int32_t x, int32_t y) override { Log("Move", x, y); }
    void OnLButtonDoubleClick(int32_t x, int32_t y) override { Log("LDouble", x, y); }
    void OnCommand(int32_t id) override { Log("Command", id); }
    void OnCommandNotify(int32_t id) override { Log("Notify", id); }
    void OnEditChange(int32_t id) override { Log("EditChange", id); }
    void OnKeyDown(int32_t key) override { Log("KeyDown", key); }
    void OnKeyUp(int32_t key) override { Log("KeyUp", key); }
    void OnIdle() override { Log("Idle"); }
    void OnChar(int32_t c) override { Log("Char", c); }

    bool CreateShown(const char* className, bool framed = false, bool popupStyle = true)
    {
        return Create(className, "Test", nullptr, 102, 0, 320, 200, 0, 0, true, framed, popupStyle, false, false, false,
                      nullptr);
    }
    uint32_t Id() const { return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(m_Handle)); }

private:
    template <class... Args>
    void Log(const char* what, Args... args)
    {
        std::string text = m_Name + "." + what;
        if constexpr (sizeof...(args) > 0)
        {
            text += "(";
            ((text += std::to_string(args) + ","), ...);
            text.back() = ')';
        }
        log += (log.empty() ? "" : " ") + text;
    }

    std::string m_Name;
};

void PushEvent(SDL_Event event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushKey(uint32_t windowId, Uint32 type, SDL_Scancode scancode, Uint16 mod = 0, Uint8 repeat = 0)
{
    SDL_Event e = {};
    e.type = type;
    e.key.windowID = windowId;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    e.key.keysym.mod = mod;
    PushEvent(e);
}

void PushWindowEvent(uint32_t windowId, Uint8 what)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowId;
    e.window.event = what;
    PushEvent(e);
}

class WeAppWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_AltF4Pressed = 0;
        ASSERT_TRUE(m_Window.CreateShown("WeAppWindowTest"));
        m_Window.PumpMessages();  // whatever creation queued
        m_Window.log.clear();
    }
    void TearDown() override
    {
        m_Window.Destroy();
        g_AltF4Pressed = 0;
        // Nothing of this test may reach the next one.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
        }
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return SendMessageA(m_Window.m_Handle, message, wParam, lParam);
    }

    RecordingWindow m_Window{"W"};
};

constexpr LPARAM Repeat = 1 << 30;

}  // namespace

TEST_F(WeAppWindowTest, MessagesReachTheirHandlers)
{
    struct Case
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* log;
        LRESULT result;
    };
    const Case cases[] = {
        {WM_KEYDOWN, 'A', 1, "W.KeyDown(65)", 0},
        {WM_KEYDOWN, 'A', Repeat | 1, "", 0},           // an auto-repeat does not reach the handler
        {WM_KEYUP, 'A', Repeat | 1, "W.KeyUp(65)", 0},  // a key-up always has the bit set
        {WM_SYSKEYUP, VK_MENU, Repeat, "W.KeyUp(18)", 0},
        {WM_CHAR, 'a', 1, "W.Char(97)", 0},
        {WM_CHAR, 'a', Repeat | 1, "", 0},
        {WM_SYSCHAR, 'x', 1, "W.Char(120)", 0},
        {WM_SYSKEYDOWN, VK_SPACE, 1 << 29, "", 0},          // no system menu
        {WM_SYSKEYDOWN, 'X', 1 << 29, "W.KeyDown(88)", 0},  // other system keys are keys
        {WM_SYSKEYDOWN, 'X', (1 << 29) | Repeat, "", 0},
        {WM_COMMAND, 7, 0, "W.Command(7)", 0},
        {WM_COMMAND, (1 << 16) | 8, 0, "W.Command(8)", 0},
        {WM_COMMAND, (0x300 << 16) | 9, 0, "W.EditChange(9)", 0},
        {WM_COMMAND, (5 << 16) | 10, 0, "W.Notify(10)", 0},
        {WM_COMMAND, (2 << 16) | 11, 0, "", 0},
        {WM_SYSCOMMAND, SC_SCREENSAVE, 0, "", 0},
        {WM_SYSCOMMAND, SC_MONITORPOWER | 2, 0, "", 0},  // masked
        {WM_HSCROLL, (300 << 16) | 4, 0, "W.HScroll(4,300)", 0},
        {WM_VSCROLL, (0xFFFFu << 16) | 1, 0, "W.VScroll(1,65535)", 0},
        {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), "W.Size(640,480,2)", 0},
        // Mouse words are unsigned, the wheel is signed.
        {WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 5), "W.Move(65535,5)", 0},
        {WM_LBUTTONDOWN, 0, MAKELPARAM(1, 2), "W.LDown(1,2)", 0},
        {WM_LBUTTONUP, 0, MAKELPARAM(3, 4), "W.LUp(3,4)", 0},
        {WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 6), "W.LDouble(5,6)", 0},
        {WM_RBUTTONDOWN, 0, MAKELPARAM(7, 8), "W.RDown(7,8)", 0},
        {WM_RBUTTONUP, 0, MAKELPARAM(9, 10), "W.RUp(9,10)", 0},
        {WM_MBUTTONDOWN, 0, MAKELPARAM(11, 12), "W.MDown(11,12)", 0},
        {WM_MBUTTONUP, 0, MAKELPARAM(13, 0xFFFE), "W.MUp(13,65534)", 0},
        {WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(-240)) << 16, 0, "W.Wheel(-240)", 0},
        {WM_MOUSEWHEEL, 120u << 16, 0, "W.Wheel(120)", 0},
        {WM_PAINT, 0, 0, "W.Paint", 0},
        {WM_CREATE, 0, 0, "W.Create", 0},
        {WM_USER + 1, 0, 0, "", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message << " wParam 0x" << c.wParam);
        m_Window.log.clear();
        EXPECT_EQ(Send(c.message, c.wParam, c.lParam), c.result);
        EXPECT_EQ(m_Window.log, c.log);
    }
    EXPECT_EQ(m_Window.m_MouseX, 65535);
    EXPECT_EQ(m_Window.m_MouseY, 5);
    EXPECT_TRUE(m_Window.IsAlive());
    EXPECT_EQ(g_AltF4Pressed, 0);
}

TEST_F(WeAppWindowTest, AltF4SetsTheFlagAndAVetoedCloseKeepsTheWindow)
{
    m_Window.veto = true;
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F4, 1 << 29), 0);
    EXPECT_EQ(m_Window.log, "W.Close");  // the default processing asked to close
    EXPECT_EQ(g_AltF4Pressed, 1);
    EXPECT_EQ(m_Window.m_Alive, 1);
    EXPECT_TRUE(IsWindow(m_Window.m_Handle));
    EXPECT_FALSE(m_Window.IsAlive());  // the main loop ends all the same
}

TEST_F(WeAppWindowTest, AVetoedCloseChangesNothing)
{
    m_Window.veto = true;
    PushWindowEvent(m_Window.Id(), SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(m_Window.PumpMessages());
    EXPECT_EQ(m_Window.log, "W.Idle W.Close");
    EXPECT_TRUE(m_Window.IsAlive());
    EXPECT_EQ(g_AltF4Pressed, 0);
    EXPECT_TRUE(IsWindow(m_Window.m_Handle));
}

TEST_F(WeAppWindowTest, ACloseFromOutsideEndsTheWindowAndTheProgram)
{
    struct Case
    {
        const char* name;
        bool quit;
    };
    for (Case c : {Case{"window manager close", false}, Case{"quit event", true}})
    {
        SCOPED_TRACE(c.name);
        g_AltF4Pressed = 0;
        RecordingWindow window("V");
        ASSERT_TRUE(window.CreateShown("WeAppWindowTestClose"));
        window.PumpMessages();
        window.log.clear();
        HWND handle = window.m_Handle;
        if (c.quit)
        {
            SDL_Event e = {};
            e.type = SDL_QUIT;
            PushEvent(e);
        }
        else
        {
            PushWindowEvent(window.Id(), SDL_WINDOWEVENT_CLOSE);
        }
        EXPECT_TRUE(window.PumpMessages());
        EXPECT_EQ(window.log, "V.Idle V.Close V.Destroy");
        EXPECT_EQ(g_AltF4Pressed, 1);
        EXPECT_EQ(window.m_Alive, 0);
        EXPECT_EQ(window.m_Handle, nullptr);  // a stale pointer could name the next pass's window
        EXPECT_FALSE(IsWindow(handle));
        // Not alive: the pump does nothing, not even the idle step.
        window.log.clear();
        EXPECT_FALSE(window.PumpMessages());
        EXPECT_EQ(window.log, "");
        // Destroying again is harmless, and the class is free for the next pass.
        window.Destroy();
        window.Destroy();
        g_AltF4Pressed = 0;
        EXPECT_TRUE(window.CreateShown("WeAppWindowTestClose"));
        EXPECT_TRUE(window.IsAlive());
        window.Destroy();
        // The quit event closed the fixture's window too.
        if (c.quit)
        {
            EXPECT_EQ(m_Window.m_Handle, nullptr);
            m_Window.Destroy();
            ASSERT_TRUE(m_Window.CreateShown("WeAppWindowTest"));
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
        }
    }
}

TEST_F(WeAppWindowTest, PumpedKeysSkipRepeatedDownsButNotUps)
{
    uint32_t id = m_Window.Id();
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_B);
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_B, 0, 1);
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_B, 0, 1);
    PushKey(id, SDL_KEYUP, SDL_SCANCODE_B);
    // Alt+Space is swallowed; Alt+X reaches the key handler.
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_SPACE, KMOD_LALT);
    PushKey(id, SDL_KEYUP, SDL_SCANCODE_SPACE, KMOD_LALT);
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_X, KMOD_LALT);
    PushKey(id, SDL_KEYUP, SDL_SCANCODE_X, KMOD_LALT);
    PushKey(id, SDL_KEYUP, SDL_SCANCODE_LALT);
    EXPECT_TRUE(m_Window.PumpMessages());
    EXPECT_EQ(m_Window.log, "W.Idle W.KeyDown(66) W.KeyUp(66) W.KeyDown(18) W.KeyUp(32) W.KeyDown(88) W.KeyUp(88) "
                            "W.KeyUp(18)");
    EXPECT_TRUE(m_Window.IsAlive());

    // Alt+F4 through the pump: the flag, then the close, which goes ahead unless vetoed.
    m_Window.log.clear();
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
    PushKey(id, SDL_KEYDOWN, SDL_SCANCODE_F4, KMOD_LALT);
    EXPECT_TRUE(m_Window.PumpMessages());
    EXPECT_EQ(m_Window.log, "W.Idle W.KeyDown(18) W.Close W.Destroy");
    EXPECT_EQ(g_AltF4Pressed, 1);
    EXPECT_EQ(m_Window.m_Handle, nullptr);
}

TEST_F(WeAppWindowTest, MessagesAreRoutedByHandle)
{
    RecordingWindow other("O");
    ASSERT_TRUE(other.CreateShown("WeAppWindowTestOther"));
    m_Window.PumpMessages();
    m_Window.log.clear();
    other.log.clear();
    ASSERT_NE(g_WindowList, nullptr);
    EXPECT_EQ(g_WindowList->Count(), 2);

    PushKey(other.Id(), SDL_KEYDOWN, SDL_SCANCODE_C);
    PushKey(m_Window.Id(), SDL_KEYDOWN, SDL_SCANCODE_D);
    SDL_Event e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = other.Id();
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 1;
    e.button.x = 12;
    e.button.y = 34;
    PushEvent(e);
    // One pump dispatches the thread's messages, whichever window they are for.
    EXPECT_TRUE(m_Window.PumpMessages());
    EXPECT_EQ(m_Window.log, "W.Idle W.KeyDown(68)");
    EXPECT_EQ(other.log, "O.KeyDown(67) O.RDown(12,34)");
    other.Destroy();
}

TEST_F(WeAppWindowTest, FramedWindowsAreCentredAndPopUpsSitAtTheOrigin)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    struct Case
    {
        bool framed, popupStyle;
        int x, y;
    };
    for (Case c : {Case{true, false, 352, 284}, Case{true, true, 352, 284}, Case{false, false, 0, 0}})
    {
        SCOPED_TRACE(testing::Message() << c.framed << c.popupStyle);
        RecordingWindow window("P");
        ASSERT_TRUE(window.CreateShown("WeAppWindowTestPlace", c.framed, c.popupStyle));
        int x = -1, y = -1;
        SDL_GetWindowPosition(reinterpret_cast<SDL_Window*>(window.m_Handle), &x, &y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(GetForegroundWindow(), window.m_Handle);  // shown windows take the foreground
        window.Destroy();
        EXPECT_EQ(window.m_Handle, nullptr);
    }
    ShowCursor(TRUE);  // the framed windows hid it
    ShowCursor(TRUE);
}

TEST_F(WeAppWindowTest, CreateFailsOnAClassAlreadyTakenWithoutFreeingIt)
{
    RecordingWindow second("S");
    EXPECT_FALSE(second.CreateShown("WeAppWindowTest"));
    EXPECT_TRUE(second.m_ClassName.IsEmpty());
    second.Destroy();
    // The fixture's class is still registered: a third window of it cannot be created either.
    RecordingWindow third("T");
    EXPECT_FALSE(third.CreateShown("WeAppWindowTest"));
    EXPECT_TRUE(m_Window.IsAlive());
}

TEST_F(WeAppWindowTest, AWindowDestroyedByAnotherCallEndsTheLoopButNotTheProgram)
{
    RecordingWindow window("X");
    ASSERT_TRUE(window.CreateShown("WeAppWindowTestGone"));
    window.PumpMessages();
    window.log.clear();
    HWND handle = window.m_Handle;
    EXPECT_TRUE(DestroyWindow(handle));
    EXPECT_EQ(window.log, "X.Destroy");
    EXPECT_EQ(window.m_Handle, nullptr);
    EXPECT_FALSE(window.IsAlive());  // the main loop ends instead of running on without a window
    EXPECT_FALSE(window.PumpMessages());
    EXPECT_EQ(g_AltF4Pressed, 0);  // no close was asked for: the next pass may start
    // The class is still ours to free, and is free for the next pass.
    window.Destroy();
    EXPECT_TRUE(window.CreateShown("WeAppWindowTestGone"));
    EXPECT_TRUE(window.IsAlive());
    window.Destroy();
}

TEST_F(WeAppWindowTest, HideAndDisplayChange)
{
    EXPECT_TRUE(IsWindowVisible(m_Window.m_Handle));
    m_Window.Hide();
    EXPECT_FALSE(IsWindowVisible(m_Window.m_Handle));
    // A display change brings a maximised-window device's window back, maximised.
    RecordingDevices devices;
    g_Engine.SetDevices(&devices);
    devices.windowMode = 2;
    Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_FALSE(IsWindowVisible(m_Window.m_Handle));
    devices.windowMode = 1;
    Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_TRUE(IsWindowVisible(m_Window.m_Handle));
    g_Engine.SetDevices(nullptr);
    m_Window.Destroy();
    m_Window.Hide();  // not alive: nothing
}

TEST_F(WeAppWindowTest, TheListTracksEveryWindowObject)
{
    ASSERT_NE(g_WindowList, nullptr);
    int32_t before = g_WindowList->Count();
    {
        RecordingWindow extra("E");
        EXPECT_EQ(g_WindowList->Count(), before + 1);
        g_Engine.m_Window = &extra;
    }
    EXPECT_EQ(g_WindowList->Count(), before);
    EXPECT_EQ(g_Engine.m_Window, nullptr);  // the engine does not keep a window that is gone
}

TEST(WeAppWindowListTest, TheListIsFreedWithTheLastWindow)
{
    ASSERT_EQ(g_WindowList, nullptr);
    {
        WeAppWindow first;
        WeAppWindow second;
        ASSERT_NE(g_WindowList, nullptr);
        EXPECT_EQ(g_WindowList->Count(), 2);
    }
    EXPECT_EQ(g_WindowList, nullptr);
}

TEST(WeAppWindowModeTest, TheEnvironmentOverridesTheWindowMode)
{
    std::string captured;
    SysDebugOutput::SetCapture([](const char* text, void* context) { *static_cast<std::string*>(context) += text; },
                               &captured);
    struct Case
    {
        const char* value;  // null: unset
        int32_t chosen, expected;
        bool complains;
    };
    const Case cases[] = {
        {nullptr, 0, 0, false}, {nullptr, 1, 1, false}, {"", 1, 1, false},      {"0", 1, 0, false},
        {"1", 0, 1, false},     {"2", 0, 2, false},     {"3", 1, 1, true},      {"-1", 0, 0, true},
        {"2x", 1, 1, true},     {" 2", 0, 0, true},     {"window", 1, 1, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
        captured.clear();
        if (c.value != nullptr)
            setenv("WE_WINDOW_MODE", c.value, 1);
        else
            unsetenv("WE_WINDOW_MODE");
        EXPECT_EQ(ApplyWindowModeOverride(c.chosen), c.expected);
        EXPECT_EQ(captured.find("WE_WINDOW_MODE") != std::string::npos, c.complains) << captured;
    }
    unsetenv("WE_WINDOW_MODE");
    SysDebugOutput::SetCapture(nullptr, nullptr);
}
