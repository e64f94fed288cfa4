#include "Platform/input/DInput.h"
#include "Platform/input/InputFeed.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode)
{
    SDL_Event e = {};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    return e;
}

SDL_Event WindowEvent(Uint8 what)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button)
{
    SDL_Event e = {};
    e.type = type;
    e.button.button = button;
    return e;
}

SDL_Event MotionEvent(int dx, int dy)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    return e;
}

SDL_Event WheelEvent(int notches, Uint32 direction)
{
    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    e.wheel.direction = direction;
    return e;
}

class DInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InputFeedReset();
        void* out = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &out, nullptr), DI_OK);
        m_Input = static_cast<IDirectInput8A*>(out);
    }
    void TearDown() override
    {
        if (m_Input != nullptr)
            m_Input->Release();
    }

    IDirectInputDevice8A* Open(const GUID& guid, const DIDATAFORMAT& format, DWORD flags)
    {
        IDirectInputDevice8A* device = nullptr;
        EXPECT_EQ(m_Input->CreateDevice(guid, &device, nullptr), DI_OK);
        if (device == nullptr)
            return nullptr;
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(nullptr, flags), DI_OK);
        EXPECT_EQ(device->Acquire(), DI_OK);
        return device;
    }

    IDirectInput8A* m_Input = nullptr;
};
}  // namespace

TEST_F(DInputTest, CreationChecksVersionInterfaceAndGuid)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &out, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, GUID_SysMouse, &out, nullptr), DIERR_INVALIDPARAM);

    IDirectInputDevice8A* device = reinterpret_cast<IDirectInputDevice8A*>(1);
    GUID unknown = {1, 2, 3, {4}};
    EXPECT_EQ(m_Input->CreateDevice(unknown, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);
}

TEST_F(DInputTest, DeviceRulesBeforeAcquiring)
{
    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(m_Input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY), DI_OK);

    DIPROPDWORD buffer = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 16};
    EXPECT_EQ(keyboard->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph), DI_OK);
    EXPECT_EQ(keyboard->SetProperty(99, &buffer.diph), DIERR_INVALIDPARAM);

    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    keyboard->Release();
}

TEST_F(DInputTest, KeyboardStateFollowsFedKeys)
{
    IDirectInputDevice8A* keyboard = Open(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(keyboard, nullptr);
    InputFeedEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_W));
    InputFeedEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RCTRL));
    InputFeedEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN));
    BYTE keys[256];
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(keys[code], code == DIK_W || code == DIK_RCONTROL ? 0x80 : 0) << code;

    InputFeedEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_W));
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0);
    EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
    keyboard->Release();
}

TEST_F(DInputTest, MouseButtonsKeepTheirNumberingAndWheelCounts120PerNotch)
{
    IDirectInputDevice8A* mouse = Open(GUID_SysMouse, c_dfDIMouse2, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(mouse, nullptr);
    struct Case
    {
        Uint8 sdlButton;
        int index;
    };
    const Case cases[] = {
        {SDL_BUTTON_LEFT, 0}, {SDL_BUTTON_RIGHT, 1}, {SDL_BUTTON_MIDDLE, 2}, {SDL_BUTTON_X1, 3}, {SDL_BUTTON_X2, 4}};
    DIMOUSESTATE2 state;
    for (const Case& c : cases)
    {
        InputFeedEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, c.sdlButton));
        ASSERT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(state.rgbButtons[i], i == c.index ? 0x80 : 0) << int(c.sdlButton) << " " << i;
        InputFeedEvent(ButtonEvent(SDL_MOUSEBUTTONUP, c.sdlButton));
    }

    InputFeedEvent(MotionEvent(5, -3));
    InputFeedEvent(MotionEvent(2, 10));
    InputFeedEvent(WheelEvent(2, SDL_MOUSEWHEEL_NORMAL));
    InputFeedEvent(WheelEvent(1, SDL_MOUSEWHEEL_FLIPPED));
    ASSERT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, 7);
    EXPECT_EQ(state.lZ, 120);
    for (BYTE b : state.rgbButtons)
        EXPECT_EQ(b, 0);

    // Motion is what happened since the last read.
    ASSERT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
    InputFeedEvent(WheelEvent(-3, SDL_MOUSEWHEEL_NORMAL));
    ASSERT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lZ, -360);
    mouse->Release();
}

TEST_F(DInputTest, MotionBeforeAcquiringIsNotReported)
{
    IDirectInputDevice8A* mouse = nullptr;
    ASSERT_EQ(m_Input->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse2), DI_OK);
    InputFeedEvent(MotionEvent(40, 40));
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    InputFeedEvent(MotionEvent(1, 2));
    DIMOUSESTATE2 state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 1);
    EXPECT_EQ(state.lY, 2);
    mouse->Release();
}

TEST_F(DInputTest, ForegroundDeviceIsLostWithTheFocusAndReacquiredAfterwards)
{
    IDirectInputDevice8A* keyboard = Open(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    IDirectInputDevice8A* background = Open(GUID_SysMouse, c_dfDIMouse2, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(background, nullptr);
    InputFeedEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A));
    InputFeedEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));

    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_INPUTLOST);
    // Lost means unacquired: the next read says so, and acquiring fails while in the background.
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
    DIMOUSESTATE2 mouse;
    EXPECT_EQ(background->GetDeviceState(sizeof(mouse), &mouse), DI_OK);

    InputFeedEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    ASSERT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    EXPECT_EQ(keys[DIK_A], 0);  // released when the focus went
    keyboard->Release();
    background->Release();
}

