#include "Game/craft/CAgent.h"

#include <algorithm>
#include <cmath>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WePathNode.h"
#include "Engine/world/WeWorld.h"
#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgentArmoryBolts.h"
#include "Game/craft/CAgentArmoryClassicMines.h"
#include "Game/craft/CAgentArmoryFFG.h"
#include "Game/craft/CAgentArmoryHomingMissiles.h"
#include "Game/craft/CAgentArmoryNukeMine.h"
#include "Game/craft/CAgentArmoryPositionMissiles.h"
#include "Game/craft/CAgentMotoricsHyperbrake.h"
#include "Game/craft/CAgentMotoricsStandardTube.h"
#include "Game/craft/CCraftLinks.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberBoundKeys.h"
#include "Game/craft/CTuberDescription.h"
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPickupFactory.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/PathNodeFields.h"
#include "Platform/system/SysClock.h"
#include "Platform/system/SysRandom.h"

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

bool IsRacingKind(int32_t kind)
{
    return kind >= CRaceParticipant::AIEasy && kind <= CRaceParticipant::Human;
}

int32_t PathNodeCount(const CTuber& craft)
{
    return craft.m_World != nullptr ? craft.m_World->GetPathNodes().Count() : 0;
}
}  // namespace

CAgent::CAgent(CRaceParticipant* participant, int32_t kind) : m_Participant(participant)
{
    m_Level = kind == CRaceParticipant::AIEasy ? 0 : kind == CRaceParticipant::AIHard ? 2 : 1;
    m_Profile = &g_AIKernel.m_Profiles[m_Level];
    if (m_Participant != nullptr)
        m_Participant->m_Agent = this;
    m_StandardTube = new CAgentMotoricsStandardTube(this);
    m_Hyperbrake = new CAgentMotoricsHyperbrake(this);
    m_Bolts = new CAgentArmoryBolts(this);
    m_ClassicMines = new CAgentArmoryClassicMines(this);
    m_HomingMissiles = new CAgentArmoryHomingMissiles(this);
    m_PositionMissiles = new CAgentArmoryPositionMissiles(this);
    m_NukeMine = new CAgentArmoryNukeMine(this);
    m_FFG = new CAgentArmoryFFG(this);
}

CAgent::~CAgent()
{
    // The participant outlives its agents: it must not keep a pointer to one that is gone.
    if (m_Participant != nullptr && m_Participant->m_Agent == this)
        m_Participant->m_Agent = nullptr;
    delete m_StandardTube;
    delete m_Hyperbrake;
    delete m_Bolts;
    delete m_ClassicMines;
    delete m_HomingMissiles;
    delete m_PositionMissiles;
    delete m_NukeMine;
    delete m_FFG;
}

void CAgent::Update()
{
    CAIKernel::CostRecord& cost = g_AIKernel.m_Cost;
    if (!cost.enabled)
    {
        if (!DecideBeforeMove())
            return;
        m_Participant->m_Craft->Move();
        DecideAfterMove();
        return;
    }
    const int64_t start = SysClock::Counter();
    const bool drives = DecideBeforeMove();
    const int64_t beforeMove = SysClock::Counter();
    if (!drives)
    {
        cost.samples.push_back(beforeMove - start);
        return;
    }
    m_Participant->m_Craft->Move();
    const int64_t afterMove = SysClock::Counter();
    DecideAfterMove();
    cost.samples.push_back(beforeMove - start + SysClock::Counter() - afterMove);
}

bool CAgent::DecideBeforeMove()
{
    if (m_Participant == nullptr || !IsRacingKind(m_Participant->m_Kind) || m_Participant->m_Craft == nullptr)
        return false;
    CTuber& craft = *m_Participant->m_Craft;
    const float dt = g_Timer.m_FrameDeltaF;

    // The race's difficulty, not the agent's level, picks the common speed factor.
    static const CTuberSetting easyOverSpeed("AI.Common.EasyOverSpeed", 1.0f);
    static const CTuberSetting mediumOverSpeed("AI.Common.MediumOverSpeed", 1.0f);
    static const CTuberSetting hardOverSpeed("AI.Common.HardOverSpeed", 1.0f);
    static const CTuberSetting turboAddon("tubers.Common.TurboAddon", 20.0f);
    const int32_t difficulty = g_RaceSettings.m_Difficulty;
    const float globalFactor = difficulty == 1   ? easyOverSpeed.Get()
                               : difficulty == 3 ? hardOverSpeed.Get()
                                                 : mediumOverSpeed.Get();
    const float speed = craft.m_Description != nullptr ? craft.m_Description->m_Speed : 0.0f;
    craft.m_MaxSpeed = globalFactor * speed * m_Profile->m_OverSpeed;
    craft.m_TurboMaxSpeed = (1.0f + m_Profile->m_TurboMultiplier * turboAddon.Get() * 0.01f) * craft.m_MaxSpeed;

    m_VariationTimer -= dt;
    if (m_VariationTimer <= 0.0f)
    {
        static const CTuberSetting variationTimer("AI.Common.AICatchUpMinDistanceVariationTimer", 30.0f);
        m_CatchUpVariation = static_cast<float>(SysRandom::Next()) * (1.0f / 32767.0f) - 0.5f;
        m_VariationTimer = variationTimer.Get();
    }

    m_CurrentMotorics = nullptr;
    if (g_AIKernel.m_AIDrivingOn)
    {
        m_CurrentMotorics = Drive();
        if (m_CurrentMotorics != nullptr)
        {
            m_CurrentMotorics->m_MineToAvoid = FindDangerousMine();
            m_CurrentMotorics->m_PickupToFetch = FindPickup();
        }
    }
    craft.m_ControlMessage.m_Override = false;
    if (m_CurrentMotorics != nullptr)
    {
        m_CurrentMotorics->Drive(craft.m_ControlMessage);
        m_CurrentMotorics = nullptr;
    }
    return true;
}

