#include "Game/craft/CAgentArmoryFFG.h"

#include <cmath>

#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"

void CAgentArmoryFFG::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
    CTuber* craft = m_Agent->m_Participant != nullptr ? m_Agent->m_Participant->m_Craft : nullptr;
    if (craft == nullptr || craft->m_LockTarget == nullptr)
        return;
    if (m_Agent->m_Level != 2)
    {
        message.m_FireWeapon = 1;
        return;
    }
    static const CTuberSetting fireDistance("AI.Hard.FFGFireDistance", 15.0f);
    static const CTuberSetting fireAngleDot("AI.Hard.FFGFireAngleDot", 0.99f);
    const D3DXMATRIX& world = craft->GetWorldMatrix();
    const D3DXVECTOR3 own(world.m[3][0], world.m[3][1], world.m[3][2]);
    const D3DXVECTOR3 forward(world.m[2][0], world.m[2][1], world.m[2][2]);
    const D3DXVECTOR3 offset = craft->m_LockTarget->GetWorldPosition() - own;
    const float distance = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    const D3DXVECTOR3 direction = distance > 1e-6f ? offset / distance : D3DXVECTOR3();
    const float dot = forward.x * direction.x + forward.y * direction.y + forward.z * direction.z;
    if (distance <= fireDistance.Get() && dot > fireAngleDot.Get())
        message.m_FireWeapon = 1;
}
