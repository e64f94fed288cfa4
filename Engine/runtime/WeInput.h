#pragma once

#include "Platform/input/DInput.h"

#include <cstdint>

// The one input device: keyboard, mouse and, when asked, the first attached game controller, read
// whole once per engine tick. It derives this frame's down states and one-frame edges (keys on
// press, buttons on release), and forwards key, mouse-move and mouse-button changes to the UI
// through the engine's device seam. Game code reads the fields directly and takes edges through the
// consume operations, so that a phase that handled a key hides it from the phases below.
class WeInput
{
public:
    // Indices into the down, previous and edge arrays.
    static constexpr int32_t KeyCount = 256;
    static constexpr int32_t MouseButtonCount = 8;
    static constexpr int32_t JoystickButtonCount = 128;
    static constexpr int32_t MouseButtonBase = KeyCount;
    static constexpr int32_t JoystickButtonBase = KeyCount + MouseButtonCount;
    static constexpr int32_t StateCount = KeyCount + MouseButtonCount + JoystickButtonCount;
    static constexpr int32_t AxisCentre = 0x7FFF;

    // How the DirectInput root is made: DirectInput8Create, unless a test scripts another.
    using DirectInputCreator = HRESULT (*)(HINSTANCE instance, DWORD version, const GUID& iid, void** out, void* outer);

    WeInput();
    virtual ~WeInput();
    // Cooperative level of the mouse, keyboard or joystick on the engine's main window: exclusive and
    // foreground (true) or non-exclusive and foreground (false). Refused by the device while it is
    // acquired. An exclusive mouse is unbounded (relative motion).
    virtual void SetMouseExclusive(bool exclusive);
    virtual void SetKeyboardExclusive(bool exclusive);
    // Acquire (true) or unacquire (false).
    virtual void AcquireMouse(bool acquire);
    virtual void AcquireKeyboard(bool acquire);
    virtual void AcquireJoystick(bool acquire);
    virtual void SetJoystickExclusive(bool exclusive);

    // Opens the devices; false with the engine's error text set, and nothing of this object left
    // open. A second call after success returns true; after Shutdown it starts afresh.
    bool Init(bool useJoystick);
    // Start of every engine tick: previous = down, then down, edges (and their count), motion, axes
    // and modifiers cleared.
    void ClearFrame();
    // Reads the devices and posts the UI events; only on ticks where the engine found them usable.
    void Poll();
    // True, and the edge cleared, when the edge is set this frame; false for any index out of range.
    bool ConsumeKey(int32_t code);
    bool ConsumeMouseButton(int32_t button);
    bool ConsumeJoystickButton(int32_t button);
    // Marks lost devices and acquires them again; a device acquired again is read afresh, so that
    // the result it leaves is that of a read made now. True when every present device's result is now
    // DI_OK.
    bool HandleLostDevices(HRESULT& keyboard, HRESULT& mouse, HRESULT& joystick);
    void Shutdown();

    bool IsKeyDown(int32_t code) const { return code >= 0 && code < KeyCount && m_Down[code] != 0; }
    bool IsMouseButtonDown(int32_t button) const
    {
        return button >= 0 && button < MouseButtonCount && m_Down[MouseButtonBase + button] != 0;
    }
    bool IsJoystickButtonDown(int32_t button) const
    {
        return button >= 0 && button < JoystickButtonCount && m_Down[JoystickButtonBase + button] != 0;
    }

    IDirectInputDevice8A* m_Keyboard = nullptr;
    IDirectInputDevice8A* m_Mouse = nullptr;
    IDirectInputDevice8A* m_Joystick = nullptr;  // null when there is none or none was asked for
    IDirectInput8A* m_DirectInput = nullptr;
    uint8_t m_Initialised = 0;
    // "game.Input.KeyRepeatDelay" and "game.Input.KeyRepeatSpeed" (see the constructor).
    float& m_KeyRepeatDelay;
    float& m_KeyRepeatSpeed;
    DIMOUSESTATE2 m_MouseState = {};
    DIJOYSTATE2 m_JoystickState = {};
    uint8_t m_KeyboardLost = 0;
    uint8_t m_MouseLost = 0;
    uint8_t m_JoystickLost = 0;
    int32_t m_PendingEdges = 0;  // edges set this frame and not yet consumed
    uint8_t m_RawKeys[KeyCount] = {};
    uint8_t m_Down[StateCount] = {};      // held this frame
    uint8_t m_Previous[StateCount] = {};  // held the frame before
    uint8_t m_Edges[StateCount] = {};     // keys: went down this frame; buttons: went up this frame
    int32_t m_MouseMotion[3] = {};        // x, y, wheel (120 a notch)
    int32_t m_JoystickAxes[3] = {AxisCentre, AxisCentre, AxisCentre};
    uint8_t m_Alt = 0;
    uint8_t m_Ctrl = 0;
    uint8_t m_Shift = 0;
    // Keys and mouse buttons the UI was last told are down, so that it hears of every release, also
    // of one that happened while nothing was polled.
    uint8_t m_PostedDown[KeyCount + MouseButtonCount] = {};

    DirectInputCreator m_Creator;

    WeInput(const WeInput&) = delete;
    WeInput& operator=(const WeInput&) = delete;

private:
    bool Consume(int32_t index);
    void ResetState();
    // Unacquires and releases whatever is open.
    void ReleaseDevices();
};

extern WeInput g_Input;
