// The graphics layer, the input layer and the window layer name the same handle and records.
#include "Platform/gfx/D3D9Types.h"
#include "Platform/input/DInput.h"
#include "Platform/window/WinUser.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace
{
struct Seen
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_Seen;
std::vector<char16_t> g_Typed;  // what each key-down types, translated as the game's window does
bool g_RefuseClose = false;

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_Seen.push_back({hwnd, message, wParam, lParam});
    if (message == WM_KEYDOWN)
    {
        BYTE state[256];
        char16_t out[2] = {};
        GetKeyboardState(state);
        int n = ToUnicode(static_cast<UINT>(wParam), MapVirtualKeyA(static_cast<UINT>(wParam), MAPVK_VK_TO_VSC), state,
                          out, 2, 0);
        g_Typed.push_back(n == 1 ? out[0] : 0);
    }
    if (message == WM_CLOSE && g_RefuseClose)
        return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT RefusingProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_CREATE ? -1 : 0;
}

std::vector<Seen> Of(UINT message)
{
    std::vector<Seen> found;
    for (const Seen& s : g_Seen)
        if (s.message == message)
            found.push_back(s);
    return found;
}

class WinWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Seen.clear();
        g_Typed.clear();
        g_RefuseClose = false;
        WNDCLASSEXA c = {};
        c.cbSize = sizeof(c);
        c.style = CS_DBLCLKS | CS_OWNDC;
        c.lpfnWndProc = RecordingProc;
        c.lpszClassName = "WinWindowTest";
        ASSERT_NE(RegisterClassExA(&c), 0);
        m_Window = CreateWindowExA(0, "WinWindowTest", "Test window", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_Window, nullptr);
        m_Id = SDL_GetWindowID(reinterpret_cast<SDL_Window*>(m_Window));
        ASSERT_NE(m_Id, 0u);
        Pump();
        g_Seen.clear();
    }
    void TearDown() override
    {
        if (IsWindow(m_Window))
            DestroyWindow(m_Window);
        UnregisterClassA("WinWindowTest", nullptr);
        Pump();
    }

    // Dispatches everything queued; returns the quit messages seen.
    int Pump()
    {
        int quits = 0;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                ++quits;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return quits;
    }

    void PushKey(Uint32 type, SDL_Scancode scancode, Uint16 mod = 0, Uint8 repeat = 0)
    {
        SDL_Event e = {};
        e.type = type;
        e.key.windowID = m_Id;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        e.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    void PushWindowEvent(Uint8 what, int data1 = 0, int data2 = 0)
    {
        SDL_Event e = {};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = m_Id;
        e.window.event = what;
        e.window.data1 = data1;
        e.window.data2 = data2;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    void PushButton(Uint32 type, Uint8 button, int x, int y, Uint8 clicks = 1)
    {
        SDL_Event e = {};
        e.type = type;
        e.button.windowID = m_Id;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = clicks;
        e.button.x = x;
        e.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }

    HWND m_Window = nullptr;
    Uint32 m_Id = 0;
};
}  // namespace

TEST(WinClass, RegistrationRules)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = RecordingProc;
    c.lpszClassName = "WinClassRules";
    EXPECT_NE(RegisterClassExA(&c), 0);
    EXPECT_EQ(RegisterClassExA(&c), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
    EXPECT_TRUE(UnregisterClassA("WinClassRules", nullptr));
    EXPECT_FALSE(UnregisterClassA("WinClassRules", nullptr));
}

