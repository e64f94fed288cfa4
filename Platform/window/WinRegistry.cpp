#include "Platform/window/WinRegistry.h"

#include "Platform/system/SysMessageBox.h"

#include <SDL.h>

#include <cstring>

WinClass* WinRegistry::FindClass(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (WinClass& c : classes)
        if (c.name == name)
            return &c;
    return nullptr;
}

WinWindow* WinRegistry::Find(HWND window)
{
    if (window == nullptr)
        return nullptr;
    for (WinWindow& w : windows)
        if (w.hwnd == window)
            return &w;
    return nullptr;
}

WinWindow* WinRegistry::FindById(uint32_t id)
{
    for (WinWindow& w : windows)
        if (w.id == id)
            return &w;
    return nullptr;
}

HWND WinRegistry::Target() const
{
    if (foreground != nullptr)
        return foreground;
    return windows.empty() ? nullptr : windows.front().hwnd;
}

void WinRegistry::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    msg.pt = cursor;
    queue.push_back(msg);
}

WinRegistry& g_WinRegistry()
{
    static WinRegistry registry;
    return registry;
}

bool WinHasDisplay()
{
    // Before video is up (a second instance reports itself before it has a window) SDL's boxes open
    // their own display connection; only a driver asked for by name can say there is no screen.
    const char* driver =
        SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetCurrentVideoDriver() : SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver == nullptr)
        return SDL_WasInit(SDL_INIT_VIDEO) == 0;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

static bool ShowCrashBox(const char* caption, const char* text)
{
    if (!WinHasDisplay())
        return false;
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0;
}

bool WinEnsureVideo()
{
    // Closing a window is the window procedure's decision (WM_CLOSE), not SDL's; a quit event then
    // only comes from the terminal (SIGINT, SIGTERM) and asks every window to close.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    // Once, whoever started video first (the graphics layer may have).
    static bool hooked = false;
    if (!hooked)
    {
        hooked = true;
        // Windows are OpenGL windows, and SDL unloads the GL library with the last of them; one
        // reference of our own keeps it loaded for the process, so that the game's second pass does not
        // load the driver again (and leak checks still see the driver's own allocations by name).
        SDL_GL_LoadLibrary(nullptr);
        // The graphics layer draws into these windows with a 3.3 core context and its own depth buffers;
        // under EGL a window's surface keeps the configuration of its creation, so windows are made with
        // the attributes that context asks for (otherwise the first device over a window fails).
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        if (WinHasDisplay())
            SysMessageBox::SetHook(&ShowCrashBox);
    }
    return true;
}
