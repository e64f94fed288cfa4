#include "Platform/input/DInputDevice.h"

#include "Platform/input/InputState.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

const DIDATAFORMAT c_dfDIKeyboard = {256, DI8DEVCLASS_KEYBOARD};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIMOUSESTATE2), DI8DEVCLASS_POINTER};
const DIDATAFORMAT c_dfDIJoystick2 = {sizeof(DIJOYSTATE2), DI8DEVCLASS_GAMECTRL};

LONG DIJoyAxisFromSdl(int16_t value)
{
    // Both ends land exactly on 0 and 65535, SDL's rest value on the centre, and any deflection off it.
    if (value >= 0)
        return DIJOY_AXIS_CENTRE + static_cast<LONG>((static_cast<int64_t>(value) * 32768) / 32767);
    return DIJOY_AXIS_CENTRE + static_cast<LONG>((static_cast<int64_t>(value) * 32767 - 32767) / 32768);
}

DWORD DIJoyPovFromSdlHat(uint8_t hat)
{
    switch (hat)
    {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return DIPOV_CENTERED;
    }
}

DInputDevice::DInputDevice(Kind kind, void* joystick, IDirectInput8A* creator)
    : m_Kind(kind), m_Joystick(joystick), m_Creator(creator)
{
    m_Creator->AddRef();
}

DInputDevice::~DInputDevice()
{
    Unacquire();
    if (m_Joystick != nullptr)
        SDL_JoystickClose(static_cast<SDL_Joystick*>(m_Joystick));
    m_Creator->Release();
}

DWORD DInputDevice::AddRef()
{
    return ++m_Refs;
}

DWORD DInputDevice::Release()
{
    DWORD left = --m_Refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DInputDevice::SetDataFormat(const DIDATAFORMAT* format)
{
    if (m_Acquired)
        return DIERR_ACQUIRED;
    const DIDATAFORMAT* own = m_Kind == Kind::Keyboard ? &c_dfDIKeyboard
                              : m_Kind == Kind::Mouse  ? &c_dfDIMouse2
                                                       : &c_dfDIJoystick2;
    if (format != own)
        return DIERR_INVALIDPARAM;
    m_Format = format;
    return DI_OK;
}

HRESULT DInputDevice::SetCooperativeLevel(HWND, DWORD flags)
{
    if (m_Acquired)
        return DIERR_ACQUIRED;
    bool exclusive = (flags & DISCL_EXCLUSIVE) != 0;
    bool shared = (flags & DISCL_NONEXCLUSIVE) != 0;
    bool foreground = (flags & DISCL_FOREGROUND) != 0;
    bool background = (flags & DISCL_BACKGROUND) != 0;
    if (exclusive == shared || foreground == background)
        return DIERR_INVALIDPARAM;
    // An exclusive keyboard in the background would take the keyboard from every other program.
    if (m_Kind == Kind::Keyboard && exclusive && background)
        return DIERR_INVALIDPARAM;
    m_Flags = flags;
    return DI_OK;
}

HRESULT DInputDevice::SetProperty(uintptr_t property, const DIPROPHEADER* header)
{
    if (header == nullptr || header->dwHeaderSize != sizeof(DIPROPHEADER))
        return DIERR_INVALIDPARAM;
    if (property != DIPROP_BUFFERSIZE)
        return DIERR_INVALIDPARAM;
    if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE || header->dwObj != 0)
        return DIERR_INVALIDPARAM;
    if (m_Acquired)
        return DIERR_ACQUIRED;
    // Kept for callers that set it; every device here is read by state, never through a buffer.
    m_BufferSize = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
    return DI_OK;
}

bool DInputDevice::JoystickAttached() const
{
    return m_Joystick != nullptr && SDL_JoystickGetAttached(static_cast<SDL_Joystick*>(m_Joystick));
}

