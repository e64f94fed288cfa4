#pragma once
// One keyboard, mouse or game-controller device of the input layer.
#include "Platform/input/DInput.h"

class DInputDevice final : public IDirectInputDevice8A
{
public:
    enum class Kind
    {
        Keyboard,
        Mouse,
        Joystick
    };

    // joystick: the opened SDL joystick (owned; closed with the device), null for keyboard and mouse.
    // The device holds a reference on its creator, whose life spans SDL's joystick subsystem.
    DInputDevice(Kind kind, void* joystick, IDirectInput8A* creator);

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetProperty(uintptr_t property, const DIPROPHEADER* header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD size, void* state) override;

    DWORD BufferSize() const { return m_BufferSize; }

private:
    ~DInputDevice() override;
    bool Foreground() const { return (m_Flags & DISCL_FOREGROUND) != 0; }
    bool JoystickAttached() const;
    void FillJoystick(DIJOYSTATE2& state) const;

    Kind m_Kind;
    void* m_Joystick;
    IDirectInput8A* m_Creator;
    DWORD m_Refs = 1;
    const DIDATAFORMAT* m_Format = nullptr;
    DWORD m_Flags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    DWORD m_BufferSize = 0;
    bool m_Acquired = false;
    bool m_RelativeMouse = false;
    uint32_t m_FocusLosses = 0;    // the feed's count when acquired
    int64_t m_MotionRead[3] = {};  // the feed's motion totals at the last read
};
