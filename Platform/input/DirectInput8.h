#pragma once
// The input layer's root object: creates devices and lists the attached ones.
#include "Platform/input/DInput.h"

class DirectInput8 final : public IDirectInput8A
{
public:
    DirectInput8();

    DWORD AddRef() override;
    DWORD Release() override;
    HRESULT CreateDevice(const GUID& guid, IDirectInputDevice8A** device, void* outer) override;
    HRESULT EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, void* ref, DWORD flags) override;

    // Game controllers are named by SDL's instance id, which stays unique while the process runs.
    static GUID JoystickInstanceGuid(int32_t instanceId);

private:
    ~DirectInput8() override;

    DWORD m_Refs = 1;
    bool m_Joysticks = false;  // SDL's joystick subsystem was started for this object
};
