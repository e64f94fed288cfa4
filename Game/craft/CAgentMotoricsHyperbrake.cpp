#include "Game/craft/CAgentMotoricsHyperbrake.h"

#include "Game/craft/CAgent.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CRaceParticipant.h"

CAgentMotoricsHyperbrake::CAgentMotoricsHyperbrake(CAgent* agent) : CAgentMotorics(agent) {}

void CAgentMotoricsHyperbrake::Drive(CInputMessage& message)
{
    if (m_Agent->m_Participant == nullptr || m_Agent->m_Participant->m_Craft == nullptr)
        return;
    // The craft reads backward and turbo together as the hyper brake.
    message.m_Backward = 1;
    message.m_Turbo = 1;
    CAgentMotorics::Drive(message);
}
