#pragma once

class CAgent;
class CInputMessage;

// A weapon strategy of an agent: decides, after the craft has moved, whether its weapon family fires this
// frame. It sets only its own fire flag of the craft's control message.
class CAgentArmory
{
public:
    explicit CAgentArmory(CAgent* agent) : m_Agent(agent) {}
    virtual ~CAgentArmory() = default;
    CAgentArmory(const CAgentArmory&) = delete;
    CAgentArmory& operator=(const CAgentArmory&) = delete;

    // Clears the strategy's flag, then sets it when it fires.
    virtual void Decide(CInputMessage& message) = 0;

    CAgent* m_Agent;
};
