#pragma once
#include <cstdint>

#include "Platform/math/D3DXVECTOR3.h"

// One frame's wishes of one driver: the action flags, the two look values and the angular velocity an AI
// agent may impose. The player's message is cleared every game tick, gets the mouse and joystick movement in
// the tick and its flags from the bindings in the race; every craft holds one of its own. A flag is on when it
// is not zero: the bindings store the device's down byte as it is.
class CInputMessage
{
public:
    CInputMessage() = default;
    CInputMessage(const CInputMessage& other) = default;
    virtual ~CInputMessage() = default;
    // Copies the thirteen flags and the six values.
    CInputMessage& operator=(const CInputMessage& other) = default;

    // Every flag and value zero.
    void Clear();
    // Adds this tick's mouse and joystick movement of the input device, scaled by the options'
    // sensitivities, to the look values (after Clear, from the game tick).
    void AddAnalogInput();
    // The joystick axis position (0 to 65535, centre 32767) beyond the dead zone (a fraction below 1)
    // mapped onto -70 to +70.
    static int32_t ScaleJoystickAxis(int32_t position, float deadZone);

    uint8_t m_Forward = 0;
    uint8_t m_Backward = 0;
    uint8_t m_RotateLeft = 0;
    uint8_t m_RotateRight = 0;
    uint8_t m_FireWeapon = 0;
    uint8_t m_FireMine = 0;
    uint8_t m_Turbo = 0;
    uint8_t m_LookLeft = 0;
    uint8_t m_LookRight = 0;
    uint8_t m_LookUp = 0;
    uint8_t m_LookDown = 0;
    uint8_t m_ChangeCamera = 0;
    uint8_t m_ReverseCamera = 0;
    int32_t m_LookX = 0;  // horizontal movement accumulated this tick
    int32_t m_LookY = 0;  // vertical movement accumulated this tick
    // Set only by an AI agent: the movement step then takes this angular velocity instead of computing one.
    bool m_Override = false;
    D3DXVECTOR3 m_OverrideAngularVelocity;
};

// The local player's message, for the whole process.
extern CInputMessage g_PlayerInputMessage;
