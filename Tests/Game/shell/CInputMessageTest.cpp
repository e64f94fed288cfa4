#include "Game/shell/CInputMessage.h"
#include "Engine/runtime/WeInput.h"
#include "Game/shell/COptionsSettings.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
// The input device's motion and axes as one tick leaves them, and the options put back afterwards.
class CInputMessageAnalog : public ::testing::Test
{
protected:
    void SetUp() override { m_Saved = g_OptionsSettings; }
    void TearDown() override
    {
        g_OptionsSettings.m_Bindings = m_Saved.m_Bindings;
        g_OptionsSettings.m_MouseSensitivity = m_Saved.m_MouseSensitivity;
        g_OptionsSettings.m_JoystickSensitivity = m_Saved.m_JoystickSensitivity;
        g_OptionsSettings.m_JoystickDeadZone = m_Saved.m_JoystickDeadZone;
        g_Input.m_MouseMotion[0] = g_Input.m_MouseMotion[1] = 0;
        g_Input.m_JoystickAxes[0] = g_Input.m_JoystickAxes[1] = WeInput::AxisCentre;
    }
    static void Motion(int32_t x, int32_t y, int32_t axisX = WeInput::AxisCentre, int32_t axisY = WeInput::AxisCentre)
    {
        g_Input.m_MouseMotion[0] = x;
        g_Input.m_MouseMotion[1] = y;
        g_Input.m_JoystickAxes[0] = axisX;
        g_Input.m_JoystickAxes[1] = axisY;
    }
    COptionsSettings m_Saved;
};
}  // namespace

// The part of the throw beyond the dead zone maps onto -70..70, truncated toward zero; the zone's edge (c =
// int(d x 32767): 0, 8191, 16383) gives 0 on both sides.
TEST(CInputMessageJoystick, DeadZoneTable)
{
    struct Case
    {
        float deadZone;
        int32_t position;
        int32_t expected;
    };
    const Case cases[] = {
        {0.0f, 0, -70},    {0.0f, 32767, 0},  {0.0f, 65535, 70},  {0.0f, 32768, 0},   {0.0f, 1000, -67},
        {0.25f, 0, -70},   {0.25f, 32767, 0}, {0.25f, 65535, 70}, {0.25f, 40958, 0},  {0.25f, 24576, 0},
        {0.25f, 40959, 0}, {0.25f, 41358, 1}, {0.25f, 24176, -1}, {0.25f, 1000, -67}, {0.5f, 0, -70},
        {0.5f, 32767, 0},  {0.5f, 65535, 70}, {0.5f, 49150, 0},   {0.5f, 16384, 0},   {0.5f, 49550, 1},
        {0.5f, 15984, -1}, {0.5f, 1000, -65},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CInputMessage::ScaleJoystickAxis(c.position, c.deadZone), c.expected)
            << "dead zone " << c.deadZone << " at " << c.position;
}

// A dead zone at or above the whole (only a damaged value could get here) never divides by zero.
TEST(CInputMessageJoystick, DeadZoneOfOneOrNaNStaysFinite)
{
    for (float d : {1.0f, 2.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        const int32_t low = CInputMessage::ScaleJoystickAxis(0, d);
        const int32_t high = CInputMessage::ScaleJoystickAxis(65535, d);
        EXPECT_GE(low, -70 * 1000) << d;
        EXPECT_LE(high, 70 * 1000) << d;
    }
}

TEST_F(CInputMessageAnalog, MouseMotionIsScaledAndTruncated)
{
    g_OptionsSettings.m_MouseSensitivity = 0.5f;
    g_OptionsSettings.m_JoystickSensitivity = 1.0f;
    g_OptionsSettings.m_Bindings.invertMouse = 0;
    CInputMessage message;
    Motion(3, -3);
    message.AddAnalogInput();
    EXPECT_EQ(message.m_LookX, 1);
    EXPECT_EQ(message.m_LookY, -1);
    // Added to what the tick already holds.
    message.AddAnalogInput();
    EXPECT_EQ(message.m_LookX, 2);
    EXPECT_EQ(message.m_LookY, -2);
}

TEST_F(CInputMessageAnalog, InvertReversesOnlyTheVerticalValues)
{
    g_OptionsSettings.m_MouseSensitivity = 1.0f;
    g_OptionsSettings.m_JoystickSensitivity = 1.0f;
    g_OptionsSettings.m_JoystickDeadZone = 0.0f;
    g_OptionsSettings.m_Bindings.invertMouse = 1;
    CInputMessage message;
    Motion(5, 7, 65535, 65535);
    message.AddAnalogInput();
    EXPECT_EQ(message.m_LookX, 5 + 70);
    EXPECT_EQ(message.m_LookY, -7 - 70);
}

TEST_F(CInputMessageAnalog, ControllerAtRestAddsNothing)
{
    CInputMessage message;
    Motion(0, 0);
    message.AddAnalogInput();
    EXPECT_EQ(message.m_LookX, 0);
    EXPECT_EQ(message.m_LookY, 0);
}

TEST(CInputMessage, ClearAndCopy)
{
    CInputMessage message;
    EXPECT_EQ(message.m_Forward, 0);
    EXPECT_FALSE(message.m_Override);
    message.m_Forward = 1;
    message.m_ReverseCamera = 0x80;
    message.m_LookX = 12;
    message.m_LookY = -4;
    message.m_Override = true;
    message.m_OverrideAngularVelocity = D3DXVECTOR3(1.0f, 2.0f, 3.0f);

    // A copy carries the override the player's input never sets.
    CInputMessage copy;
    copy = message;
    EXPECT_EQ(copy.m_Forward, 1);
    EXPECT_EQ(copy.m_ReverseCamera, 0x80);
    EXPECT_EQ(copy.m_LookX, 12);
    EXPECT_EQ(copy.m_LookY, -4);
    EXPECT_TRUE(copy.m_Override);
    EXPECT_EQ(copy.m_OverrideAngularVelocity.z, 3.0f);

    message.Clear();
    EXPECT_EQ(message.m_Forward, 0);
    EXPECT_EQ(message.m_ReverseCamera, 0);
    EXPECT_EQ(message.m_LookX, 0);
    EXPECT_FALSE(message.m_Override);
    EXPECT_EQ(message.m_OverrideAngularVelocity.x, 0.0f);
}
