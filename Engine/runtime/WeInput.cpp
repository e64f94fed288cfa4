#include "Engine/runtime/WeInput.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/runtime/WeAppWindow.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeEngineDevices.h"

#include <cstring>

WeInput g_Input;

namespace
{
constexpr uint8_t KeyLeftCtrl = 29, KeyRightCtrl = 157;
constexpr uint8_t KeyLeftShift = 42, KeyRightShift = 54;
constexpr uint8_t KeyLeftAlt = 56, KeyRightAlt = 184;
// A device that is not there reads as failed.
constexpr HRESULT AbsentDevice = DIERR_NOTACQUIRED;

HWND MainWindow()
{
    return g_Engine.m_Window != nullptr ? g_Engine.m_Window->m_Handle : nullptr;
}

void Unacquire(IDirectInputDevice8A* device)
{
    if (device != nullptr)
        device->Unacquire();
}

void Release(IDirectInputDevice8A*& device)
{
    if (device != nullptr)
    {
        device->Release();
        device = nullptr;
    }
}

struct JoystickSearch
{
    IDirectInput8A* directInput;
    IDirectInputDevice8A* device;
};

BOOL TryController(const DIDEVICEINSTANCEA* instance, void* ref)
{
    JoystickSearch* search = static_cast<JoystickSearch*>(ref);
    IDirectInputDevice8A* device = nullptr;
    if (instance != nullptr && search->directInput->CreateDevice(instance->guidInstance, &device, nullptr) >= 0 &&
        device != nullptr)
    {
        search->device = device;
        return DIENUM_STOP;
    }
    return DIENUM_CONTINUE;
}

// One device's part of HandleLostDevices.
HRESULT Recover(IDirectInputDevice8A* device, uint8_t& lost, HRESULT result, DWORD size, void* state)
{
    if (result == DIERR_INPUTLOST)
    {
        lost = 1;
        device->Unacquire();
    }
    if (result == DIERR_NOTACQUIRED || (lost && result != DIERR_INPUTLOST))
    {
        if (device->Acquire() == DI_OK)
        {
            lost = 0;
            // The buffer still holds the last read before the loss, possibly many ticks old: read
            // what is held now, or count the device as unread this tick.
            result = device->GetDeviceState(size, state);
        }
    }
    return result;
}
}  // namespace

// The key-repeat settings are bound and kept, and nothing repeats: game keys act on edges, and typed
// text repeats through the window's character messages.
WeInput::WeInput()
    : m_KeyRepeatDelay(GetConfigFloat("game.Input.KeyRepeatDelay", 1.0f)),
      m_KeyRepeatSpeed(GetConfigFloat("game.Input.KeyRepeatSpeed", 0.25f)), m_Creator(DirectInput8Create)
{
    ResetState();
}

WeInput::~WeInput() {}

void WeInput::ResetState()
{
    std::memset(&m_MouseState, 0, sizeof(m_MouseState));
    std::memset(&m_JoystickState, 0, sizeof(m_JoystickState));
    m_KeyboardLost = m_MouseLost = m_JoystickLost = 0;
    m_PendingEdges = 0;
    std::memset(m_RawKeys, 0, sizeof(m_RawKeys));
    std::memset(m_Down, 0, sizeof(m_Down));
    std::memset(m_Previous, 0, sizeof(m_Previous));
    std::memset(m_Edges, 0, sizeof(m_Edges));
    std::memset(m_MouseMotion, 0, sizeof(m_MouseMotion));
    for (int32_t& axis : m_JoystickAxes)
        axis = AxisCentre;
    m_Alt = m_Ctrl = m_Shift = 0;
    std::memset(m_PostedDown, 0, sizeof(m_PostedDown));
}

void WeInput::ReleaseDevices()
{
    Unacquire(m_Keyboard);
    Unacquire(m_Mouse);
    Unacquire(m_Joystick);
    Release(m_Keyboard);
    Release(m_Mouse);
    Release(m_Joystick);
    if (m_DirectInput != nullptr)
    {
        m_DirectInput->Release();
        m_DirectInput = nullptr;
    }
}

