#include "Game/craft/CAIKernel.h"

#include "Game/craft/CAgent.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"

CAIKernel& CAIKernel::Instance()
{
    static CAIKernel kernel;
    return kernel;
}

CAIKernel::~CAIKernel()
{
    m_Agents.Clear();
}

void CAIKernel::CreateAgents()
{
    m_AIDrivingOn = true;
    m_AIWeaponsOn = true;
    // The last race's agents are gone by now; should a race start without its predecessor having been left,
    // its agents go here rather than stay behind unowned.
    DeleteAgents();
    for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
    {
        CRaceParticipant* participant = g_RaceSettings.GetParticipant(slot);
        if (participant == nullptr)
            continue;
        const int32_t kind = participant->m_Kind;
        if (kind >= CRaceParticipant::AIEasy && kind <= CRaceParticipant::AIHard)
            m_Agents.PushBack(new CAgent(participant, kind));
    }
    if (m_AutopilotLevel >= 0 && m_AutopilotLevel <= 2)
    {
        for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
        {
            CRaceParticipant* participant = g_RaceSettings.GetParticipant(slot);
            if (participant == nullptr || participant->m_Kind != CRaceParticipant::Human)
                continue;
            CAgent* agent = new CAgent(participant, m_AutopilotLevel + 1);
            agent->m_Autopilot = true;
            m_Agents.PushBack(agent);
        }
    }
    LoadProfiles();
}

void CAIKernel::DeleteAgents()
{
    for (CAgent*& agent : m_Agents)
    {
        delete agent;  // the agent clears its participant's pointer
        agent = nullptr;
    }
    m_Agents.Reset();
}

void CAIKernel::LoadProfiles()
{
    m_Profiles[0].Load("Easy");
    m_Profiles[1].Load("Medium");
    m_Profiles[2].Load("Hard");
    m_Profiles[3].Load("Hard");
}

void CAIKernel::AppendAgent(CAgent* agent)
{
    if (agent != nullptr && !m_Agents.Contains(agent))
        m_Agents.PushBack(agent);
}

void CAIKernel::DeleteAgent(CRaceParticipant* participant)
{
    if (participant == nullptr || participant->m_Agent == nullptr)
        return;
    CAgent* agent = participant->m_Agent;
    if (!m_Agents.Contains(agent))
        return;
    m_Agents.RemoveCurrent();
    delete agent;
}

void CAIKernel::SetAutopilot(int32_t level)
{
    m_AutopilotLevel = level >= 0 && level <= 2 ? level : -1;
}
