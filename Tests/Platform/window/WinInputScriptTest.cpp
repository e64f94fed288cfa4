// The input script: its grammar and errors, and events that reach the window procedure and the input layer's
// state through SDL's queue and the pump, as a user's do.
#include "Platform/window/WinInputScript.h"
#include "Platform/input/DIKeyCodes.h"
#include "Platform/window/WinUser.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace
{
std::vector<UINT> g_Messages;

LRESULT ScriptProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_Messages.push_back(message);
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool Saw(UINT message)
{
    for (UINT seen : g_Messages)
        if (seen == message)
            return true;
    return false;
}
}  // namespace

TEST(WinInputScript, GrammarAndOrder)
{
    WinInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("# a comment\n\n  \n5 key 30 down\r\n3 move 10 -20\n5 key 30 up\n7 button 4 down\n"
                             "8 wheel -2\n9 text hello\n10 focus lost\n11 focus gained\n12 close\n",
                             "s.txt", error))
        << error;
    const auto& events = script.GetEvents();
    ASSERT_EQ(events.size(), 9u);
    // In frame order; equal frames keep the file's order.
    EXPECT_EQ(events[0].kind, WinInputScript::Move);
    EXPECT_EQ(events[0].a, 10);
    EXPECT_EQ(events[0].b, -20);
    EXPECT_EQ(events[1].kind, WinInputScript::KeyDown);
    EXPECT_EQ(events[1].a, 30);
    EXPECT_EQ(events[2].kind, WinInputScript::KeyUp);
    EXPECT_EQ(events[3].kind, WinInputScript::ButtonDown);
    EXPECT_EQ(events[4].a, -2);
    EXPECT_EQ(events[5].text, "hello");
    EXPECT_EQ(events[6].kind, WinInputScript::FocusLost);
    EXPECT_EQ(events[7].kind, WinInputScript::FocusGained);
    EXPECT_EQ(events[8].kind, WinInputScript::Close);
}

TEST(WinInputScript, BadLinesNameTheirPlace)
{
    struct Case
    {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"x key 30 down", "s.txt:1: the frame \"x\" is not a number 0 or more"},
        {"# ok\n-1 close", "s.txt:2: the frame \"-1\" is not a number 0 or more"},
        {"4", "s.txt:1: an event is missing after the frame"},
        {"4 key 30", "s.txt:1: key takes a DirectInput code 1 to 255 and down or up"},
        {"4 key 300 down", "s.txt:1: key takes a DirectInput code 1 to 255 and down or up"},
        {"4 key 30 pressed", "s.txt:1: key takes a code and down or up"},
        {"4 key 84 down", "s.txt:1: no key has the code 84"},
        {"4 button 5 down", "s.txt:1: button takes a button 0 to 4 and down or up"},
        {"4 move 1", "s.txt:1: move takes two client coordinates"},
        {"4 wheel many", "s.txt:1: wheel takes a number of notches"},
        {"4 text two words", "s.txt:1: text takes one word of at most 31 bytes"},
        {"4 text 0123456789012345678901234567890123", "s.txt:1: text takes one word of at most 31 bytes"},
        {"4 focus maybe", "s.txt:1: focus takes lost or gained"},
        {"4 close now", "s.txt:1: close takes nothing more"},
        {"4 jump", "s.txt:1: unknown event \"jump\""},
        {"99999999999999999999 close", "s.txt:1: the frame \"99999999999999999999\" is not a number 0 or more"},
    };
    for (const Case& c : cases)
    {
        WinInputScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(c.text, "s.txt", error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(script.GetEvents().empty());
    }
    WinInputScript missing;
    std::string error;
    EXPECT_FALSE(missing.Load("/no/such/script.txt", error));
    EXPECT_EQ(error, "/no/such/script.txt:0: cannot read the input script");
}

// Each frame's events go into SDL's queue once, and the pump turns them into the window's messages and the
// input layer's key state.
TEST(WinInputScript, EventsTakeTheUsersPath)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ScriptProc;
    windowClass.lpszClassName = "WinInputScriptTest";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "WinInputScriptTest", "script", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);

    WinInputScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("1 key 30 down\n2 move 40 30\n2 button 0 down\n3 key 30 up\n3 button 0 up\n"
                             "4 text a\n5 wheel 1\n6 focus lost\n7 close\n",
                             "s.txt", error))
        << error;
    auto pump = []
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    };
    g_Messages.clear();
    script.Play(0, window);
    pump();
    EXPECT_FALSE(Saw(WM_KEYDOWN));
    script.Play(1, window);
    pump();
    EXPECT_TRUE(Saw(WM_KEYDOWN));
    BYTE state[256] = {};
    GetKeyboardState(state);
    EXPECT_NE(state['A'] & 0x80, 0);
    script.Play(2, window);
    pump();
    EXPECT_TRUE(Saw(WM_MOUSEMOVE));
    EXPECT_TRUE(Saw(WM_LBUTTONDOWN));
    script.Play(3, window);
    pump();
    EXPECT_TRUE(Saw(WM_KEYUP));
    EXPECT_TRUE(Saw(WM_LBUTTONUP));
    GetKeyboardState(state);
    EXPECT_EQ(state['A'] & 0x80, 0);
    script.Play(4, window);
    pump();
    EXPECT_TRUE(Saw(WM_CHAR));
    script.Play(5, window);
    pump();
    EXPECT_TRUE(Saw(WM_MOUSEWHEEL));
    script.Play(6, window);
    pump();
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_FALSE(Saw(WM_CLOSE));
    // A frame skipped still plays what it held.
    script.Play(20, window);
    pump();
    EXPECT_TRUE(Saw(WM_CLOSE));
    EXPECT_TRUE(script.IsFinished());
    const size_t count = g_Messages.size();
    script.Play(21, window);
    pump();
    EXPECT_EQ(g_Messages.size(), count);
    DestroyWindow(window);
    UnregisterClassA("WinInputScriptTest", nullptr);
}
