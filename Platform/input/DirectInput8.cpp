#include "Platform/input/DirectInput8.h"

#include "Platform/input/DInputDevice.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};

namespace
{
// Data2/Data3 mark a controller instance; Data1 holds SDL's instance id.
constexpr uint16_t JoystickMark2 = 0x574A;
constexpr uint16_t JoystickMark3 = 0x4453;

bool IsJoystickGuid(const GUID& guid)
{
    return guid.Data2 == JoystickMark2 && guid.Data3 == JoystickMark3;
}

void CopyName(char (&to)[260], const char* from)
{
    std::snprintf(to, sizeof(to), "%s", from != nullptr ? from : "");
}

BOOL Offer(LPDIENUMDEVICESCALLBACKA callback, void* ref, const GUID& guid, DWORD type, const char* name)
{
    DIDEVICEINSTANCEA instance = {};
    instance.dwSize = sizeof(instance);
    instance.guidInstance = guid;
    instance.guidProduct = guid;
    instance.dwDevType = type;
    CopyName(instance.tszInstanceName, name);
    CopyName(instance.tszProductName, name);
    return callback(&instance, ref);
}
}  // namespace

HRESULT DirectInput8Create(HINSTANCE, DWORD version, const GUID& iid, void** out, void* outer)
{
    if (out == nullptr)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer != nullptr || !(iid == IID_IDirectInput8A))
        return DIERR_INVALIDPARAM;
    if (version != DIRECTINPUT_VERSION)
        return DIERR_OLDDIRECTINPUTVERSION;
    *out = static_cast<IDirectInput8A*>(new DirectInput8());
    return DI_OK;
}

DirectInput8::DirectInput8()
{
    // The devices apply the foreground rule themselves, from the focus events the pump feeds. SDL's
    // own rule would drop every controller change while SDL sees no keyboard focus, which is always
    // so under the offscreen driver and may be so on a display without a window manager.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // No controller support is no failure: keyboard and mouse work without it.
    m_Joysticks = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

DirectInput8::~DirectInput8()
{
    if (m_Joysticks)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

DWORD DirectInput8::AddRef()
{
    return ++m_Refs;
}

DWORD DirectInput8::Release()
{
    DWORD left = --m_Refs;
    if (left == 0)
        delete this;
    return left;
}

GUID DirectInput8::JoystickInstanceGuid(int32_t instanceId)
{
    GUID guid = {static_cast<uint32_t>(instanceId), JoystickMark2, JoystickMark3, {}};
    return guid;
}

HRESULT DirectInput8::CreateDevice(const GUID& guid, IDirectInputDevice8A** device, void* outer)
{
    if (device == nullptr)
        return DIERR_INVALIDPARAM;
    *device = nullptr;
    if (outer != nullptr)
        return DIERR_INVALIDPARAM;
    if (guid == GUID_SysKeyboard)
    {
        *device = new DInputDevice(DInputDevice::Kind::Keyboard, nullptr, this);
        return DI_OK;
    }
    if (guid == GUID_SysMouse)
    {
        *device = new DInputDevice(DInputDevice::Kind::Mouse, nullptr, this);
        return DI_OK;
    }
    if (!m_Joysticks || !IsJoystickGuid(guid))
        return DIERR_DEVICENOTREG;
    int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
    {
        if (static_cast<uint32_t>(SDL_JoystickGetDeviceInstanceID(index)) != guid.Data1)
            continue;
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr)
            return DIERR_DEVICENOTREG;
        *device = new DInputDevice(DInputDevice::Kind::Joystick, joystick, this);
        return DI_OK;
    }
    return DIERR_DEVICENOTREG;
}

HRESULT DirectInput8::EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, void* ref, DWORD)
{
    if (callback == nullptr)
        return DIERR_INVALIDPARAM;
    if (devClass != DI8DEVCLASS_ALL && devClass != DI8DEVCLASS_POINTER && devClass != DI8DEVCLASS_KEYBOARD &&
        devClass != DI8DEVCLASS_GAMECTRL && devClass != DI8DEVCLASS_DEVICE)
        return DIERR_INVALIDPARAM;
    bool all = devClass == DI8DEVCLASS_ALL;
    if ((all || devClass == DI8DEVCLASS_POINTER) &&
        Offer(callback, ref, GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse") == DIENUM_STOP)
        return DI_OK;
    if ((all || devClass == DI8DEVCLASS_KEYBOARD) &&
        Offer(callback, ref, GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard") == DIENUM_STOP)
        return DI_OK;
    if ((all || devClass == DI8DEVCLASS_GAMECTRL) && m_Joysticks)
    {
        int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index)
        {
            SDL_JoystickType type = SDL_JoystickGetDeviceType(index);
            DWORD devType = type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? DI8DEVTYPE_GAMEPAD : DI8DEVTYPE_JOYSTICK;
            GUID guid = JoystickInstanceGuid(SDL_JoystickGetDeviceInstanceID(index));
            if (Offer(callback, ref, guid, devType, SDL_JoystickNameForIndex(index)) == DIENUM_STOP)
                break;
        }
    }
    return DI_OK;
}