TEST(WinClass, ProcedureRefusingCreationFailsTheCreation)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = RefusingProc;
    c.lpszClassName = "WinClassRefusing";
    ASSERT_NE(RegisterClassExA(&c), 0);
    EXPECT_EQ(CreateWindowExA(0, "WinClassRefusing", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    UnregisterClassA("WinClassRefusing", nullptr);
}

TEST_F(WinWindowTest, CreationSendsCreateAndTheHandleIsTheSdlWindow)
{
    EXPECT_EQ(SDL_GetWindowFromID(m_Id), reinterpret_cast<SDL_Window*>(m_Window));
    HWND second = CreateWindowExA(0, "WinWindowTest", "Second", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(Of(WM_CREATE).size(), 1u);
    EXPECT_EQ(Of(WM_CREATE)[0].hwnd, second);
    RECT client;
    ASSERT_TRUE(GetClientRect(second, &client));
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 80);
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_FALSE(ShowWindow(second, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_TRUE(ShowWindow(second, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(second));

    g_Seen.clear();
    EXPECT_TRUE(DestroyWindow(second));
    ASSERT_EQ(Of(WM_DESTROY).size(), 1u);
    EXPECT_EQ(Of(WM_DESTROY)[0].hwnd, second);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(DestroyWindow(second));
}

TEST_F(WinWindowTest, KeysBecomeKeyMessagesAndReachTheInputLayer)
{
    void* out = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &out, nullptr), DI_OK);
    IDirectInput8A* input = static_cast<IDirectInput8A*>(out);
    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);

    PushKey(SDL_KEYDOWN, SDL_SCANCODE_W);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_W, 0, 1);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
    Pump();
    BYTE keys[256];
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0x80);
    EXPECT_EQ(keys[DIK_RIGHT], 0x80);
    PushKey(SDL_KEYUP, SDL_SCANCODE_W);
    Pump();
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0);

    std::vector<Seen> downs = Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].hwnd, m_Window);
    EXPECT_EQ(downs[0].wParam, WPARAM('W'));
    EXPECT_EQ(static_cast<uint32_t>(downs[0].lParam), 1u | (0x11u << 16));
    EXPECT_EQ(static_cast<uint32_t>(downs[1].lParam), 1u | (0x11u << 16) | (1u << 30));  // auto-repeat
    EXPECT_EQ(downs[2].wParam, VK_RIGHT);
    EXPECT_EQ(static_cast<uint32_t>(downs[2].lParam), 1u | (0x4Du << 16) | (1u << 24));  // extended
    std::vector<Seen> ups = Of(WM_KEYUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(ups[0].lParam), 1u | (0x11u << 16) | (1u << 30) | (1u << 31));

    keyboard->Release();
    input->Release();
}

// A chord typed within one frame: each key message sees the keyboard as it was when that key went
// down, not as it is after the whole frame's events.
TEST_F(WinWindowTest, KeyboardStateIsTheOneOfTheMessageBeingHandled)
{
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_LSHIFT);
    PushKey(SDL_KEYUP, SDL_SCANCODE_A, KMOD_LSHIFT);
    PushKey(SDL_KEYUP, SDL_SCANCODE_LSHIFT);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_B);
    PushKey(SDL_KEYUP, SDL_SCANCODE_B);
    Pump();
    ASSERT_EQ(g_Typed.size(), 3u);
    EXPECT_EQ(g_Typed[0], 0);
    EXPECT_EQ(g_Typed[1], u'A');
    EXPECT_EQ(g_Typed[2], u'b');
}

// Caps Lock pressed after a letter within one frame changes the letters after it, not the one before,
// however far SDL's own modifier state has run ahead.
TEST_F(WinWindowTest, LockKeysCountFromTheMessageBeingHandled)
{
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_A);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_CAPSLOCK, KMOD_CAPS);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_B, KMOD_CAPS);
    SDL_SetModState(KMOD_CAPS);
    Pump();
    SDL_SetModState(KMOD_NONE);
    ASSERT_EQ(g_Typed.size(), 3u);
    EXPECT_EQ(g_Typed[0], u'a');
    EXPECT_EQ(g_Typed[1], 0);
    EXPECT_EQ(g_Typed[2], u'B');
    PushKey(SDL_KEYUP, SDL_SCANCODE_A);
    PushKey(SDL_KEYUP, SDL_SCANCODE_CAPSLOCK);
    PushKey(SDL_KEYUP, SDL_SCANCODE_B);
    Pump();
}

