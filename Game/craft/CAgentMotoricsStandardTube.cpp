#include "Game/craft/CAgentMotoricsStandardTube.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIDifficultyProfile.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

namespace
{
constexpr int32_t HardLevel = 2;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(Dot(v, v));
}

// A walk size of the configuration, never below 0 nor beyond the path itself.
int32_t WalkSize(const int32_t& value, int32_t nodes)
{
    return std::max(0, std::min(value, nodes));
}

// The forward target of the path ahead of the craft: the node the agent steers at and the node before it.
struct PathTarget
{
    WePathNode* target = nullptr;
    WePathNode* anchor = nullptr;
};

PathTarget FindPathTarget(const CTuber& craft, int32_t participantIndex, int32_t nodes)
{
    static const int32_t& basicLookAhead = GetConfigInt("AI.Common.BasicLookAhead", 2);
    static const int32_t& basicLookBack = GetConfigInt("AI.Common.BasicLookBack", 2);
    static const int32_t& splitNodeAdvance = GetConfigInt("AI.Common.SplitNodeAdvance", 1);
    static const int32_t& connectLookAhead = GetConfigInt("AI.Common.ConnectLookAhead", 1);
    const int32_t back = WalkSize(basicLookBack, nodes);
    const int32_t advance = WalkSize(splitNodeAdvance, nodes);
    const int32_t connect = WalkSize(connectLookAhead, nodes);
    int32_t ahead = WalkSize(basicLookAhead, nodes);

    // A fork just behind the craft still decides the branch: the walk starts there and looks as far beyond.
    WePathNode* start = craft.m_CurrentNode;
    WePathNode* node = craft.m_CurrentNode;
    for (int32_t i = 0; i < back && node != nullptr; ++i, node = node->m_Previous)
    {
        if (node->m_Kind == WePathNode::Fork)
        {
            start = node;
            ahead += i;
            break;
        }
        if (node->m_Kind != WePathNode::Plain)
            break;
    }

    PathTarget result;
    WePathNode* anchor = start;
    WePathNode* probe = start->m_Next;
    // However far the joins stretch the look-ahead, the walk visits no more nodes than the path has.
    for (int32_t step = 0; step < ahead && step < nodes && probe != nullptr; ++step)
    {
        if (probe->m_Kind == WePathNode::Fork)
            anchor = probe;
        if (anchor->m_Kind == WePathNode::Fork)
        {
            const bool even = (participantIndex + craft.m_LapsCompleted) % 2 == 0;
            probe = even || anchor->m_Branch == nullptr ? anchor->m_Next : anchor->m_Branch;
            for (int32_t i = 0;
                 i < advance && probe != nullptr && probe->m_Kind == WePathNode::Plain && probe->m_Next != nullptr; ++i)
            {
                anchor = probe;
                probe = probe->m_Next;
            }
            break;
        }
        if (probe->m_Kind == WePathNode::JumpStart)
            break;
        if (probe->m_Kind == WePathNode::Join)
            ahead = std::min(ahead + connect, nodes);
        anchor = probe;
        probe = probe->m_Next;
    }
    result.target = probe != nullptr ? probe : anchor;
    result.anchor = probe != nullptr ? anchor : (anchor->m_Previous != nullptr ? anchor->m_Previous : anchor);
    return result;
}
}  // namespace

CAgentMotoricsStandardTube::CAgentMotoricsStandardTube(CAgent* agent) : CAgentMotorics(agent) {}

