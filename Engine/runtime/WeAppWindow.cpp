#include "Engine/runtime/WeAppWindow.h"

#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeEngineDevices.h"

WeList<WeAppWindow*>* g_WindowList = nullptr;
uint8_t g_AltF4Pressed = 0;

namespace
{
constexpr UINT ClassStyle = CS_DBLCLKS | CS_OWNDC;
constexpr WPARAM EditChangeCode = 0x300;
constexpr WPARAM NotifyCode = 5;
constexpr LPARAM RepeatBit = 1 << 30;

// Looked up without the list's cursor: a handler may be walking the list when a message arrives.
WeAppWindow* FindWindow(HWND handle)
{
    if (g_WindowList == nullptr || handle == nullptr)
        return nullptr;
    for (WeAppWindow* window : *g_WindowList)
    {
        if (window->m_Handle == handle)
            return window;
    }
    return nullptr;
}

int32_t LowWord(uintptr_t value)
{
    return static_cast<int32_t>(LOWORD(value));
}

int32_t HighWord(uintptr_t value)
{
    return static_cast<int32_t>(HIWORD(value));
}
}  // namespace

WeAppWindow::WeAppWindow()
{
    if (g_WindowList == nullptr)
        g_WindowList = new WeList<WeAppWindow*>();
    g_WindowList->PushBack(this);
}

WeAppWindow::~WeAppWindow()
{
    Destroy();
    if (g_Engine.m_Window == this)
        g_Engine.m_Window = nullptr;  // the crash hook must not reach a window that is gone
    if (g_WindowList == nullptr)
        return;
    for (auto* node = g_WindowList->FirstNode(); node != nullptr; node = g_WindowList->NextNode(node))
    {
        if (node->payload == this)
        {
            g_WindowList->Remove(node);
            break;
        }
    }
    if (g_WindowList->IsEmpty())
    {
        delete g_WindowList;
        g_WindowList = nullptr;
    }
}

