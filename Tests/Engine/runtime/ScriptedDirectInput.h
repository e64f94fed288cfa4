#pragma once
// A DirectInput root whose devices return scripted results and states, for driving WeInput through
// exact sequences (lost, not acquired, a refused acquire, a device that cannot be created). Calls
// that change a device are logged as "<device>.<Call>".
#include "Platform/input/DInput.h"

#include <cstring>
#include <deque>
#include <string>
#include <vector>

class ScriptedDevice : public IDirectInputDevice8A
{
public:
    ScriptedDevice(const char* name, size_t stateSize, std::vector<std::string>& log)
        : state(stateSize, 0), m_Name(name), m_Log(log)
    {
    }
    ~ScriptedDevice() override = default;

    std::vector<uint8_t> state;  // what a successful read returns
    std::deque<HRESULT> reads;   // results of the next reads; DI_OK once empty
    HRESULT formatResult = DI_OK;
    HRESULT levelResult = DI_OK;
    HRESULT acquireResult = DI_OK;
    bool acquired = false;
    DWORD level = 0;
    int readCount = 0;
    int references = 0;

    DWORD AddRef() override { return static_cast<DWORD>(++references); }
    DWORD Release() override
    {
        Log("Release");
        return static_cast<DWORD>(--references);
    }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        Log("Format(" + std::to_string(format != nullptr ? format->dwSize : 0) + ")");
        return formatResult;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD flags) override
    {
        Log("Level(" + std::to_string(flags) + ")");
        level = flags;
        return levelResult;
    }
    HRESULT SetProperty(uintptr_t property, const DIPROPHEADER* header) override
    {
        DWORD value = property == DIPROP_BUFFERSIZE ? reinterpret_cast<const DIPROPDWORD*>(header)->dwData : 0;
        Log("Buffer(" + std::to_string(value) + ")");
        return DI_OK;
    }
    HRESULT Acquire() override
    {
        Log("Acquire");
        if (acquireResult == DI_OK)
            acquired = true;
        return acquireResult;
    }
    HRESULT Unacquire() override
    {
        Log("Unacquire");
        acquired = false;
        return DI_OK;
    }
    // A failed read leaves the caller's buffer as it was, as the real devices do.
    HRESULT GetDeviceState(DWORD size, void* out) override
    {
        ++readCount;
        HRESULT result = DI_OK;
        if (!reads.empty())
        {
            result = reads.front();
            reads.pop_front();
        }
        if (result == DI_OK && size == state.size())
            std::memcpy(out, state.data(), size);
        return result;
    }

private:
    void Log(const std::string& call) { m_Log.push_back(m_Name + "." + call); }

    std::string m_Name;
    std::vector<std::string>& m_Log;
};

class ScriptedDirectInput : public IDirectInput8A
{
public:
    ScriptedDirectInput()
        : keyboard("keyboard", 256, log), mouse("mouse", sizeof(DIMOUSESTATE2), log),
          joystick("joystick", sizeof(DIJOYSTATE2), log)
    {
    }
    ~ScriptedDirectInput() override = default;

    std::vector<std::string> log;
    ScriptedDevice keyboard, mouse, joystick;
    bool keyboardCreates = true;
    bool mouseCreates = true;
    int controllers = 0;          // attached game controllers
    int creatableController = 0;  // the index of the one that can be opened; -1 for none
    int references = 0;

    DWORD AddRef() override { return static_cast<DWORD>(++references); }
    DWORD Release() override
    {
        log.push_back("root.Release");
        return static_cast<DWORD>(--references);
    }
    HRESULT CreateDevice(const GUID& guid, IDirectInputDevice8A** device, void*) override
    {
        *device = nullptr;
        if (guid == GUID_SysKeyboard)
            return Create("keyboard", keyboardCreates, keyboard, device);
        if (guid == GUID_SysMouse)
            return Create("mouse", mouseCreates, mouse, device);
        int index = static_cast<int>(guid.Data1) - 1000;
        return Create(("controller" + std::to_string(index)).c_str(), index == creatableController, joystick, device);
    }
    HRESULT EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, void* ref, DWORD flags) override
    {
        log.push_back("root.Enum(" + std::to_string(devClass) + "," + std::to_string(flags) + ")");
        for (int i = 0; i < controllers; ++i)
        {
            DIDEVICEINSTANCEA instance = {};
            instance.dwSize = sizeof(instance);
            instance.guidInstance.Data1 = static_cast<uint32_t>(1000 + i);
            instance.dwDevType = DI8DEVTYPE_GAMEPAD;
            if (callback(&instance, ref) == DIENUM_STOP)
                break;
        }
        return DI_OK;
    }

private:
    HRESULT Create(const char* name, bool ok, ScriptedDevice& source, IDirectInputDevice8A** device)
    {
        log.push_back(std::string("root.Create(") + name + (ok ? ")" : ") failed"));
        if (!ok)
            return DIERR_DEVICENOTREG;
        source.references = 1;
        *device = &source;
        return DI_OK;
    }
};
