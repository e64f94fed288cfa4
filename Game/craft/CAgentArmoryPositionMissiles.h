#pragma once
#include "Game/craft/CAgentArmoryHomingMissiles.h"

// The rockets that help a craft behind (slowing, translocating, nuclear): as homing missiles, never by the leader.
class CAgentArmoryPositionMissiles : public CAgentArmoryHomingMissiles
{
public:
    explicit CAgentArmoryPositionMissiles(CAgent* agent) : CAgentArmoryHomingMissiles(agent) {}
    void Decide(CInputMessage& message) override;
};