void CAgent::DecideAfterMove()
{
    if (!m_WeaponsEnabled || !g_AIKernel.m_AIWeaponsOn)
        return;
    m_CurrentPrimaryArmory = nullptr;
    m_CurrentSecondaryArmory = nullptr;
    UseWeapons();
    CTuber* craft = m_Participant->m_Craft;
    if (craft == nullptr)
        return;
    if (m_CurrentPrimaryArmory != nullptr)
        m_CurrentPrimaryArmory->Decide(craft->m_ControlMessage);
    if (m_CurrentSecondaryArmory != nullptr)
        m_CurrentSecondaryArmory->Decide(craft->m_ControlMessage);
    m_CurrentPrimaryArmory = nullptr;
    m_CurrentSecondaryArmory = nullptr;
}

CAgentMotorics* CAgent::Drive()
{
    if (m_ForcedStrategy != nullptr)
    {
        m_StandardTube->m_AxisFactor = 0.0f;
        return m_ForcedStrategy;
    }
    const int32_t place = m_Participant != nullptr ? m_Participant->m_RacePlace : 0;
    if (m_TimedStrategy == m_Hyperbrake && place != m_TimedRacePlace)
        m_TimedStrategy = nullptr;
    if (m_TimedStrategy != nullptr)
    {
        m_TimedElapsed += g_Timer.m_FrameDeltaF;
        if (m_TimedElapsed < m_TimedDuration)
            return m_TimedStrategy;
        m_TimedStrategy = nullptr;
    }
    m_StandardTube->m_AxisFactor = 0.0f;
    const float hyperbrake = DecideHyperbrake();
    if (hyperbrake > 0.0f)
    {
        m_TimedStrategy = m_Hyperbrake;
        m_TimedDuration = hyperbrake;
        m_TimedElapsed = 0.0f;
        m_TimedRacePlace = place;
        return m_Hyperbrake;
    }
    const CTuber* craft = m_Participant != nullptr ? m_Participant->m_Craft : nullptr;
    const WePathNode* node = craft != nullptr ? craft->m_NextNode : nullptr;
    const float hold = node != nullptr ? PathNodeFields::GetHoldTime(*node) : 0.0f;
    if (hold > 0.0f)
    {
        m_TimedStrategy = m_StandardTube;
        m_TimedDuration = hold;
        m_TimedElapsed = 0.0f;
    }
    return m_StandardTube;
}

float CAgent::DecideHyperbrake()
{
    static const bool& disabled = GetConfigBool("AI.Common.DisableHyperbrake", false);
    if (disabled || m_Level != HardLevel)
        return 0.0f;
    CTuber* craft = m_Participant != nullptr ? m_Participant->m_Craft : nullptr;
    if (craft == nullptr || craft->m_HyperBrakeLaunch)
        return 0.0f;
    const int32_t raceType = g_RaceSettings.m_RaceType;
    const bool lastLap = craft->m_LapsCompleted == g_RaceSettings.m_Laps - 1;
    if (craft->m_LapFraction[0] > 0.9f &&
        (raceType == CRaceSettings::LastOneOut || (raceType == CRaceSettings::StandardRace && lastLap)))
        return 0.0f;
    const int32_t primary = craft->m_SelectedPrimaryKind;
    if (primary == 0 || primary == 6 || primary == 7 || primary == 9)
        return 0.0f;
    const float usage = TuberBoundKeys().hyperBrakeUsagePerSecond.Get();
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        const CRaceParticipant* other = g_RaceSettings.GetParticipant(slot);
        if (other == nullptr || !IsRacingKind(other->m_Kind) || other->m_Craft == nullptr)
            continue;
        const CTuber* rival = other->m_Craft;
        if (!craft->IsEnemy(rival) || (other->m_Agent != nullptr && other->m_Agent->m_Level == HardLevel))
            continue;
        const float gap = craft->m_RaceDistance[0] - rival->m_RaceDistance[0];
        // A rival at rest or reversing would never pass: no finite, positive wait exists.
        if (gap < 70.0f || gap > 150.0f || !(rival->m_MeasuredSpeed > 1.0f))
            continue;
        const float duration = (gap + 75.0f) / rival->m_MeasuredSpeed;
        if (usage * duration <= craft->m_TurboEnergy)
            return duration;
    }
    return 0.0f;
}

