#pragma once

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Platform/window/WinUser.h"

#include <cstdint>

// The engine's top-level window: registers its own class, creates the window framed (centred) or as
// a borderless pop-up at (0, 0), pumps the thread's messages once per engine tick and turns them
// into calls of the virtual handlers, which a derived window overrides. Every window object sits in
// g_WindowList, where the one window procedure finds it by handle.
class WeAppWindow
{
public:
    WeAppWindow();

    // unused1 and unused2 are accepted and ignored. No icon, cursor or menu resources exist here:
    // instance, icon ids and menu name are kept in the class record only.
    bool Create(const char* className, const char* title, const char* menuName, int32_t iconId, int32_t smallIconId,
                int32_t width, int32_t height, int32_t unused1, int32_t unused2, bool show, bool framed,
                bool popupStyle, bool commonControls, bool maximise, bool topmost, void* instance);
    // Dispatches everything queued for the thread; true when anything was dispatched.
    bool PumpMessages();
    // Alive and Alt+F4 not pressed.
    bool IsAlive() const;
    // Destroys the window and unregisters the class; harmless when called again.
    void Destroy();
    // Hides the window while it is alive (before message boxes).
    void Hide();
    // Shows the window maximised while it is alive.
    void ShowMaximised();

    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    virtual void OnPaint() {}
    virtual void OnClose(bool& allow) { (void)allow; }
    virtual void OnDestroy() {}
    // Never reached: the handle is stored only after creation returns.
    virtual void OnCreate() {}
    virtual void OnSize(int32_t width, int32_t height, int32_t sizeType) { (void)width, (void)height, (void)sizeType; }
    virtual void OnHScroll(int32_t code, int32_t position) { (void)code, (void)position; }
    virtual void OnVScroll(int32_t code, int32_t position) { (void)code, (void)position; }
    virtual void OnMouseWheel(int32_t delta) { (void)delta; }
    virtual void OnLButtonDown(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnLButtonUp(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnRButtonDown(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnRButtonUp(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnMButtonDown(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnMButtonUp(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnMouseMove(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnLButtonDoubleClick(int32_t x, int32_t y) { (void)x, (void)y; }
    virtual void OnCommand(int32_t id) { (void)id; }
    virtual void OnCommandNotify(int32_t id) { (void)id; }
    virtual void OnEditChange(int32_t id) { (void)id; }
    virtual void OnKeyDown(int32_t virtualKey) { (void)virtualKey; }
    virtual void OnKeyUp(int32_t virtualKey) { (void)virtualKey; }
    virtual void OnIdle() {}
    virtual void OnChar(int32_t character) { (void)character; }
    virtual ~WeAppWindow();

    HWND m_Handle = nullptr;  // null until created and after destruction
    HINSTANCE m_Instance = nullptr;
    uint8_t m_Maximised = 0;
    uint8_t m_Alive = 0;   // cleared by Destroy, an allowed close, any destruction, and a fatal device error
    WeString m_ClassName;  // empty when no class is registered
    MSG m_Message = {};
    int32_t m_MouseX = 0;  // the last client position from a mouse-move message
    int32_t m_MouseY = 0;

private:
    // The procedure's work once the window object is known.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

// Every window object; created by the first constructor, freed with the last window.
extern WeList<WeAppWindow*>* g_WindowList;
// Set once by Alt+F4 (or any close the window allows), never cleared: the program ends after the pass.
extern uint8_t g_AltF4Pressed;
