#include "Game/shell/CInputMessage.h"

#include "Engine/runtime/WeInput.h"
#include "Game/shell/COptionsSettings.h"

CInputMessage g_PlayerInputMessage;

void CInputMessage::Clear()
{
    m_Forward = m_Backward = m_RotateLeft = m_RotateRight = 0;
    m_FireWeapon = m_FireMine = m_Turbo = 0;
    m_LookLeft = m_LookRight = m_LookUp = m_LookDown = 0;
    m_ChangeCamera = m_ReverseCamera = 0;
    m_LookX = m_LookY = 0;
    m_Override = false;
    m_OverrideAngularVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

int32_t CInputMessage::ScaleJoystickAxis(int32_t position, float deadZone)
{
    // The options keep the dead zone below 1; a value that slipped past them must not divide by zero.
    if (!(deadZone >= 0.0f))
        deadZone = 0.0f;
    if (deadZone > 0.999f)
        deadZone = 0.999f;
    const int32_t centre = WeInput::AxisCentre;
    const int32_t c = static_cast<int32_t>(deadZone * static_cast<float>(centre));
    const float s = 70.0f / static_cast<float>(centre - c);
    const int32_t o = position - centre;
    if (o > c || o < -c)
        return static_cast<int32_t>(s * static_cast<float>(position < centre ? o + c : o - c));
    return 0;
}

void CInputMessage::AddAnalogInput()
{
    const COptionsSettings& options = g_OptionsSettings;
    const bool invert = options.m_Bindings.invertMouse != 0;
    const float mouse = options.m_MouseSensitivity;
    m_LookX += static_cast<int32_t>(static_cast<float>(g_Input.m_MouseMotion[0]) * mouse);
    const int32_t mouseY = static_cast<int32_t>(static_cast<float>(g_Input.m_MouseMotion[1]) * mouse);
    m_LookY += invert ? -mouseY : mouseY;

    const float joystick = options.m_JoystickSensitivity;
    const int32_t axisX = ScaleJoystickAxis(g_Input.m_JoystickAxes[0], options.m_JoystickDeadZone);
    const int32_t axisY = ScaleJoystickAxis(g_Input.m_JoystickAxes[1], options.m_JoystickDeadZone);
    m_LookX += static_cast<int32_t>(static_cast<float>(axisX) * joystick);
    const int32_t joystickY = static_cast<int32_t>(static_cast<float>(axisY) * joystick);
    m_LookY += invert ? -joystickY : joystickY;
}