bool WeAppWindow::Create(const char* className, const char* title, const char* menuName, int32_t iconId,
                         int32_t smallIconId, int32_t width, int32_t height, int32_t, int32_t, bool show, bool framed,
                         bool popupStyle, bool commonControls, bool maximise, bool topmost, void* instance)
{
    (void)menuName, (void)iconId, (void)smallIconId;
    m_Instance = static_cast<HINSTANCE>(instance);
    m_ClassName = className != nullptr ? className : "";

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = ClassStyle;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = m_Instance;
    windowClass.lpszMenuName = "MAPMENU";
    windowClass.lpszClassName = m_ClassName.c_str();
    if (RegisterClassExA(&windowClass) == 0)
    {
        // Not ours to unregister later.
        m_ClassName = "";
        return false;
    }

    DWORD exStyle = topmost ? WS_EX_TOPMOST : 0;
    DWORD style = WS_POPUP;
    int x = 0, y = 0;
    if (framed)
    {
        if (!popupStyle)
            style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    m_Handle = CreateWindowExA(exStyle, m_ClassName.c_str(), title, style, x, y, width, height, nullptr, nullptr,
                               m_Instance, nullptr);
    if (m_Handle == nullptr)
    {
        Destroy();
        return false;
    }

    m_Alive = 1;
    m_Maximised = maximise ? 1 : 0;
    if (show)
    {
        ShowWindow(m_Handle, maximise ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        SetForegroundWindow(m_Handle);
        SetFocus(m_Handle);
    }
    // There are no common controls to initialise here.
    if (framed && !commonControls)
        ShowCursor(FALSE);
    return true;
}

bool WeAppWindow::PumpMessages()
{
    if (!m_Alive)
        return false;
    OnIdle();
    bool dispatched = false;
    while (PeekMessageA(&m_Message, nullptr, 0, 0, PM_REMOVE))
    {
        if (m_Message.message == WM_QUIT)
        {
            if (m_Handle != nullptr && m_Message.hwnd == m_Handle)
            {
                Destroy();
                return true;
            }
            continue;
        }
        TranslateMessage(&m_Message);
        DispatchMessageA(&m_Message);
        dispatched = true;
    }
    return dispatched;
}

bool WeAppWindow::IsAlive() const
{
    return m_Alive && !g_AltF4Pressed;
}

void WeAppWindow::Destroy()
{
    if (m_Handle != nullptr)
    {
        DestroyWindow(m_Handle);
        m_Handle = nullptr;
    }
    if (!m_ClassName.IsEmpty())
    {
        UnregisterClassA(m_ClassName.c_str(), nullptr);
        m_ClassName = "";
    }
    m_Alive = 0;
}

void WeAppWindow::Hide()
{
    if (m_Alive && m_Handle != nullptr)
        ShowWindow(m_Handle, SW_HIDE);
}

void WeAppWindow::ShowMaximised()
{
    if (m_Alive && m_Handle != nullptr)
        ShowWindow(m_Handle, SW_SHOWMAXIMIZED);
}

LRESULT WeAppWindow::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    WeAppWindow* window = FindWindow(handle);
    if (window != nullptr)
        return window->HandleMessage(message, wParam, lParam);
    switch (message)
    {
    case WM_CREATE: return 1;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return 0;
    }
}

LRESULT WeAppWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND handle = m_Handle;
    switch (message)
    {
    case WM_CREATE: OnCreate(); return 0;
    case WM_DESTROY:
        OnDestroy();
        // Under SDL the handle is a pointer that a later window may get again; and a window that is
        // gone, by whatever call, must end the main loop rather than keep it running without one.
        m_Handle = nullptr;
        m_Alive = 0;
        PostQuitMessage(0);
        return 0;
    case WM_SIZE: OnSize(LowWord(lParam), HighWord(lParam), static_cast<int32_t>(wParam)); return 0;
    case WM_PAINT: OnPaint(); return DefWindowProcA(handle, message, wParam, lParam);
    case WM_CLOSE:
    {
        bool allow = true;
        OnClose(allow);
        if (allow)
        {
            // A close from outside (window manager, signal, Alt+F4) ends the program after this
            // pass, as Alt+F4 does.
            g_AltF4Pressed = 1;
            if (m_Handle != nullptr)
                DestroyWindow(m_Handle);
            m_Handle = nullptr;
            m_Alive = 0;
        }
        return 0;
    }
    case WM_DISPLAYCHANGE:
    {
        WeEngineDevices* devices = g_Engine.GetDevices();
        if (devices != nullptr && devices->RenderDeviceWindowMode() == 1)
            ShowWindow(handle, SW_SHOWMAXIMIZED);
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: OnKeyUp(static_cast<int32_t>(wParam)); return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        if ((lParam & RepeatBit) == 0)
            OnChar(static_cast<int32_t>(wParam));
        return DefWindowProcA(handle, message, wParam, lParam);
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4)
        {
            g_AltF4Pressed = 1;
            return DefWindowProcA(handle, message, wParam, lParam);
        }
        if (wParam == VK_SPACE)
            return 0;  // no system menu
        [[fallthrough]];
    case WM_KEYDOWN:
        if ((lParam & RepeatBit) == 0)
            OnKeyDown(static_cast<int32_t>(wParam));
        return 0;
    case WM_COMMAND:
    {
        WPARAM code = HIWORD(wParam);
        int32_t id = LowWord(wParam);
        if (code == 0 || code == 1)
            OnCommand(id);
        else if (code == EditChangeCode)
            OnEditChange(id);
        else if (code == NotifyCode)
            OnCommandNotify(id);
        return 0;
    }
    case WM_SYSCOMMAND:
    {
        // The screen saver and monitor power-down stay off while the game runs.
        WPARAM command = wParam & 0xFFF0;
        if (command == SC_SCREENSAVE || command == SC_MONITORPOWER)
            return 0;
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    case WM_HSCROLL: OnHScroll(LowWord(wParam), HighWord(wParam)); return 0;
    case WM_VSCROLL: OnVScroll(LowWord(wParam), HighWord(wParam)); return 0;
    case WM_MOUSEMOVE:
        m_MouseX = LowWord(lParam);
        m_MouseY = HighWord(lParam);
        OnMouseMove(m_MouseX, m_MouseY);
        return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDoubleClick(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_MBUTTONDOWN: OnMButtonDown(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_MBUTTONUP: OnMButtonUp(LowWord(lParam), HighWord(lParam)); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(static_cast<int16_t>(HIWORD(wParam))); return 0;
    default: return DefWindowProcA(handle, message, wParam, lParam);
    }
}