HRESULT DInputDevice::Acquire()
{
    if (m_Format == nullptr)
        return DIERR_INVALIDPARAM;
    if (m_Acquired)
        return DI_NOEFFECT;
    InputState& state = g_InputState();
    if (Foreground() && !state.foreground)
        return DIERR_OTHERAPPHASPRIO;
    if (m_Kind == Kind::Joystick && !JoystickAttached())
        return DIERR_INPUTLOST;
    m_Acquired = true;
    m_FocusLosses = state.focusLosses;
    std::copy(state.motion, state.motion + 3, m_MotionRead);
    // An exclusive mouse belongs to the program: no cursor, motion without bounds.
    if (m_Kind == Kind::Mouse && (m_Flags & DISCL_EXCLUSIVE) != 0 && SDL_WasInit(SDL_INIT_VIDEO) != 0)
        m_RelativeMouse = SDL_SetRelativeMouseMode(SDL_TRUE) == 0;
    return DI_OK;
}

HRESULT DInputDevice::Unacquire()
{
    if (!m_Acquired)
        return DI_NOEFFECT;
    m_Acquired = false;
    if (m_RelativeMouse)
    {
        SDL_SetRelativeMouseMode(SDL_FALSE);
        m_RelativeMouse = false;
    }
    return DI_OK;
}

void DInputDevice::FillJoystick(DIJOYSTATE2& out) const
{
    SDL_Joystick* joystick = static_cast<SDL_Joystick*>(m_Joystick);
    std::memset(&out, 0, sizeof(out));
    // SDL's axes in order fill X, Y, Z, Rx, Ry, Rz and the two sliders; axes the controller lacks
    // rest at the centre so that readers see no deflection.
    LONG* axes[8] = {&out.lX, &out.lY, &out.lZ, &out.lRx, &out.lRy, &out.lRz, &out.rglSlider[0], &out.rglSlider[1]};
    int axisCount = std::min(SDL_JoystickNumAxes(joystick), 8);
    for (int i = 0; i < 8; ++i)
        *axes[i] = i < axisCount ? DIJoyAxisFromSdl(SDL_JoystickGetAxis(joystick, i)) : DIJOY_AXIS_CENTRE;
    int hatCount = std::min(SDL_JoystickNumHats(joystick), 4);
    for (int i = 0; i < 4; ++i)
        out.rgdwPOV[i] = i < hatCount ? DIJoyPovFromSdlHat(SDL_JoystickGetHat(joystick, i)) : DIPOV_CENTERED;
    int buttonCount = std::min(SDL_JoystickNumButtons(joystick), 128);
    for (int i = 0; i < buttonCount; ++i)
        out.rgbButtons[i] = SDL_JoystickGetButton(joystick, i) != 0 ? 0x80 : 0;
}

HRESULT DInputDevice::GetDeviceState(DWORD size, void* out)
{
    if (out == nullptr || m_Format == nullptr || size != m_Format->dwSize)
        return DIERR_INVALIDPARAM;
    if (!m_Acquired)
        return DIERR_NOTACQUIRED;
    InputState& state = g_InputState();
    if (m_Kind == Kind::Joystick)
        SDL_JoystickUpdate();
    bool lost =
        (Foreground() && m_FocusLosses != state.focusLosses) || (m_Kind == Kind::Joystick && !JoystickAttached());
    if (lost)
    {
        Unacquire();
        return DIERR_INPUTLOST;
    }
    switch (m_Kind)
    {
    case Kind::Keyboard: std::memcpy(out, state.keys, sizeof(state.keys)); break;
    case Kind::Mouse:
    {
        DIMOUSESTATE2 mouse = {};
        LONG* motion[3] = {&mouse.lX, &mouse.lY, &mouse.lZ};
        for (int i = 0; i < 3; ++i)
        {
            int64_t delta = state.motion[i] - m_MotionRead[i];
            *motion[i] = static_cast<LONG>(std::clamp<int64_t>(delta, INT32_MIN, INT32_MAX));
            m_MotionRead[i] = state.motion[i];
        }
        std::memcpy(mouse.rgbButtons, state.buttons, sizeof(mouse.rgbButtons));
        std::memcpy(out, &mouse, sizeof(mouse));
        break;
    }
    case Kind::Joystick: FillJoystick(*static_cast<DIJOYSTATE2*>(out)); break;
    }
    return DI_OK;
}
