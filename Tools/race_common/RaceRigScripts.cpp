#include "Tools/race_common/RaceRigScripts.h"

#include <cmath>

#include "Engine/world/WePathNode.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CInputMessage.h"

void SteerAlongTrack(const CTuber* craft, int64_t tick, int64_t turboFromTick, CInputMessage& m)
{
    if (!craft)
        return;
    m.m_Forward = 1;
    WePathNode* node = craft->m_NextNode ? craft->m_NextNode : craft->m_CurrentNode;
    if (!node)
        return;
    for (int i = 0; i < 2 && node->m_Next; ++i)
        node = node->m_Next;
    const D3DXMATRIX& w = craft->GetWorldMatrix();
    const D3DXVECTOR3 right(w._11, w._12, w._13), up(w._21, w._22, w._23), forward(w._31, w._32, w._33);
    const D3DXVECTOR3 to = node->GetWorldPosition() - craft->GetWorldPosition();
    const float side = to.x * right.x + to.y * right.y + to.z * right.z;
    const float lift = to.x * up.x + to.y * up.y + to.z * up.z;
    const float ahead = to.x * forward.x + to.y * forward.y + to.z * forward.z;
    // Turn toward the node (a positive turn about the up axis swings the nose right, about the right axis
    // down), and roll the right axis back to level, as an agent would through the override.
    const float yaw = std::atan2(side, std::fmax(ahead, 1.0f));
    const float pitch = std::atan2(lift, std::fmax(ahead, 1.0f));
    const float yawRate = 2.0f * yaw, pitchRate = -2.0f * pitch, rollRate = -3.0f * right.y;
    m.m_Override = true;
    m.m_OverrideAngularVelocity = up * yawRate + right * pitchRate + forward * rollRate;
    if (tick >= turboFromTick && ahead > 0.0f && std::fabs(side) < 0.05f * ahead)
        m.m_Turbo = 1;
}
