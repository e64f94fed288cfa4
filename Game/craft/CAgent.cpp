#include "Game/craft/CAgent.h"

#include "Engine/foundation/WeTimer.h"

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
#include "Game/craft/CTuberSetting.h"
#include "Game/shell/CRaceParticipant.h"
#include "Platform/system/SysRandom.h"

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

void CAgent::Update()
{
    if (m_Participant == nullptr || !m_Participant->IsRacing() || m_Participant->m_Craft == nullptr)
        return;
    const float dt = g_Timer.m_FrameDeltaF;
    m_VariationTimer -= dt;
    if (m_VariationTimer <= 0.0f)
    {
        static const CTuberSetting variationTimer("AI.Common.AICatchUpMinDistanceVariationTimer", 30.0f);
        m_CatchUpVariation = static_cast<float>(SysRandom::Next()) * (1.0f / 32767.0f) - 0.5f;
        m_VariationTimer = variationTimer.Get();
    }
}