// Without Num Lock the keypad's digit keys are the navigation keys, as their messages say.
TEST_F(WinWindowTest, KeypadKeysFollowNumLock)
{
    const SDL_Scancode keys[] = {SDL_SCANCODE_KP_7, SDL_SCANCODE_KP_8, SDL_SCANCODE_KP_9,     SDL_SCANCODE_KP_4,
                                 SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_1,     SDL_SCANCODE_KP_2,
                                 SDL_SCANCODE_KP_3, SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_PERIOD};
    const WPARAM navigation[] = {VK_HOME, VK_UP,   VK_PRIOR, VK_LEFT,   VK_CLEAR, VK_RIGHT,
                                 VK_END,  VK_DOWN, VK_NEXT,  VK_INSERT, VK_DELETE};
    const WPARAM digits[] = {VK_NUMPAD0 + 7, VK_NUMPAD0 + 8, VK_NUMPAD0 + 9, VK_NUMPAD0 + 4,
                             VK_NUMPAD0 + 5, VK_NUMPAD0 + 6, VK_NUMPAD0 + 1, VK_NUMPAD0 + 2,
                             VK_NUMPAD0 + 3, VK_NUMPAD0,     VK_DECIMAL};
    for (SDL_Scancode key : keys)
        PushKey(SDL_KEYDOWN, key);
    for (SDL_Scancode key : keys)
        PushKey(SDL_KEYDOWN, key, KMOD_NUM);
    Pump();
    std::vector<Seen> downs = Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 22u);
    for (size_t i = 0; i < 11; ++i)
    {
        EXPECT_EQ(downs[i].wParam, navigation[i]) << i;
        EXPECT_EQ(downs[11 + i].wParam, digits[i]) << i;
        // The keypad keys stay the keypad's: same scan code, never the extended bit.
        EXPECT_EQ(downs[i].lParam, downs[11 + i].lParam) << i;
        EXPECT_EQ(downs[i].lParam & (1 << 24), 0) << i;
    }
    // A navigation key of the keypad types nothing.
    BYTE state[256] = {};
    char16_t out[2];
    EXPECT_EQ(ToUnicode(static_cast<UINT>(downs[0].wParam), 0x47, state, out, 2, 0), 0);
}

TEST_F(WinWindowTest, AltF4IsASystemKeyThatClosesThroughTheDefaultProcedure)
{
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F4, KMOD_LALT);
    g_RefuseClose = true;
    Pump();
    std::vector<Seen> sys = Of(WM_SYSKEYDOWN);
    ASSERT_EQ(sys.size(), 2u);
    EXPECT_EQ(sys[0].wParam, VK_MENU);
    EXPECT_EQ(sys[1].wParam, VK_F4);
    EXPECT_NE(sys[1].lParam & (1 << 29), 0);
    ASSERT_EQ(Of(WM_SYSCOMMAND).size(), 1u);
    EXPECT_EQ(Of(WM_SYSCOMMAND)[0].wParam, SC_CLOSE);
    ASSERT_EQ(Of(WM_CLOSE).size(), 1u);
    EXPECT_TRUE(IsWindow(m_Window));  // the procedure kept it open

    g_RefuseClose = false;
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Pump();
    EXPECT_EQ(Of(WM_CLOSE).size(), 2u);
    EXPECT_EQ(Of(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(m_Window));
}

// With Ctrl held, Alt combinations are ordinary keys (and characters): Ctrl+Alt+F4 closes nothing.
TEST_F(WinWindowTest, CtrlAltKeysAreNoSystemKeys)
{
    const Uint16 both = KMOD_LCTRL | KMOD_LALT;
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, both);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F4, both);
    PushKey(SDL_KEYUP, SDL_SCANCODE_F4, both);
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = m_Id;
    SDL_strlcpy(text.text.text, "@", sizeof(text.text.text));
    SDL_SetModState(static_cast<SDL_Keymod>(both));
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    Pump();
    SDL_SetModState(KMOD_NONE);
    EXPECT_TRUE(Of(WM_SYSKEYDOWN).empty());
    EXPECT_TRUE(Of(WM_SYSKEYUP).empty());
    EXPECT_TRUE(Of(WM_SYSCHAR).empty());
    std::vector<Seen> downs = Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[1].wParam, VK_MENU);
    EXPECT_EQ(downs[2].wParam, VK_F4);
    EXPECT_NE(downs[2].lParam & (1 << 29), 0);  // Alt is still down
    ASSERT_EQ(Of(WM_CHAR).size(), 1u);
    EXPECT_EQ(Of(WM_CHAR)[0].wParam, WPARAM('@'));
    EXPECT_TRUE(Of(WM_SYSCOMMAND).empty());
    EXPECT_TRUE(Of(WM_CLOSE).empty());
    EXPECT_TRUE(IsWindow(m_Window));
}

