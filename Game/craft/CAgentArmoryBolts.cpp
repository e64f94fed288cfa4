#include "Game/craft/CAgentArmoryBolts.h"

#include <cmath>

#include "Engine/world/WePhysics.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"

void CAgentArmoryBolts::Decide(CInputMessage& message)
{
    message.m_FireWeapon = 0;
    CTuber* craft = m_Agent->m_Participant != nullptr ? m_Agent->m_Participant->m_Craft : nullptr;
    if (craft == nullptr)
        return;
    static const CTuberSetting lockDistance("tuber.Weapons.BoltLockDistance", 500.0f);
    static const CTuberSetting lockMinDot("tuber.Weapons.BoltLockMinDot", 0.995f);
    float range = lockDistance.Get(), cone = lockMinDot.Get();
    if (m_Agent->m_Level == 0)
    {
        range *= 2.0f;
        cone *= 0.5f;
    }
    else if (m_Agent->m_Level == 1)
    {
        range *= 1.5f;
        cone *= 0.8f;
    }
    // Each kind of rival may be shot at during its share of every second, counted back from the second's end.
    const CAIDifficultyProfile& profile = *m_Agent->m_Profile;
    const float r = 1.0f - craft->m_WrapTimer;
    const int32_t mask = (profile.m_ShootAtPlayer >= r ? 1 : 0) | (profile.m_ShootAtEasy >= r ? 2 : 0) |
                         (profile.m_ShootAtMedium >= r ? 4 : 0) | (profile.m_ShootAtHard >= r ? 8 : 0);
    if (mask == 0)
        return;
    CTuber* target = craft->FindTarget(range, cone, false, mask);
    if (target == nullptr)
        return;
    if (m_Agent->m_Level == 2)
    {
        const D3DXVECTOR3 own = craft->GetWorldPosition();
        const D3DXVECTOR3 offset = target->GetWorldPosition() - own;
        const float distance = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
        // A target on the craft itself leaves no line to block.
        if (distance > 1e-6f && g_Physics.RaycastAny(own, offset / distance, 1, 7, distance))
            return;
    }
    message.m_FireWeapon = 1;
}
