// The message queue: SDL's events become window messages here, after the input layer has seen them.
#include "Platform/input/InputFeed.h"
#include "Platform/input/InputKeyMap.h"
#include "Platform/window/WinRegistry.h"
#include "Platform/window/WinVirtualKeys.h"

#include <SDL.h>

namespace
{
HWND WindowOf(WinRegistry& registry, uint32_t windowId)
{
    WinWindow* w = registry.FindById(windowId);
    return w != nullptr ? w->hwnd : registry.Target();
}

WPARAM MouseKeys(uint32_t buttons, uint16_t mod)
{
    WPARAM keys = 0;
    if ((buttons & SDL_BUTTON_LMASK) != 0)
        keys |= MK_LBUTTON;
    if ((buttons & SDL_BUTTON_RMASK) != 0)
        keys |= MK_RBUTTON;
    if ((buttons & SDL_BUTTON_MMASK) != 0)
        keys |= MK_MBUTTON;
    if ((buttons & SDL_BUTTON_X1MASK) != 0)
        keys |= MK_XBUTTON1;
    if ((buttons & SDL_BUTTON_X2MASK) != 0)
        keys |= MK_XBUTTON2;
    if ((mod & KMOD_SHIFT) != 0)
        keys |= MK_SHIFT;
    if ((mod & KMOD_CTRL) != 0)
        keys |= MK_CONTROL;
    return keys;
}

void TrackCursor(WinRegistry& registry, HWND window, int x, int y)
{
    int wx = 0, wy = 0;
    if (window != nullptr)
        SDL_GetWindowPosition(reinterpret_cast<SDL_Window*>(window), &wx, &wy);
    registry.cursor = {wx + x, wy + y};
}

void PostKey(WinRegistry& registry, const SDL_KeyboardEvent& key)
{
    uint8_t code = InputKeyCodeFromScancode(key.keysym.scancode);
    WPARAM vk = WinVirtualKeyFromKeyCode(code);
    if (vk == 0)
        return;
    // Without Num Lock the keypad digits move the caret; their messages name the navigation keys.
    if ((key.keysym.mod & KMOD_NUM) == 0 && WinKeypadNavigationKey(code) != 0)
        vk = WinKeypadNavigationKey(code);
    bool down = key.type == SDL_KEYDOWN;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    uint32_t lParam = 1;
    lParam |= static_cast<uint32_t>(code & 0x7F) << 16;
    if ((code & 0x80) != 0)
        lParam |= 1u << 24;
    if (alt)
        lParam |= 1u << 29;
    if (!down || key.repeat != 0)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    // With Ctrl held, Alt combinations (AltGr among them) are ordinary keys.
    bool ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
    bool sys = vk == VK_F10 || (!ctrl && (alt || vk == VK_MENU));
    UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    registry.lastKeyDown = down ? static_cast<LPARAM>(lParam) : 0;
    registry.lockMods = key.keysym.mod & (KMOD_CAPS | KMOD_NUM | KMOD_SCROLL);
    registry.lockModsKnown = true;
    HWND window = WindowOf(registry, key.windowID);
    if (window != nullptr)
        registry.Post(window, message, vk, static_cast<LPARAM>(lParam));
}

// UTF-8 -> UTF-16 code units, one character message each; malformed bytes are skipped.
void PostText(WinRegistry& registry, const SDL_TextInputEvent& text)
{
    HWND window = WindowOf(registry, text.windowID);
    if (window == nullptr)
        return;
    SDL_Keymod mod = SDL_GetModState();
    UINT message = (mod & KMOD_ALT) != 0 && (mod & KMOD_CTRL) == 0 ? WM_SYSCHAR : WM_CHAR;
    // Characters of an auto-repeated key are repeats too (bit 30), as handlers that skip repeats expect.
    LPARAM lParam = registry.lastKeyDown != 0 ? registry.lastKeyDown : 1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.text);
    const unsigned char* end = p + SDL_strlen(text.text);
    while (p < end)
    {
        uint32_t c = *p;
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0)
        {
            ++p;
            continue;
        }
        if (end - p <= extra)
            break;
        c = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool valid = true;
        for (int i = 1; i <= extra; ++i)
        {
            if ((p[i] & 0xC0) != 0x80)
                valid = false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        {
            ++p;
            continue;
        }
        p += 1 + extra;
        if (c >= 0x10000)
        {
            c -= 0x10000;
            registry.Post(window, message, 0xD800 + (c >> 10), lParam);
            registry.Post(window, message, 0xDC00 + (c & 0x3FF), lParam);
        }
        else
        {
            registry.Post(window, message, c, lParam);
        }
    }
}

