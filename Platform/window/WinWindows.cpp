// Classes, windows and their procedures.
#include "Platform/window/WinRegistry.h"

#include <SDL.h>

#include <algorithm>

namespace
{
thread_local DWORD t_LastError = 0;

SDL_Window* Sdl(HWND window)
{
    return reinterpret_cast<SDL_Window*>(window);
}
}  // namespace

DWORD GetLastError()
{
    return t_LastError;
}

void SetLastError(DWORD error)
{
    t_LastError = error;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass)
{
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) || windowClass->lpfnWndProc == nullptr ||
        windowClass->lpszClassName == nullptr || windowClass->lpszClassName[0] == 0)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WinRegistry& registry = g_WinRegistry();
    if (registry.FindClass(windowClass->lpszClassName) != nullptr)
    {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WinClass c;
    c.name = windowClass->lpszClassName;
    c.style = windowClass->style;
    c.proc = windowClass->lpfnWndProc;
    registry.classes.push_back(c);
    // Class atoms live in 0xC000..0xFFFF.
    return static_cast<ATOM>(0xC000 + (registry.classes.size() & 0x3FFF));
}

BOOL UnregisterClassA(const char* className, HINSTANCE)
{
    WinRegistry& registry = g_WinRegistry();
    WinClass* c = registry.FindClass(className);
    if (c == nullptr)
    {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    registry.classes.erase(registry.classes.begin() + (c - registry.classes.data()));
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND, HMENU, HINSTANCE, void*)
{
    WinRegistry& registry = g_WinRegistry();
    WinClass* c = registry.FindClass(className);
    if (c == nullptr)
    {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    if (width <= 0 || height <= 0 || !WinEnsureVideo())
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= (style & WS_VISIBLE) != 0 ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if ((style & WS_POPUP) != 0 || (style & WS_CAPTION) == 0)
        flags |= SDL_WINDOW_BORDERLESS;
    if ((style & WS_THICKFRAME) != 0)
        flags |= SDL_WINDOW_RESIZABLE;
    if ((exStyle & WS_EX_TOPMOST) != 0)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* sdl = SDL_CreateWindow(title != nullptr ? title : "", x, y, width, height, flags);
    if (sdl == nullptr)
        return nullptr;
    WinWindow w;
    w.hwnd = reinterpret_cast<HWND>(sdl);
    w.id = SDL_GetWindowID(sdl);
    w.proc = c->proc;
    w.classStyle = c->style;
    registry.windows.push_back(w);
    if (SendMessageA(w.hwnd, WM_CREATE, 0, 0) == -1)
    {
        DestroyWindow(w.hwnd);
        return nullptr;
    }
    return w.hwnd;
}

BOOL DestroyWindow(HWND window)
{
    WinRegistry& registry = g_WinRegistry();
    if (registry.Find(window) == nullptr)
        return FALSE;
    SendMessageA(window, WM_DESTROY, 0, 0);
    // The procedure may have destroyed it already.
    WinWindow* w = registry.Find(window);
    if (w == nullptr)
        return TRUE;
    registry.windows.erase(registry.windows.begin() + (w - registry.windows.data()));
    std::erase_if(registry.queue, [window](const MSG& m) { return m.hwnd == window; });
    if (registry.foreground == window)
        registry.foreground = nullptr;
    if (registry.capture == window)
        ReleaseCapture();
    SDL_DestroyWindow(Sdl(window));
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    return g_WinRegistry().Find(window) != nullptr ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window)
{
    if (g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    return (SDL_GetWindowFlags(Sdl(window)) & SDL_WINDOW_SHOWN) != 0 ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int command)
{
    if (g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    BOOL wasVisible = IsWindowVisible(window);
    SDL_Window* sdl = Sdl(window);
    switch (command)
    {
    case SW_HIDE: SDL_HideWindow(sdl); break;
    case SW_SHOWMAXIMIZED:
        SDL_ShowWindow(sdl);
        SDL_MaximizeWindow(sdl);
        break;
    case SW_MINIMIZE: SDL_MinimizeWindow(sdl); break;
    case SW_RESTORE:
        SDL_ShowWindow(sdl);
        SDL_RestoreWindow(sdl);
        break;
    default: SDL_ShowWindow(sdl); break;
    }
    return wasVisible;
}

BOOL SetWindowTextA(HWND window, const char* title)
{
    if (g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    SDL_SetWindowTitle(Sdl(window), title != nullptr ? title : "");
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    if (rect == nullptr || g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(Sdl(window), &x, &y);
    SDL_GetWindowSize(Sdl(window), &w, &h);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(Sdl(window), &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    *rect = {x - left, y - top, x + w + right, y + h + bottom};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (rect == nullptr || g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    int w = 0, h = 0;
    SDL_GetWindowSize(Sdl(window), &w, &h);
    *rect = {0, 0, w, h};
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    if (point == nullptr || g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    int x = 0, y = 0;
    SDL_GetWindowPosition(Sdl(window), &x, &y);
    point->x -= x;
    point->y -= y;
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    if (point == nullptr || g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    int x = 0, y = 0;
    SDL_GetWindowPosition(Sdl(window), &x, &y);
    point->x += x;
    point->y += y;
    return TRUE;
}

HWND GetForegroundWindow()
{
    return g_WinRegistry().foreground;
}

BOOL SetForegroundWindow(HWND window)
{
    WinRegistry& registry = g_WinRegistry();
    if (registry.Find(window) == nullptr)
        return FALSE;
    SDL_RaiseWindow(Sdl(window));
    // A display without a window manager (or none at all) sends no focus events: the request itself
    // makes the window the foreground one until a focus loss says otherwise.
    registry.foreground = window;
    return TRUE;
}

HWND SetFocus(HWND window)
{
    WinRegistry& registry = g_WinRegistry();
    HWND previous = registry.foreground;
    if (registry.Find(window) != nullptr)
    {
        SDL_SetWindowInputFocus(Sdl(window));
        registry.foreground = window;
    }
    return previous;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags)
{
    if (g_WinRegistry().Find(window) == nullptr)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        SDL_SetWindowPosition(Sdl(window), x, y);
    if (!(flags & SWP_NOSIZE) && width > 0 && height > 0)
        SDL_SetWindowSize(Sdl(window), width, height);
    return TRUE;
}

int GetSystemMetrics(int index)
{
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !WinEnsureVideo())
        return 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WinWindow* w = g_WinRegistry().Find(window);
    if (w == nullptr)
        return 0;
    return w->proc(window, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4)
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    default: return 0;
    }
}
