#pragma once
#include "Game/craft/CAgentArmory.h"

// The front field: fired on the lock, by a Hard agent only close up and aimed.
class CAgentArmoryFFG : public CAgentArmory
{
public:
    explicit CAgentArmoryFFG(CAgent* agent) : CAgentArmory(agent) {}
    void Decide(CInputMessage& message) override;
};