void PostButton(WinRegistry& registry, const SDL_MouseButtonEvent& button)
{
    WinWindow* w = registry.FindById(button.windowID);
    HWND window = w != nullptr ? w->hwnd : registry.Target();
    if (window == nullptr)
        return;
    if (w == nullptr)
        w = registry.Find(window);
    bool down = button.type == SDL_MOUSEBUTTONDOWN;
    bool dbl = down && button.clicks >= 2 && w != nullptr && (w->classStyle & CS_DBLCLKS) != 0;
    UINT message = 0;
    WPARAM wParam = MouseKeys(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState());
    switch (button.button)
    {
    case SDL_BUTTON_LEFT: message = dbl ? WM_LBUTTONDBLCLK : down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: message = dbl ? WM_RBUTTONDBLCLK : down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: message = dbl ? WM_MBUTTONDBLCLK : down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    case SDL_BUTTON_X1:
    case SDL_BUTTON_X2:
        message = dbl ? WM_XBUTTONDBLCLK : down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
        wParam |= static_cast<WPARAM>(button.button == SDL_BUTTON_X1 ? XBUTTON1 : XBUTTON2) << 16;
        break;
    default: return;
    }
    TrackCursor(registry, window, button.x, button.y);
    registry.Post(window, message, wParam, MAKELPARAM(button.x, button.y));
}

void PostWindowEvent(WinRegistry& registry, const SDL_WindowEvent& event)
{
    WinWindow* w = registry.FindById(event.windowID);
    if (w == nullptr)
        return;
    HWND window = w->hwnd;
    switch (event.event)
    {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        registry.foreground = window;
        registry.lockModsKnown = false;
        registry.Post(window, WM_ACTIVATE, WA_ACTIVE, 0);
        registry.Post(window, WM_SETFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (registry.foreground == window)
            registry.foreground = nullptr;
        registry.Post(window, WM_ACTIVATE, WA_INACTIVE, 0);
        registry.Post(window, WM_KILLFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    {
        bool maximised = (SDL_GetWindowFlags(reinterpret_cast<SDL_Window*>(window)) & SDL_WINDOW_MAXIMIZED) != 0;
        registry.Post(window, WM_SIZE, maximised ? SIZE_MAXIMIZED : SIZE_RESTORED,
                      MAKELPARAM(event.data1, event.data2));
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED: registry.Post(window, WM_SIZE, SIZE_MINIMIZED, 0); break;
    case SDL_WINDOWEVENT_EXPOSED: registry.Post(window, WM_PAINT, 0, 0); break;
    case SDL_WINDOWEVENT_CLOSE: registry.Post(window, WM_CLOSE, 0, 0); break;
    default: break;
    }
}

void Translate(WinRegistry& registry, const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_WINDOWEVENT: PostWindowEvent(registry, event.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: PostKey(registry, event.key); break;
    case SDL_TEXTINPUT: PostText(registry, event.text); break;
    case SDL_MOUSEMOTION:
    {
        HWND window = WindowOf(registry, event.motion.windowID);
        if (window == nullptr)
            break;
        TrackCursor(registry, window, event.motion.x, event.motion.y);
        registry.Post(window, WM_MOUSEMOVE, MouseKeys(event.motion.state, SDL_GetModState()),
                      MAKELPARAM(event.motion.x, event.motion.y));
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: PostButton(registry, event.button); break;
    case SDL_QUIT:
        for (const WinWindow& w : registry.windows)
            registry.Post(w.hwnd, WM_CLOSE, 0, 0);
        break;
    case SDL_DISPLAYEVENT:
    {
        // Every top-level window hears of a display change, with the new desktop size.
        SDL_DisplayMode mode = {};
        SDL_GetDesktopDisplayMode(0, &mode);
        for (const WinWindow& w : registry.windows)
            registry.Post(w.hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(mode.w, mode.h));
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        HWND window = WindowOf(registry, event.wheel.windowID);
        if (window == nullptr || event.wheel.y == 0)
            break;
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        int delta = notches * WHEEL_DELTA_PER_NOTCH;
        WPARAM wParam = MouseKeys(SDL_GetMouseState(nullptr, nullptr), SDL_GetModState()) |
                        (static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16);
        // The wheel message carries screen coordinates.
        registry.Post(window, WM_MOUSEWHEEL, wParam, MAKELPARAM(registry.cursor.x, registry.cursor.y));
        break;
    }
    default: break;
    }
}

bool Matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax)
{
    if (m.message == WM_QUIT)
        return true;
    if (window != nullptr && m.hwnd != window)
        return false;
    return (filterMin == 0 && filterMax == 0) || (m.message >= filterMin && m.message <= filterMax);
}
}  // namespace

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    if (message == nullptr)
        return FALSE;
    WinRegistry& registry = g_WinRegistry();
    // Events are taken one at a time, only once the queue holds nothing to return: the input state
    // (and so GetKeyboardState) then stands where the message being handled left it, as a window
    // procedure translating a key expects.
    for (;;)
    {
        for (auto it = registry.queue.begin(); it != registry.queue.end(); ++it)
        {
            if (!Matches(*it, window, filterMin, filterMax))
                continue;
            *message = *it;
            if ((remove & PM_REMOVE) != 0)
                registry.queue.erase(it);
            return TRUE;
        }
        SDL_Event event;
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_PollEvent(&event) == 0)
            return FALSE;
        InputFeedEvent(event);
        Translate(registry, event);
    }
}

BOOL TranslateMessage(const MSG* message)
{
    // Characters arrive from SDL's text input as their own messages already.
    return message != nullptr && (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message == nullptr)
        return 0;
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WinRegistry& registry = g_WinRegistry();
    if (window != nullptr && registry.Find(window) == nullptr)
        return FALSE;
    registry.Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    g_WinRegistry().Post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}
