// The agent's look-out for laid mines ahead, which the standard tube steers around.
#include <cmath>

#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeapon.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

namespace
{
constexpr int32_t HardLevel = 2;

// The kinds worth steering around: those set off by a craft coming near or running into them. The stealth mine
// only a Hard driver sees.
bool IsAvoided(int32_t kind, int32_t level)
{
    switch (kind)
    {
    case 11:
    case 13:
    case 14:
    case 16:
    case 20: return true;
    case 17: return level == HardLevel;
    default: return false;
    }
}
}  // namespace

CWeapon* CAgent::FindDangerousMine()
{
    CTuber* craft = m_Participant != nullptr ? m_Participant->m_Craft : nullptr;
    if (craft == nullptr || m_Profile == nullptr)
        return nullptr;
    const float radius = m_Profile->m_MineAvoidCoef * 80.0f;
    const D3DXVECTOR3 position = craft->GetWorldPosition();
    const float lap = craft->m_LapFraction[0];
    CWeapon* nearest = nullptr;
    float nearestDistance = 0.0f;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        const CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
        if (other == nullptr || !other->IsRacing() || other->m_Craft == nullptr)
            continue;
        for (CWeapon* mine : other->m_Craft->m_Mines)
        {
            // A spent mine is only waiting to be deleted.
            if (mine == nullptr || mine->m_Spent || !IsAvoided(mine->m_Kind, m_Level))
                continue;
            const bool ahead = mine->m_TrackFraction > lap || (lap > 0.95f && mine->m_TrackFraction < 0.05f);
            if (!ahead)
                continue;
            const D3DXVECTOR3 d = mine->GetWorldPosition() - position;
            const float distance = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
            if (nearest == nullptr || distance < nearestDistance)
            {
                nearest = mine;
                nearestDistance = distance;
            }
        }
    }
    return nearest != nullptr && nearestDistance < radius ? nearest : nullptr;
}

D3DXVECTOR3 GetMineAvoidDirection(const CWeapon* mine)
{
    return mine != nullptr ? mine->m_TrackDirection : D3DXVECTOR3();
}