bool WeInput::Init(bool useJoystick)
{
    if (m_Initialised)
        return true;
    ResetState();

    void* root = nullptr;
    if (m_Creator == nullptr || m_Creator(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &root, nullptr) < 0 ||
        root == nullptr)
    {
        g_Engine.m_ErrorText = "Error: Cannot initialize DirectInput";
        return false;
    }
    m_DirectInput = static_cast<IDirectInput8A*>(root);
    if (m_DirectInput->CreateDevice(GUID_SysKeyboard, &m_Keyboard, nullptr) < 0 || m_Keyboard == nullptr)
    {
        m_Keyboard = nullptr;
        ReleaseDevices();
        g_Engine.m_ErrorText = "Error: Cannot create keyboard device";
        return false;
    }
    if (m_DirectInput->CreateDevice(GUID_SysMouse, &m_Mouse, nullptr) < 0 || m_Mouse == nullptr)
    {
        m_Mouse = nullptr;
        ReleaseDevices();
        g_Engine.m_ErrorText = "Error: Cannot create mouse device";
        return false;
    }

    HWND window = MainWindow();
    if (useJoystick)
    {
        JoystickSearch search = {m_DirectInput, nullptr};
        m_DirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, TryController, &search, DIEDFL_ATTACHEDONLY);
        m_Joystick = search.device;
        if (m_Joystick != nullptr)
        {
            // A controller that refuses its format or level is forgotten: no controller is no error.
            if (m_Joystick->SetDataFormat(&c_dfDIJoystick2) >= 0 &&
                m_Joystick->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) >= 0)
                m_Joystick->Acquire();
            else
                Release(m_Joystick);
        }
    }

    // Unchecked, as a device that refuses here still reads as failed, and is retried, in Poll.
    m_Keyboard->SetDataFormat(&c_dfDIKeyboard);
    m_Keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY);
    m_Mouse->SetDataFormat(&c_dfDIMouse2);
    m_Mouse->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    DIPROPDWORD bufferSize = {};
    bufferSize.diph.dwSize = sizeof(bufferSize);
    bufferSize.diph.dwHeaderSize = sizeof(bufferSize.diph);
    bufferSize.diph.dwObj = 0;
    bufferSize.diph.dwHow = DIPH_DEVICE;
    bufferSize.dwData = 16;
    m_Keyboard->SetProperty(DIPROP_BUFFERSIZE, &bufferSize.diph);
    m_Keyboard->Acquire();
    m_Mouse->Acquire();

    m_Initialised = 1;
    return true;
}

void WeInput::ClearFrame()
{
    if (!m_Initialised)
        return;
    std::memcpy(m_Previous, m_Down, sizeof(m_Down));
    std::memset(m_Down, 0, sizeof(m_Down));
    std::memset(m_Edges, 0, sizeof(m_Edges));
    std::memset(m_MouseMotion, 0, sizeof(m_MouseMotion));
    for (int32_t& axis : m_JoystickAxes)
        axis = AxisCentre;
    // Like the edges they count and the keys they describe, these belong to one frame: nothing is
    // pending and no modifier is held until a read says otherwise.
    m_PendingEdges = 0;
    m_Alt = m_Ctrl = m_Shift = 0;
}

bool WeInput::HandleLostDevices(HRESULT& keyboard, HRESULT& mouse, HRESULT& joystick)
{
    if (m_Keyboard != nullptr)
        keyboard = Recover(m_Keyboard, m_KeyboardLost, keyboard, sizeof(m_RawKeys), m_RawKeys);
    if (m_Mouse != nullptr)
        mouse = Recover(m_Mouse, m_MouseLost, mouse, sizeof(m_MouseState), &m_MouseState);
    if (m_Joystick != nullptr)
        joystick = Recover(m_Joystick, m_JoystickLost, joystick, sizeof(m_JoystickState), &m_JoystickState);
    return keyboard == DI_OK && mouse == DI_OK && (m_Joystick == nullptr || joystick == DI_OK);
}

