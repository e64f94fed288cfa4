#include "Game/craft/CAgentMotorics.h"

#include "Game/shell/CInputMessage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

TEST(CAgentMotorics, ComputeTurnTurnsTowardEveryTargetButOneStraightAhead)
{
    const D3DXVECTOR3 position(10.0f, 0.0f, 0.0f), forward(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f);
    const float pi = 3.14159265f;
    const struct
    {
        const char* what;
        D3DXVECTOR3 target;
        bool turns;
        float angle;
        D3DXVECTOR3 axis;  // unit axis the turn must lie along
    } cases[] = {
        {"ahead", {10.0f, 0.0f, 50.0f}, false, 0.0f, {}},
        {"nearly ahead", {10.01f, 0.0f, 50.0f}, false, 0.0f, {}},
        {"a little right", {15.0f, 0.0f, 50.0f}, true, std::atan2(5.0f, 50.0f), {0.0f, 1.0f, 0.0f}},
        {"at right angles", {30.0f, 0.0f, 0.0f}, true, pi / 2.0f, {0.0f, 1.0f, 0.0f}},
        {"at right angles left", {-10.0f, 0.0f, 0.0f}, true, pi / 2.0f, {0.0f, -1.0f, 0.0f}},
        {"above", {10.0f, 20.0f, 0.0f}, true, pi / 2.0f, {-1.0f, 0.0f, 0.0f}},
        {"behind at an angle", {12.0f, 0.0f, -50.0f}, true, pi - std::atan2(2.0f, 50.0f), {0.0f, 1.0f, 0.0f}},
        {"straight behind", {10.0f, 0.0f, -50.0f}, true, pi, {0.0f, 1.0f, 0.0f}},
        {"on the craft", {10.0f, 0.0f, 0.0f}, false, 0.0f, {}},
    };
    for (const auto& c : cases)
    {
        D3DXVECTOR3 turn(9.0f, 9.0f, 9.0f);
        const bool turns = CAgentMotorics::ComputeTurn(position, forward, up, c.target, &turn);
        EXPECT_EQ(turns, c.turns) << c.what;
        if (!c.turns)
        {
            EXPECT_EQ(turn, D3DXVECTOR3()) << c.what;
            continue;
        }
        EXPECT_NEAR(Length(turn), c.angle, 1e-3f) << c.what;
        const D3DXVECTOR3 unit = turn / Length(turn);
        EXPECT_NEAR(unit.x * c.axis.x + unit.y * c.axis.y + unit.z * c.axis.z, 1.0f, 1e-4f) << c.what;
    }
}

// Rotating the forward axis by the turn for one unit of time points it at the target: the turn is an
// angular velocity of the right sense and size.
TEST(CAgentMotorics, ApplyingTheTurnPointsTheCraftAtItsTarget)
{
    const D3DXVECTOR3 position, forward(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f);
    for (const D3DXVECTOR3 target : {D3DXVECTOR3(3.0f, 0.0f, 4.0f), D3DXVECTOR3(-3.0f, 1.0f, -4.0f),
                                     D3DXVECTOR3(0.0f, 0.0f, -9.0f), D3DXVECTOR3(0.0f, -2.0f, 0.0f)})
    {
        D3DXVECTOR3 turn;
        ASSERT_TRUE(CAgentMotorics::ComputeTurn(position, forward, up, target, &turn));
        // Rodrigues' rotation of the forward axis about the turn's axis by its length.
        const float angle = Length(turn);
        const D3DXVECTOR3 k = turn / angle;
        const D3DXVECTOR3 kxv(k.y * forward.z - k.z * forward.y, k.z * forward.x - k.x * forward.z,
                              k.x * forward.y - k.y * forward.x);
        const float kv = k.x * forward.x + k.y * forward.y + k.z * forward.z;
        const D3DXVECTOR3 rotated =
            forward * std::cos(angle) + kxv * std::sin(angle) + k * (kv * (1.0f - std::cos(angle)));
        const D3DXVECTOR3 wanted = target / Length(target);
        EXPECT_NEAR(rotated.x, wanted.x, 1e-4f);
        EXPECT_NEAR(rotated.y, wanted.y, 1e-4f);
        EXPECT_NEAR(rotated.z, wanted.z, 1e-4f);
    }
}

TEST(CAgentMotorics, TheBaseDriveScalesTheLookDeltasOnlyWithForwardHeld)
{
    const struct
    {
        float factor;
        bool forward;
        int32_t x, y;
    } cases[] = {
        {2.0f, true, 20, -8}, {2.0f, false, 10, -4}, {0.0f, true, 10, -4}, {-1.0f, true, 10, -4}, {0.5f, true, 5, -2}};
    for (const auto& c : cases)
    {
        CAgentMotorics motorics(nullptr);
        motorics.m_AxisFactor = c.factor;
        CInputMessage message;
        message.m_Forward = c.forward ? 1 : 0;
        message.m_LookX = 10;
        message.m_LookY = -4;
        motorics.Drive(message);
        EXPECT_EQ(message.m_LookX, c.x) << c.factor << " " << c.forward;
        EXPECT_EQ(message.m_LookY, c.y) << c.factor << " " << c.forward;
    }
}

}  // namespace
