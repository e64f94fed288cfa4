#include "Game/craft/CAgentMotorics.h"

#include <cmath>

#include "Game/shell/CInputMessage.h"

namespace
{
float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(Dot(v, v));
}
}  // namespace

CAgentMotorics::CAgentMotorics(CAgent* agent) : m_Agent(agent) {}

CAgentMotorics::~CAgentMotorics() = default;

void CAgentMotorics::Drive(CInputMessage& message)
{
    if (!message.m_Forward)
        return;
    const float factor = m_AxisFactor > 0.0f ? m_AxisFactor : 1.0f;
    message.m_LookX = static_cast<int32_t>(static_cast<float>(message.m_LookX) * factor);
    message.m_LookY = static_cast<int32_t>(static_cast<float>(message.m_LookY) * factor);
}

bool CAgentMotorics::ComputeTurn(const D3DXVECTOR3& position, const D3DXVECTOR3& forward, const D3DXVECTOR3& up,
                                 const D3DXVECTOR3& target, D3DXVECTOR3* turn)
{
    *turn = D3DXVECTOR3();
    const D3DXVECTOR3 offset = target - position;
    const float distance = Length(offset);
    if (!(distance > 1e-6f))
        return false;  // a target on the craft itself gives no direction to aim at
    const D3DXVECTOR3 direction = offset / distance;
    const float dot = Dot(forward, direction);
    if (!std::isfinite(dot) || dot > 0.999f)
        return false;
    const float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f, dot)));
    if (dot < -0.999f)
    {
        // Straight behind: the cross product is too short to give an axis, so turn about the craft's own up.
        const float upLength = Length(up);
        if (!(upLength > 1e-6f))
            return false;
        *turn = up * (angle / upLength);
        return true;
    }
    const D3DXVECTOR3 axis = Cross(forward, direction);
    const float axisLength = Length(axis);
    if (!(axisLength > 1e-9f))
        return false;
    *turn = axis * (angle / axisLength);
    return true;
}
