#include "Game/craft/CAgentArmoryNukeMine.h"

#include <algorithm>
#include <cmath>

#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

namespace
{
constexpr int32_t NukeMineKind = 18;

// Path nodes the craft will cover before the mine arms, from its pace over the lap so far. A lap only just
// begun gives no pace yet (and no quotient): the craft is predicted where it is.
int32_t PredictedSteps(const CTuber& craft, int32_t nodes, float activationTime)
{
    if (craft.m_LapTime < 0.05f || craft.m_CurrentNode == nullptr)
        return 0;
    const double steps =
        static_cast<double>(nodes) * craft.m_CurrentNode->m_Fraction / craft.m_LapTime * activationTime * 1.2;
    if (!std::isfinite(steps) || steps <= 0.0)
        return 0;
    return static_cast<int32_t>(std::min(steps, static_cast<double>(nodes)));
}
}  // namespace

void CAgentArmoryNukeMine::Decide(CInputMessage& message)
{
    message.m_FireMine = 0;
    const CRaceParticipant* participant = m_Agent->m_Participant;
    CTuber* craft = participant != nullptr ? participant->m_Craft : nullptr;
    if (m_Agent->m_Level == 0 || craft == nullptr || craft->m_World == nullptr ||
        participant->m_Kind < CRaceParticipant::AIEasy || participant->m_Kind > CRaceParticipant::Human)
        return;
    WeWorld& world = *craft->m_World;
    const int32_t nodes = world.GetPathNodes().Count();
    const CWeaponDescription& nuke = g_WeaponDescriptions.Get(NukeMineKind);
    const D3DXVECTOR3 own = craft->GetWorldPosition();
    int32_t friends = 0, enemies = 0;
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        const CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
        if (other == nullptr || other->m_Kind < CRaceParticipant::AIEasy || other->m_Kind > CRaceParticipant::Human ||
            other->m_Craft == nullptr || other->m_Craft->m_Finished || other->m_Craft->m_CurrentNode == nullptr)
            continue;
        CTuber& rival = *other->m_Craft;
        WePathNode* node = world.FindClosestNodeAlongPath(rival.m_CurrentNode, rival.GetWorldPosition());
        const int32_t steps = PredictedSteps(rival, nodes, nuke.m_ActivationTime);
        for (int32_t i = 0; i < steps && node != nullptr; ++i)
            node = world.FindClosestNodeAlongPath(node, node->GetWorldPosition());
        if (node == nullptr)
            continue;  // the path ends before the craft gets there
        const D3DXVECTOR3 offset = node->GetWorldPosition() - own;
        if (std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z) > nuke.m_EffectiveRadius)
            continue;
        if (&rival == craft || craft->IsSameTeam(&rival))
            ++friends;
        else
            ++enemies;
    }
    if (friends >= enemies)
        return;
    if (m_Agent->m_Level == 1 || static_cast<float>(enemies) >= 1.5f * static_cast<float>(friends))
        message.m_FireMine = 1;
}
