#pragma once
// The start of a demo that draws through the engine's render device: its window and the device on it.
#include "Platform/window/WinUser.h"
#include "Tools/demo_common/DemoOptions.h"

// Registers the window class `className`, opens a window of the command line's size (off screen with
// SDL_VIDEODRIVER=offscreen) titled with the demo's name and creates g_RenderDevice on it. Null, having said
// why on stderr and with no window left, when either fails; the demo exits with 1 then.
HWND OpenDemoRenderWindow(const DemoOptions& options, const char* className);
