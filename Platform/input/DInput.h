#pragma once
// The input layer: devices with the shape of DirectInput 8 (keyboard, mouse with 8 buttons, the first
// attached game controller) over SDL2. Every number below (result codes, flags, record layouts) is the
// one the engine was written against. Keyboard and mouse read what the window layer's message pump feeds
// in (InputFeed.h); the game controller is read from SDL's joystick API.
#include "Platform/input/DIKeyCodes.h"

#include <cstddef>
#include <cstdint>

#include "Platform/system/WinTypes.h"

struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}

// Result codes.
constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;  // S_FALSE: already acquired / already unacquired
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AA);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047E);
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005);

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// Cooperative levels.
constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;
constexpr DWORD DISCL_NOWINKEY = 0x10;

// Device enumeration.
constexpr DWORD DI8DEVCLASS_ALL = 0;
constexpr DWORD DI8DEVCLASS_DEVICE = 1;
constexpr DWORD DI8DEVCLASS_POINTER = 2;
constexpr DWORD DI8DEVCLASS_KEYBOARD = 3;
constexpr DWORD DI8DEVCLASS_GAMECTRL = 4;
constexpr DWORD DI8DEVTYPE_MOUSE = 0x12;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;
constexpr DWORD DI8DEVTYPE_JOYSTICK = 0x14;
constexpr DWORD DI8DEVTYPE_GAMEPAD = 0x15;
constexpr DWORD DIEDFL_ALLDEVICES = 0x00;
constexpr DWORD DIEDFL_ATTACHEDONLY = 0x01;
constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;

// Properties (DIPROP_BUFFERSIZE is property 1) and their header.
constexpr uintptr_t DIPROP_BUFFERSIZE = 1;
constexpr DWORD DIPH_DEVICE = 0;
struct DIPROPHEADER
{
    DWORD dwSize;
    DWORD dwHeaderSize;
    DWORD dwObj;
    DWORD dwHow;
};
struct DIPROPDWORD
{
    DIPROPHEADER diph;
    DWORD dwData;
};

// POV value of a centred hat; positions are hundredths of a degree clockwise from north.
constexpr DWORD DIPOV_CENTERED = 0xFFFFFFFFu;

struct DIMOUSESTATE2
{
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[8];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

// Mouse button indices of DIMOUSESTATE2::rgbButtons.
constexpr int DIMOFS_BUTTON_LEFT = 0;
constexpr int DIMOFS_BUTTON_RIGHT = 1;
constexpr int DIMOFS_BUTTON_MIDDLE = 2;
constexpr int DIMOFS_BUTTON_X1 = 3;
constexpr int DIMOFS_BUTTON_X2 = 4;
// Wheel motion per notch in lZ (positive: away from the user).
constexpr LONG WHEEL_DELTA = 120;

struct DIJOYSTATE2
{
    LONG lX, lY, lZ;
    LONG lRx, lRy, lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX, lVY, lVZ;
    LONG lVRx, lVRy, lVRz;
    LONG rglVSlider[2];
    LONG lAX, lAY, lAZ;
    LONG lARx, lARy, lARz;
    LONG rglASlider[2];
    LONG lFX, lFY, lFZ;
    LONG lFRx, lFRy, lFRz;
    LONG rglFSlider[2];
};
static_assert(sizeof(DIJOYSTATE2) == 272);
// Axes report 0..65535 with the centre at 32767.
constexpr LONG DIJOY_AXIS_MIN = 0;
constexpr LONG DIJOY_AXIS_CENTRE = 0x7FFF;
constexpr LONG DIJOY_AXIS_MAX = 0xFFFF;

// The predefined data formats. Only these three exist; a device takes the one of its kind.
struct DIDATAFORMAT
{
    DWORD dwSize;      // size of the state record GetDeviceState fills
    DWORD dwDevClass;  // DI8DEVCLASS_KEYBOARD, _POINTER or _GAMECTRL
};
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse2;
extern const DIDATAFORMAT c_dfDIJoystick2;

extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID IID_IDirectInput8A;

struct DIDEVICEINSTANCEA
{
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;  // type in the low byte
    char tszInstanceName[260];
    char tszProductName[260];
};
typedef BOOL (*LPDIENUMDEVICESCALLBACKA)(const DIDEVICEINSTANCEA* instance, void* ref);

class IDirectInputDevice8A
{
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    // Only the predefined format of the device's own kind is accepted; not while acquired.
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    // Exactly one of exclusive / non-exclusive and one of foreground / background; not while acquired.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetProperty(uintptr_t property, const DIPROPHEADER* header) = 0;
    // DI_OK, DI_NOEFFECT when already acquired, DIERR_INVALIDPARAM without a data format,
    // DIERR_OTHERAPPHASPRIO for a foreground device while the window is in the background.
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // DIERR_NOTACQUIRED when not acquired; DIERR_INPUTLOST once after a foreground device lost the focus
    // or the controller was unplugged (the device is then unacquired). size must be the format's size.
    virtual HRESULT GetDeviceState(DWORD size, void* state) = 0;

protected:
    virtual ~IDirectInputDevice8A() = default;
};

class IDirectInput8A
{
public:
    virtual DWORD AddRef() = 0;
    virtual DWORD Release() = 0;
    // GUID_SysKeyboard, GUID_SysMouse or a game controller's guidInstance from EnumDevices.
    virtual HRESULT CreateDevice(const GUID& guid, IDirectInputDevice8A** device, void* outer) = 0;
    // Keyboard, mouse and game-controller classes (or all); every device here is attached.
    virtual HRESULT EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, void* ref, DWORD flags) = 0;

protected:
    virtual ~IDirectInput8A() = default;
};

typedef IDirectInput8A IDirectInput8;
typedef IDirectInputDevice8A IDirectInputDevice8;
typedef IDirectInput8A* LPDIRECTINPUT8;
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8;

// version must be DIRECTINPUT_VERSION and iid IID_IDirectInput8A.
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, const GUID& iid, void** out, void* outer);

// Maps a joystick axis value of SDL (-32768..32767) to the device range (0..65535, centre 32767).
LONG DIJoyAxisFromSdl(int16_t value);
// Maps an SDL hat bit set (SDL_HAT_UP 1, RIGHT 2, DOWN 4, LEFT 8) to a POV value.
DWORD DIJoyPovFromSdlHat(uint8_t hat);
