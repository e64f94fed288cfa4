#pragma once
#include "Game/craft/CAgentMotorics.h"

// Follows the track path: a target node a few nodes ahead (the branch of a fork by slot and lap), unsticking,
// overtaking, mines avoided and pickups fetched, turbo when it pays.
class CAgentMotoricsStandardTube : public CAgentMotorics
{
public:
    explicit CAgentMotoricsStandardTube(CAgent* agent);
    void Drive(CInputMessage& message) override;
    void DecideTurbo(CInputMessage& message);

    bool m_TurboCruise = false;  // a Hard agent coasting down from the turbo speed
};