TEST_F(WinWindowTest, TextArrivesAsUtf16CharacterMessages)
{
    SDL_Event e = {};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = m_Id;
    // a, e acute, euro sign, a character outside the basic plane, then a stray continuation byte.
    SDL_strlcpy(e.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x80", sizeof(e.text.text));
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    std::vector<Seen> chars = Of(WM_CHAR);
    std::vector<WPARAM> units;
    for (const Seen& s : chars)
        units.push_back(s.wParam);
    EXPECT_EQ(units, (std::vector<WPARAM>{0x61, 0xE9, 0x20AC, 0xD83D, 0xDE00}));
}

TEST_F(WinWindowTest, CharactersOfAnAutoRepeatedKeyAreMarkedAsRepeats)
{
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = m_Id;
    SDL_strlcpy(text.text.text, "x", sizeof(text.text.text));
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_X);
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_X, 0, 1);
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    PushKey(SDL_KEYUP, SDL_SCANCODE_X);
    ASSERT_EQ(SDL_PushEvent(&text), 1);  // typed without a key (an input method)
    Pump();
    std::vector<Seen> chars = Of(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].lParam & (1 << 30), 0);
    EXPECT_EQ((chars[0].lParam >> 16) & 0xFF, 0x2D);
    EXPECT_NE(chars[1].lParam & (1 << 30), 0);
    EXPECT_EQ(chars[2].lParam, 1);
}

TEST_F(WinWindowTest, QuitFromTheTerminalAsksEveryWindowToClose)
{
    g_RefuseClose = true;
    SDL_Event e = {};
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    ASSERT_EQ(Of(WM_CLOSE).size(), 1u);
    EXPECT_EQ(Of(WM_CLOSE)[0].hwnd, m_Window);
    EXPECT_TRUE(IsWindow(m_Window));
}

TEST_F(WinWindowTest, DisplayChangeReachesEveryWindow)
{
    SDL_Event e = {};
    e.type = SDL_DISPLAYEVENT;
    e.display.event = SDL_DISPLAYEVENT_ORIENTATION;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    ASSERT_EQ(Of(WM_DISPLAYCHANGE).size(), 1u);
    EXPECT_EQ(Of(WM_DISPLAYCHANGE)[0].hwnd, m_Window);
}

