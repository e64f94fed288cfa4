#include "Game/craft/CAgentArmoryHomingMissiles.h"

#include <cmath>

#include "Engine/world/WePhysics.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"

void CAgentArmoryHomingMissiles::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
    CTuber* craft = m_Agent->m_Participant != nullptr ? m_Agent->m_Participant->m_Craft : nullptr;
    if (craft == nullptr || craft->m_LockTarget == nullptr)
        return;
    if (m_Agent->m_Level == 0)
    {
        message.m_FireWeapon = 1;
        return;
    }
    if (craft->m_LockLevel < 1.0f)
        return;
    if (m_Agent->m_Level == 1)
    {
        message.m_FireWeapon = 1;
        return;
    }
    static const CTuberSetting fireDistance("AI.Hard.FireDistance", 100.0f);
    const D3DXMATRIX& world = craft->GetWorldMatrix();
    const D3DXVECTOR3 own(world.m[3][0], world.m[3][1], world.m[3][2]);
    const D3DXVECTOR3 forward(world.m[2][0], world.m[2][1], world.m[2][2]);
    const D3DXVECTOR3 offset = craft->m_LockTarget->GetWorldPosition() - own;
    const float distance = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    // A target on the craft itself gives no direction: it is not aimed at, and no ray is cast.
    const D3DXVECTOR3 direction = distance > 1e-6f ? offset / distance : D3DXVECTOR3();
    if (distance <= fireDistance.Get())
    {
        const float dot = forward.x * direction.x + forward.y * direction.y + forward.z * direction.z;
        message.m_FireWeapon = dot > 0.99f ? 1 : 0;
        return;
    }
    message.m_FireWeapon = g_Physics.RaycastAny(own, direction, 1, 7, fireDistance.Get()) ? 0 : 1;
}
