#include "Tools/demo_common/DemoRenderWindow.h"

#include <cstdio>

#include "Engine/render/WeRenderDevice.h"
#include "Engine/runtime/WeEngine.h"

namespace
{
LRESULT DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

HWND OpenDemoRenderWindow(const DemoOptions& options, const char* className)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = DemoProc;
    c.lpszClassName = className;
    RegisterClassExA(&c);
    HWND window = CreateWindowExA(0, className, options.name, WS_OVERLAPPED | WS_CAPTION, 0, 0, int(options.width),
                                  int(options.height), nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr)
    {
        std::fprintf(stderr, "%s: cannot create the window\n", options.name);
        return nullptr;
    }
    // The offscreen driver sends no focus events: the window is marked foreground by hand.
    SetForegroundWindow(window);
    if (!g_RenderDevice.Create(nullptr, window, int(options.width), int(options.height), 0, 0, 0, 2, 2, 1))
    {
        std::fprintf(stderr, "%s: %s\n", options.name, g_Engine.m_ErrorText.c_str());
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}