TEST_F(WinWindowTest, MouseMessagesCarryClientPositionButtonsAndWheel)
{
    SDL_Event move = {};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = m_Id;
    move.motion.x = 300;
    move.motion.y = 150;
    ASSERT_EQ(SDL_PushEvent(&move), 1);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 20);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, 2);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 3, 4);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, 5, 6);
    SDL_Event wheel = {};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = m_Id;
    wheel.wheel.y = -1;
    ASSERT_EQ(SDL_PushEvent(&wheel), 1);
    Pump();

    ASSERT_EQ(Of(WM_MOUSEMOVE).size(), 1u);
    // The cursor position follows in screen coordinates and converts back to the client's.
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    ASSERT_TRUE(ScreenToClient(m_Window, &cursor));
    EXPECT_EQ(cursor.x, 5);  // the last button event's position
    EXPECT_EQ(cursor.y, 6);
    ASSERT_TRUE(ClientToScreen(m_Window, &cursor));
    ASSERT_TRUE(ScreenToClient(m_Window, &cursor));
    EXPECT_EQ(cursor.x, 5);
    EXPECT_EQ(LOWORD(Of(WM_MOUSEMOVE)[0].lParam), 300);
    EXPECT_EQ(HIWORD(Of(WM_MOUSEMOVE)[0].lParam), 150);
    ASSERT_EQ(Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONDOWN)[0].lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(Of(WM_LBUTTONUP).size(), 1u);
    EXPECT_EQ(Of(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(Of(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Of(WM_MBUTTONUP).size(), 1u);
    ASSERT_EQ(Of(WM_XBUTTONDOWN).size(), 1u);
    EXPECT_EQ(HIWORD(Of(WM_XBUTTONDOWN)[0].wParam), XBUTTON2);
    ASSERT_EQ(Of(WM_MOUSEWHEEL).size(), 1u);
    EXPECT_EQ(static_cast<int16_t>(HIWORD(Of(WM_MOUSEWHEEL)[0].wParam)), -120);
}

TEST_F(WinWindowTest, FocusSizeAndPaintMessages)
{
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    ASSERT_EQ(Of(WM_ACTIVATE).size(), 1u);
    EXPECT_EQ(LOWORD(Of(WM_ACTIVATE)[0].wParam), WA_ACTIVE);
    EXPECT_EQ(Of(WM_SETFOCUS).size(), 1u);
    EXPECT_EQ(GetForegroundWindow(), m_Window);

    g_Seen.clear();
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Pump();
    ASSERT_EQ(Of(WM_ACTIVATE).size(), 1u);
    EXPECT_EQ(LOWORD(Of(WM_ACTIVATE)[0].wParam), WA_INACTIVE);
    EXPECT_EQ(Of(WM_KILLFOCUS).size(), 1u);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    std::vector<Seen> sizes = Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(640, 480));
    EXPECT_EQ(sizes[1].wParam, SIZE_MINIMIZED);
    EXPECT_GE(Of(WM_PAINT).size(), 1u);

    EXPECT_TRUE(SetForegroundWindow(m_Window));
    EXPECT_EQ(GetForegroundWindow(), m_Window);
}

TEST_F(WinWindowTest, PostedMessagesAndQuitComeThroughThePump)
{
    EXPECT_TRUE(PostMessageA(m_Window, WM_USER + 5, 7, 9));
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    ASSERT_EQ(Of(WM_USER + 5).size(), 1u);
    EXPECT_EQ(Of(WM_USER + 5)[0].wParam, 7u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinWindowTest, MessagesOfADestroyedWindowAreDropped)
{
    PostMessageA(m_Window, WM_USER, 0, 0);
    DestroyWindow(m_Window);
    g_Seen.clear();
    EXPECT_EQ(Pump(), 0);
    EXPECT_TRUE(g_Seen.empty());
    EXPECT_FALSE(PostMessageA(m_Window, WM_USER, 0, 0));
}

TEST_F(WinWindowTest, CursorCountClipAndPosition)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);

    RECT clip = {10, 20, 110, 220};
    ASSERT_TRUE(ClipCursor(&clip));
    RECT got;
    ASSERT_TRUE(GetClipCursor(&got));
    EXPECT_EQ(got.left, 10);
    EXPECT_EQ(got.bottom, 220);
    ASSERT_TRUE(SetCursorPos(500, 0));
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 109);
    EXPECT_EQ(p.y, 20);
    ASSERT_TRUE(ClipCursor(nullptr));
    ASSERT_TRUE(SetCursorPos(500, 0));
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 500);
    EXPECT_TRUE(ReleaseCapture());
}

TEST(WinMessageBox, WithoutADisplayItAnswersTheFirstButton)
{
    EXPECT_EQ(MessageBoxA(nullptr, "Game is already running!", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_YESNO), IDYES);
}

// A second instance says so before it has any window: the box is asked of SDL, which opens its own
// connection to the display. Run in a fresh process, where video was never started, with no display.
TEST(WinMessageBox, BeforeAnyWindowTheBoxIsAskedForAnyway)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("SDL_VIDEODRIVER", "x11", 1);
            SDL_ClearError();
            int answer = MessageBoxA(nullptr, "Game is already running!", nullptr, MB_OK);
            // SDL found no display and said so; the answer is still the first button's.
            bool asked = SDL_GetError()[0] != 0;
            _exit(answer == IDOK && SDL_WasInit(SDL_INIT_VIDEO) == 0 && asked ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