void WeInput::Poll()
{
    if (!m_Initialised)
        return;

    HRESULT keyboard = m_Keyboard != nullptr ? m_Keyboard->GetDeviceState(sizeof(m_RawKeys), m_RawKeys) : AbsentDevice;
    HRESULT mouse = m_Mouse != nullptr ? m_Mouse->GetDeviceState(sizeof(m_MouseState), &m_MouseState) : AbsentDevice;
    HRESULT joystick =
        m_Joystick != nullptr ? m_Joystick->GetDeviceState(sizeof(m_JoystickState), &m_JoystickState) : AbsentDevice;
    HandleLostDevices(keyboard, mouse, joystick);
    m_PendingEdges = 0;

    bool keyboardRead = keyboard == DI_OK;
    bool mouseRead = mouse == DI_OK;
    if (keyboardRead)
    {
        for (int32_t key = 0; key < KeyCount; ++key)
        {
            m_Down[key] = (m_RawKeys[key] & 0x80) != 0 ? 1 : 0;
            if (m_Down[key] && !m_Previous[key])
            {
                m_Edges[key] = 1;
                ++m_PendingEdges;
            }
        }
        m_Ctrl = m_Down[KeyLeftCtrl] || m_Down[KeyRightCtrl] ? 1 : 0;
        m_Shift = m_Down[KeyLeftShift] || m_Down[KeyRightShift] ? 1 : 0;
        m_Alt = m_Down[KeyLeftAlt] || m_Down[KeyRightAlt] ? 1 : 0;
    }
    if (mouseRead)
    {
        for (int32_t button = 0; button < MouseButtonCount; ++button)
        {
            int32_t index = MouseButtonBase + button;
            m_Down[index] = m_MouseState.rgbButtons[button] != 0 ? 1 : 0;
            if (!m_Down[index] && m_Previous[index])
            {
                m_Edges[index] = 1;
                ++m_PendingEdges;
            }
        }
        m_MouseMotion[0] = m_MouseState.lX;
        m_MouseMotion[1] = m_MouseState.lY;
        m_MouseMotion[2] = m_MouseState.lZ;
    }
    if (m_Joystick != nullptr && joystick == DI_OK)
    {
        for (int32_t button = 0; button < JoystickButtonCount; ++button)
        {
            int32_t index = JoystickButtonBase + button;
            m_Down[index] = m_JoystickState.rgbButtons[button] != 0 ? 1 : 0;
            if (!m_Down[index] && m_Previous[index])
            {
                m_Edges[index] = 1;
                ++m_PendingEdges;
            }
        }
        m_JoystickAxes[0] = m_JoystickState.lX;
        m_JoystickAxes[1] = m_JoystickState.lY;
        m_JoystickAxes[2] = m_JoystickState.lZ;
    }

    WeEngineDevices* ui = g_Engine.GetDevices();
    if (ui == nullptr)
        return;
    // Keys in code order, then the cursor, then the buttons. A key or button the UI holds down but
    // which is up now gets its release, also when it happened while nothing was polled.
    for (int32_t key = 0; key < KeyCount; ++key)
    {
        if (keyboardRead && m_Down[key] != m_Previous[key])
        {
            if (m_Down[key])
                ui->UIPostKeyDown(key);
            else
                ui->UIPostKeyUp(key);
            m_PostedDown[key] = m_Down[key];
        }
        else if (m_PostedDown[key] && !m_Down[key])
        {
            ui->UIPostKeyUp(key);
            m_PostedDown[key] = 0;
        }
    }
    if (mouseRead)
    {
        int32_t x = 0, y = 0;
        g_Engine.GetMousePosition(&x, &y);
        ui->UIPostMouseMove(x, y, m_MouseMotion[2]);
    }
    for (int32_t button = 0; button < MouseButtonCount; ++button)
    {
        int32_t index = MouseButtonBase + button;
        uint8_t& posted = m_PostedDown[KeyCount + button];
        if (mouseRead && m_Down[index] != m_Previous[index])
        {
            if (m_Down[index])
                ui->UIPostMouseDown(button);
            else
                ui->UIPostMouseUp(button);
            posted = m_Down[index];
        }
        else if (posted && !m_Down[index])
        {
            ui->UIPostMouseUp(button);
            posted = 0;
        }
    }
}

bool WeInput::Consume(int32_t index)
{
    if (!m_Edges[index])
        return false;
    m_Edges[index] = 0;
    --m_PendingEdges;
    return true;
}

bool WeInput::ConsumeKey(int32_t code)
{
    // The UI passes negated character codes too: those are no keys of ours.
    return code >= 0 && code < KeyCount && Consume(code);
}

bool WeInput::ConsumeMouseButton(int32_t button)
{
    return button >= 0 && button < MouseButtonCount && Consume(MouseButtonBase + button);
}

bool WeInput::ConsumeJoystickButton(int32_t button)
{
    return button >= 0 && button < JoystickButtonCount && Consume(JoystickButtonBase + button);
}

void WeInput::Shutdown()
{
    if (!m_Initialised)
        return;
    ReleaseDevices();
    // A device that is shut down holds nothing and has no edge left to consume.
    ResetState();
    m_Initialised = 0;
}

void WeInput::SetMouseExclusive(bool exclusive)
{
    if (m_Mouse != nullptr)
        m_Mouse->SetCooperativeLevel(MainWindow(),
                                     (exclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE) | DISCL_FOREGROUND);
}

void WeInput::SetKeyboardExclusive(bool exclusive)
{
    if (m_Keyboard != nullptr)
        m_Keyboard->SetCooperativeLevel(MainWindow(),
                                        (exclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE) | DISCL_FOREGROUND);
}

void WeInput::SetJoystickExclusive(bool exclusive)
{
    if (m_Joystick != nullptr)
        m_Joystick->SetCooperativeLevel(MainWindow(),
                                        (exclusive ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE) | DISCL_FOREGROUND);
}

void WeInput::AcquireMouse(bool acquire)
{
    if (m_Mouse != nullptr)
        acquire ? m_Mouse->Acquire() : m_Mouse->Unacquire();
}

void WeInput::AcquireKeyboard(bool acquire)
{
    if (m_Keyboard != nullptr)
        acquire ? m_Keyboard->Acquire() : m_Keyboard->Unacquire();
}

void WeInput::AcquireJoystick(bool acquire)
{
    if (m_Joystick != nullptr)
        acquire ? m_Joystick->Acquire() : m_Joystick->Unacquire();
}