TEST_F(DInputTest, EnumeratesKeyboardAndMouseByClass)
{
    struct Seen
    {
        std::vector<DWORD> types;
    } seen;
    auto collect = [](const DIDEVICEINSTANCEA* instance, void* ref) -> BOOL
    {
        static_cast<Seen*>(ref)->types.push_back(instance->dwDevType & 0xFF);
        return DIENUM_CONTINUE;
    };
    EXPECT_EQ(m_Input->EnumDevices(DI8DEVCLASS_KEYBOARD, collect, &seen, DIEDFL_ATTACHEDONLY), DI_OK);
    EXPECT_EQ(m_Input->EnumDevices(DI8DEVCLASS_POINTER, collect, &seen, DIEDFL_ATTACHEDONLY), DI_OK);
    ASSERT_EQ(seen.types.size(), 2u);
    EXPECT_EQ(seen.types[0], DI8DEVTYPE_KEYBOARD);
    EXPECT_EQ(seen.types[1], DI8DEVTYPE_MOUSE);
    EXPECT_EQ(m_Input->EnumDevices(77, collect, &seen, 0), DIERR_INVALIDPARAM);
}

TEST(DInputJoystickMapping, AxesSpanTheDeviceRangeAroundTheCentre)
{
    EXPECT_EQ(DIJoyAxisFromSdl(0), 0x7FFF);
    EXPECT_EQ(DIJoyAxisFromSdl(-32768), 0);
    EXPECT_EQ(DIJoyAxisFromSdl(32767), 65535);
    EXPECT_EQ(DIJoyAxisFromSdl(1), 32768);
    EXPECT_EQ(DIJoyAxisFromSdl(-1), 32766);
    EXPECT_LT(DIJoyAxisFromSdl(-16384), 0x7FFF);
    EXPECT_GT(DIJoyAxisFromSdl(16384), 0x7FFF);
}

TEST(DInputJoystickMapping, HatsGivePovInHundredthsOfADegree)
{
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_CENTERED), DIPOV_CENTERED);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_UP), 0u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_RIGHTUP), 4500u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_RIGHT), 9000u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_DOWN), 18000u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_LEFT), 27000u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_LEFTUP), 31500u);
    EXPECT_EQ(DIJoyPovFromSdlHat(SDL_HAT_UP | SDL_HAT_DOWN), DIPOV_CENTERED);
}

TEST_F(DInputTest, VirtualControllerIsEnumeratedAndRead)
{
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 20, 1);
    if (index < 0)
        GTEST_SKIP() << "no virtual joystick: " << SDL_GetError();
    SDL_Joystick* control = SDL_JoystickOpen(index);
    ASSERT_NE(control, nullptr);

    struct Found
    {
        int count = 0;
        GUID guid = {};
        DWORD type = 0;
    } found;
    auto first = [](const DIDEVICEINSTANCEA* instance, void* ref) -> BOOL
    {
        Found* f = static_cast<Found*>(ref);
        ++f->count;
        f->guid = instance->guidInstance;
        f->type = instance->dwDevType & 0xFF;
        return DIENUM_STOP;
    };
    ASSERT_EQ(m_Input->EnumDevices(DI8DEVCLASS_GAMECTRL, first, &found, DIEDFL_ATTACHEDONLY), DI_OK);
    ASSERT_EQ(found.count, 1);
    EXPECT_EQ(found.type, DI8DEVTYPE_GAMEPAD);

    IDirectInputDevice8A* pad = Open(found.guid, c_dfDIJoystick2, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(pad, nullptr);
    SDL_JoystickSetVirtualAxis(control, 0, -32768);
    SDL_JoystickSetVirtualAxis(control, 1, 32767);
    SDL_JoystickSetVirtualButton(control, 0, 1);
    SDL_JoystickSetVirtualButton(control, 19, 1);
    SDL_JoystickSetVirtualHat(control, 0, SDL_HAT_RIGHT);
    DIJOYSTATE2 state;
    ASSERT_EQ(pad->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 65535);
    EXPECT_EQ(state.lZ, 0x7FFF);  // the pad has no third axis
    EXPECT_EQ(state.rgdwPOV[0], 9000u);
    EXPECT_EQ(state.rgdwPOV[1], DIPOV_CENTERED);
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(state.rgbButtons[i], i == 0 || i == 19 ? 0x80 : 0) << i;

    // The device keeps working after the root object was released first.
    m_Input->Release();
    m_Input = nullptr;
    ASSERT_EQ(pad->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.lX, 0);

    // Unplugged: lost once, then it cannot be acquired again.
    SDL_JoystickClose(control);
    SDL_JoystickDetachVirtual(index);
    EXPECT_EQ(pad->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
    EXPECT_EQ(pad->Acquire(), DIERR_INPUTLOST);
    pad->Release();
}
