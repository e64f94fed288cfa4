#include "Game/craft/CAgentMotoricsStandardTube.h"

#include "Game/shell/CInputMessage.h"

CAgentMotoricsStandardTube::CAgentMotoricsStandardTube(CAgent* agent) : CAgentMotorics(agent) {}

void CAgentMotoricsStandardTube::Drive(CInputMessage& message)
{
    message.m_Forward = 1;
    DecideTurbo(message);
    CAgentMotorics::Drive(message);
}

void CAgentMotoricsStandardTube::DecideTurbo(CInputMessage& message)
{
    message.m_Turbo = 0;
}
