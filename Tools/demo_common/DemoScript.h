#pragma once
// A scripted user for the demos that run on the real devices: mouse moves, clicks, wheel notches, keys and
// typed text pushed as SDL events into the window layer's pump, so that they reach the input device and the
// UI exactly as a user's do. Steps are bound to frame numbers and run at the start of their frame.
#include <functional>
#include <vector>

#include "Platform/system/WinTypes.h"

class DemoScript
{
public:
    explicit DemoScript(HWND window) : m_Window(window) {}

    // Moves onto the named widget's centre, presses the left button, releases it three frames later.
    void Click(int frame, const char* name);
    // Moves onto the widget (when there is one) and turns the wheel; positive notches scroll up.
    void WheelOver(int frame, const char* name, int notches);
    // Characters as a keyboard's text input delivers them.
    void TypeText(int frame, const char* text);
    // A key (SDL scancode) pressed, released three frames later.
    void Key(int frame, int scancode);
    // A key pressed or released alone.
    void KeyDown(int frame, int scancode);
    void KeyUp(int frame, int scancode);
    // Any action of the caller's at a frame.
    void At(int frame, std::function<void()> act);

    // Runs the steps of that frame.
    void Run(int frame);
    int LastFrame() const;

    // The events themselves, now.
    void PushMove(int x, int y);
    void PushButton(bool down, int x, int y);
    void PushWheel(int notches);
    void PushText(const char* text);
    void PushKey(bool down, int scancode);
    // The centre of a widget in back-buffer pixels; false when there is no such widget.
    static bool Centre(const char* name, int* x, int* y);

private:
    struct Step
    {
        int frame;
        std::function<void()> act;
    };
    // Back-buffer pixels to client pixels of the window.
    void ToClient(int x, int y, int* cx, int* cy) const;
    unsigned Id() const;

    HWND m_Window;
    std::vector<Step> m_Steps;
};