void CAgentMotoricsStandardTube::Drive(CInputMessage& message)
{
    CRaceParticipant* participant = m_Agent->m_Participant;
    CTuber* craft = participant != nullptr ? participant->m_Craft : nullptr;
    if (craft == nullptr)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    const CAIDifficultyProfile& profile = *m_Agent->m_Profile;
    message.m_Forward = 1;
    DecideTurbo(message);

    const int32_t nodes = craft->m_World != nullptr ? craft->m_World->GetPathNodes().Count() : 0;
    if (craft->m_CurrentNode == nullptr || nodes == 0)
    {
        // Nowhere to steer yet (before the first track position, or a map without a path): press on.
        m_MineToAvoid = nullptr;
        m_PickupToFetch = nullptr;
        message.m_LookX = 0;
        message.m_LookY = 0;
        CAgentMotorics::Drive(message);
        return;
    }
    const PathTarget path = FindPathTarget(*craft, participant->m_Index, nodes);
    craft->m_AITargetNode = path.target;
    const D3DXMATRIX& targetMatrix = path.target->GetWorldMatrix();
    D3DXVECTOR3 targetPoint = Row(targetMatrix, 3);

    const D3DXMATRIX& world = craft->GetWorldMatrix();
    const D3DXVECTOR3 position = Row(world, 3), up = Row(world, 1), forward = Row(world, 2);

    // Unsticking: a craft that has not moved for a second flies through walls until it is back on the line.
    static const CTuberSetting collisionEnableRange("AI.Common.CollisionEnableRange", 10.0f);
    if (craft->m_Ghost && Length(position - craft->m_TrackPoint) <= collisionEnableRange.Get())
    {
        craft->SetCollisionEnabled(true);
        craft->m_Ghost = false;
        message.m_Turbo = 0;
    }
    const D3DXVECTOR3 moved = position - craft->m_StuckPosition;
    if (Dot(moved, moved) < 125.0f)
    {
        craft->m_StuckTimer += dt;
        if (craft->m_StuckTimer >= 1.0f && !craft->m_HyperBrakeLaunch && !craft->m_Ghost)
        {
            craft->SetCollisionEnabled(false);
            craft->m_Ghost = true;
        }
    }
    else
    {
        craft->m_StuckPosition = position;
        craft->m_StuckTimer = 0.0f;
    }
    if (craft->m_Ghost)
        message.m_Turbo = 0;

    // Overtaking: a rival between the craft and its target pushes the target aside.
    static const CTuberSetting tuberAvoidDistance("AI.Common.TuberAvoidDistance", 10.0f);
    const int32_t place = participant->m_RacePlace;
    const CRaceParticipant* ahead = place > 1 ? g_RaceSettings.FindParticipantByPlace(place - 1) : nullptr;
    const CTuber* rival = ahead != nullptr ? ahead->m_Craft : nullptr;
    if (rival != nullptr && rival != craft)
    {
        const float trackLength = craft->m_World->m_TrackLength;
        float aheadGap = rival->m_TrackDistance[0] - craft->m_TrackDistance[0];
        if (aheadGap < 0.0f)
            aheadGap += trackLength;
        float targetGap = path.target->m_Distance - craft->m_TrackDistance[0];
        if (targetGap < 0.0f)
            targetGap += trackLength;
        const D3DXVECTOR3 toTarget = targetPoint - position;
        const float toTargetLength = Length(toTarget);
        if (targetGap > aheadGap && toTargetLength > 1e-6f)
        {
            const D3DXVECTOR3 direction = toTarget / toTargetLength;
            const D3DXVECTOR3 rivalPosition = rival->GetWorldPosition();
            const D3DXVECTOR3 foot = position + direction * Dot(rivalPosition - position, direction);
            D3DXVECTOR3 offset = foot - rivalPosition;
            if (Dot(offset, offset) < 0.001f)
                offset = Row(targetMatrix, 1);
            else
                offset /= Length(offset);
            targetPoint += offset * tuberAvoidDistance.Get();
        }
    }

    // A mine ahead is passed on its far side; otherwise a pickup nearby is fetched.
    static const CTuberSetting mineAvoidGlobalCoef("AI.Common.MineAvoidGlobalCoef", 10.0f);
    static const CTuberSetting pickupTurboCoef("AI.Common.PickupTurboCoef", 0.5f);
    if (!craft->m_Ghost && craft->m_StillRacing && !craft->m_Finished)
    {
        if (m_MineToAvoid != nullptr)
        {
            targetPoint = Row(path.anchor->GetWorldMatrix(), 3) +
                          GetMineAvoidDirection(m_MineToAvoid) * (mineAvoidGlobalCoef.Get() * profile.m_MineAvoidCoef);
            message.m_Turbo = 0;
        }
        else if (m_PickupToFetch != nullptr &&
                 (!message.m_Turbo || craft->m_TurboEnergy < pickupTurboCoef.Get() * craft->m_MaxTurboEnergy))
            targetPoint = m_PickupToFetch->GetWorldPosition();
    }
    m_MineToAvoid = nullptr;
    m_PickupToFetch = nullptr;

    // Never a target behind the node the craft is on.
    static const CTuberSetting minFrontDistance("AI.Common.MinFrontDistance", 0.0f);
    const D3DXVECTOR3 nodeForward = Row(craft->m_CurrentNode->GetWorldMatrix(), 2);
    const float front = Dot(nodeForward, targetPoint - position);
    if (front < minFrontDistance.Get())
        targetPoint += nodeForward * (minFrontDistance.Get() - front);

    // Steering.
    static const CTuberSetting maxFlyingCoef("AI.Common.MaxFlyingCoef", 1.0f);
    D3DXVECTOR3 turn;
    message.m_Override = ComputeTurn(position, forward, up, targetPoint, &turn);
    message.m_OverrideAngularVelocity = D3DXVECTOR3();
    if (message.m_Override)
    {
        float gain = maxFlyingCoef.Get();
        if (!craft->m_Ghost)
        {
            gain = profile.m_FlyingCoef;
            const float factor = craft->m_CatchUpFactor;
            if (factor > 1.0f)
            {
                // A craft caught up from behind steers harder too; the blend stays within the two gains.
                const float koefBack = profile.m_CatchUpSpeedKoefBack;
                const float blend = koefBack > 0.0f ? std::clamp((factor - 1.0f) / koefBack, 0.0f, 1.0f) : 0.0f;
                gain += (maxFlyingCoef.Get() - gain) * blend;
            }
        }
        craft->m_FlyingCoefficient = gain;
        if (dt > 0.001f)
            message.m_OverrideAngularVelocity = turn * (gain / dt);
    }

    if (participant->m_Kind != CRaceParticipant::Human)
    {
        static const CTuberSetting autoCorrectCoef("AI.Common.AutoCorrectCoef", 1.0f);
        // The roll that brings the craft's up back to the node's: positive about the forward axis when the up
        // leans toward the node's right.
        const bool tilted = Dot(up, Row(targetMatrix, 1)) < 0.95f;
        const float sign = Dot(up, Row(targetMatrix, 0)) > 0.0f ? 1.0f : -1.0f;
        if (m_Agent->m_Level >= 1 && craft->m_MeasuredSpeed < 0.9f * craft->m_MaxSpeed)
        {
            // The press's steering bonus speeds the craft up; its quarter turn a second of roll would turn it
            // over, so once tilted it rolls back toward upright rather than further on.
            const bool right = tilted ? sign < 0.0f : participant->m_Index % 2 == 0;
            if (right)
                message.m_RotateRight = 1;
            else
                message.m_RotateLeft = 1;
        }
        else if (dt > 0.001f && tilted)
            message.m_OverrideAngularVelocity += forward * (sign * autoCorrectCoef.Get() / dt * 3.1415927f);
    }

    if (Dot(forward, targetPoint - position) < 0.8f && craft->m_MeasuredSpeed > 0.2f * craft->m_MaxSpeed)
        message.m_Forward = 0;
    message.m_LookX = 0;
    message.m_LookY = 0;
    CAgentMotorics::Drive(message);
}

