#pragma once
// The window layer's process-wide bookkeeping: registered classes, live windows, the message queue
// and the cursor state. Main thread only.
#include "Platform/window/WinUser.h"

#include <deque>
#include <string>
#include <vector>

struct WinClass
{
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
};

struct WinWindow
{
    HWND hwnd = nullptr;
    uint32_t id = 0;  // SDL's window id
    WNDPROC proc = nullptr;
    UINT classStyle = 0;
};

class WinRegistry
{
public:
    WinClass* FindClass(const char* name);
    WinWindow* Find(HWND window);
    WinWindow* FindById(uint32_t id);
    // Where events without a window of ours go: the foreground window, else the first one.
    HWND Target() const;
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<WinClass> classes;
    std::vector<WinWindow> windows;
    std::deque<MSG> queue;
    HWND foreground = nullptr;
    HWND capture = nullptr;
    int cursorCount = 0;
    bool clipped = false;
    RECT clip = {};
    POINT cursor = {};
    // The last key-down, whose repeat flag and scan code the characters it types carry.
    LPARAM lastKeyDown = 0;
    // Caps, Num and Scroll Lock as of the last key message taken (SDL's own state runs ahead of the
    // queue); unknown again after a focus change, when SDL reads them afresh.
    bool lockModsKnown = false;
    uint16_t lockMods = 0;
};

WinRegistry& g_WinRegistry();

// Starts SDL's video subsystem once (it stays up, as the graphics layer expects) and, where a real
// display exists, points the crash message box at an SDL dialog.
bool WinEnsureVideo();
// True when message boxes can be shown: video is (or would come) up on a driver with a screen.
bool WinHasDisplay();