CPickup* CAgent::FindPickup()
{
    CTuber* craft = m_Participant != nullptr ? m_Participant->m_Craft : nullptr;
    if (craft == nullptr)
        return nullptr;
    static const CTuberSetting dirCoef("AI.Common.PickupDirCoef", 0.8f);
    static const CTuberSetting viewCoef("AI.Common.PickupViewCoef", 0.5f);
    const D3DXVECTOR3 position = craft->GetWorldPosition();
    const D3DXVECTOR3 forward = Row(craft->GetWorldMatrix(), 2);
    const int32_t nodes = std::max(0, std::min(m_Profile->m_PickupLookup, PathNodeCount(*craft)));
    float best = 123456790.0f;
    CPickup* result = nullptr;
    WePathNode* node = craft->m_CurrentNode;
    for (int32_t i = 0; i < nodes && node != nullptr; ++i, node = node->m_Next)
    {
        if (node->m_Kind == WePathNode::Fork || node->m_Kind == WePathNode::JumpStart ||
            node->m_Kind == WePathNode::JumpEnd)
            break;
        if (Dot(Row(node->GetWorldMatrix(), 2), forward) < dirCoef.Get() || node->m_AttachedActors.IsEmpty())
            continue;
        for (WeActor* actor : node->m_AttachedActors)
        {
            if (actor == nullptr || !IsPickupType(actor->m_Type))
                continue;
            CPickup* pickup = static_cast<CPickup*>(actor);
            if (!pickup->m_Available)
                continue;
            const D3DXVECTOR3 offset = pickup->GetWorldPosition() - position;
            const float squared = Dot(offset, offset);
            if (!(squared > 0.0f))
                continue;
            const D3DXVECTOR3 direction = offset / std::sqrt(squared);
            if (Dot(forward, direction) >= viewCoef.Get() && squared < best)
            {
                best = squared;
                result = pickup;
            }
        }
        if (result != nullptr)
            break;
    }
    return result;
}

void CAgent::UseWeapons()
{
    CTuber* craft = m_Participant != nullptr ? m_Participant->m_Craft : nullptr;
    if (!g_RaceSettings.m_Weapons || craft == nullptr)
        return;
    if (craft->m_SelectedPrimaryKind != 0)
    {
        switch (craft->GetPrimaryWeaponKind())
        {
        case 1:
        case 2:
        case 4:
        case 8: m_CurrentPrimaryArmory = m_Bolts; break;
        case 3:
        case 5: m_CurrentPrimaryArmory = m_HomingMissiles; break;
        case 6:
        case 7:
        case 10: m_CurrentPrimaryArmory = m_PositionMissiles; break;
        case 9: m_CurrentPrimaryArmory = m_FFG; break;
        default: break;
        }
    }
    if (craft->m_SelectedSecondaryKind != 0)
    {
        const int32_t kind = craft->GetSecondaryWeaponKind();
        if (kind >= 11 && kind <= 20)
            m_CurrentSecondaryArmory = kind == 18 ? m_NukeMine : m_ClassicMines;
    }
}

void CAgent::ForceStandardTube()
{
    m_ForcedStrategy = m_StandardTube;
    m_TimedStrategy = nullptr;
    m_StandardTube->m_MineToAvoid = nullptr;
}

void CAgent::SetWeaponsEnabled(bool enabled)
{
    m_WeaponsEnabled = enabled;
}

void UpdateAgent(CAgent* agent)
{
    WeTickCost::Scope cost(WeCostStage::Ai);
    if (agent != nullptr)
        agent->Update();
}

bool IsAutopilotAgent(const CAgent* agent)
{
    return agent != nullptr && agent->m_Autopilot;
}

float AgentMaxHPModifier(const CAgent* agent)
{
    return agent != nullptr && agent->m_Profile != nullptr ? agent->m_Profile->m_MaxHPModifier : 1.0f;
}

float AgentDamageModifier(const CAgent* agent)
{
    return agent != nullptr && agent->m_Profile != nullptr ? agent->m_Profile->m_DamageModifier : 1.0f;
}