void CAgentMotoricsStandardTube::DecideTurbo(CInputMessage& message)
{
    message.m_Turbo = 0;
    CRaceParticipant* participant = m_Agent->m_Participant;
    CTuber* craft = participant != nullptr ? participant->m_Craft : nullptr;
    if (craft == nullptr || craft->m_Finished)
        return;
    if (g_RaceSettings.m_UnlimitedTurbo)
    {
        message.m_Turbo = 1;
        return;
    }
    if (!(craft->m_TurboEnergy > 0.0f))
        return;
    if (craft->m_MeasuredSpeed < 0.9f * craft->m_MaxSpeed)
    {
        message.m_Turbo = 1;
        return;
    }
    const int32_t place = participant->m_RacePlace;
    bool rival = false;
    if (place > 1)
    {
        for (int32_t slot = 0; slot < CRaceSettings::SlotCount && !rival; ++slot)
        {
            const CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
            rival = other != nullptr && other->m_Kind >= CRaceParticipant::AIEasy &&
                    other->m_Kind <= CRaceParticipant::Human && other->m_Craft != nullptr && other->m_Craft != craft &&
                    other->m_RacePlace < place && !craft->IsSameTeam(other->m_Craft);
        }
    }
    else if (place == 1)
        rival = m_Agent->m_Level == HardLevel;
    if (!rival)
        return;

    const CAIDifficultyProfile& profile = *m_Agent->m_Profile;
    const float lapFraction = craft->m_LapFraction[0];
    if (!(lapFraction > profile.m_TurboStartPathIndex))
        return;
    if (m_Agent->m_Level != HardLevel)
    {
        message.m_Turbo = 1;
        return;
    }
    // Hard saves its turbo early in the lap when the tank runs low, and coasts down from the turbo speed before
    // it boosts again.
    static const CTuberSetting savingCoef("AI.Hard.TurboSavingCoef", 0.5f);
    static const CTuberSetting savingPathIndex("AI.Hard.TurboSavingPathIndex", 0.3f);
    if (craft->m_TurboEnergy < savingCoef.Get() * craft->m_MaxTurboEnergy && lapFraction < savingPathIndex.Get())
        return;
    if (!m_TurboCruise)
    {
        if (craft->m_MeasuredSpeed < 0.99f * craft->m_TurboMaxSpeed)
            message.m_Turbo = 1;
        else
            m_TurboCruise = true;
        return;
    }
    if (craft->m_MeasuredSpeed <= craft->m_MaxSpeed + 0.5f * (craft->m_TurboMaxSpeed - craft->m_MaxSpeed))
    {
        m_TurboCruise = false;
        message.m_Turbo = 1;
    }
}
