// The cursor: display count, clipping, position and capture.
#include "Platform/window/WinRegistry.h"

#include <SDL.h>

namespace
{
SDL_Window* Sdl(HWND window)
{
    return reinterpret_cast<SDL_Window*>(window);
}
}  // namespace

int ShowCursor(BOOL show)
{
    WinRegistry& registry = g_WinRegistry();
    registry.cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_ShowCursor(registry.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return registry.cursorCount;
}

BOOL ClipCursor(const RECT* rect)
{
    WinRegistry& registry = g_WinRegistry();
    for (const WinWindow& w : registry.windows)
    {
        SDL_SetWindowMouseRect(Sdl(w.hwnd), nullptr);
        SDL_SetWindowMouseGrab(Sdl(w.hwnd), SDL_FALSE);
    }
    if (rect == nullptr)
    {
        registry.clipped = false;
        return TRUE;
    }
    if (rect->right < rect->left || rect->bottom < rect->top)
        return FALSE;
    registry.clipped = true;
    registry.clip = *rect;
    // SDL confines the mouse to one window, in that window's client coordinates.
    HWND target = registry.Target();
    if (target != nullptr)
    {
        int x = 0, y = 0;
        SDL_GetWindowPosition(Sdl(target), &x, &y);
        SDL_Rect area = {rect->left - x, rect->top - y, rect->right - rect->left, rect->bottom - rect->top};
        SDL_SetWindowMouseRect(Sdl(target), &area);
        SDL_SetWindowMouseGrab(Sdl(target), SDL_TRUE);
    }
    return TRUE;
}

BOOL GetClipCursor(RECT* rect)
{
    if (rect == nullptr)
        return FALSE;
    WinRegistry& registry = g_WinRegistry();
    if (registry.clipped)
        *rect = registry.clip;
    else
        *rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRUE;
}

BOOL GetCursorPos(POINT* point)
{
    if (point == nullptr)
        return FALSE;
    *point = g_WinRegistry().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    WinRegistry& registry = g_WinRegistry();
    if (registry.clipped)
    {
        // Win32 keeps the cursor inside the clip rectangle (right and bottom edges excluded).
        x = SDL_clamp(x, registry.clip.left, SDL_max(registry.clip.left, registry.clip.right - 1));
        y = SDL_clamp(y, registry.clip.top, SDL_max(registry.clip.top, registry.clip.bottom - 1));
    }
    registry.cursor = {x, y};
    HWND target = registry.Target();
    if (target != nullptr)
    {
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(Sdl(target), &wx, &wy);
        SDL_WarpMouseInWindow(Sdl(target), x - wx, y - wy);
    }
    return TRUE;
}

HWND SetCapture(HWND window)
{
    WinRegistry& registry = g_WinRegistry();
    HWND previous = registry.capture;
    if (registry.Find(window) != nullptr)
    {
        registry.capture = window;
        SDL_CaptureMouse(SDL_TRUE);
    }
    return previous;
}

BOOL ReleaseCapture()
{
    WinRegistry& registry = g_WinRegistry();
    if (registry.capture != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_CaptureMouse(SDL_FALSE);
    registry.capture = nullptr;
    return TRUE;
}
