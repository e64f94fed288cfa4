#pragma once
#include "Platform/math/D3DXVECTOR3.h"

class CAgent;
class CInputMessage;
class CPickup;
class CWeapon;

// A driving strategy of an agent: writes the craft's control message for one frame.
class CAgentMotorics
{
public:
    explicit CAgentMotorics(CAgent* agent);
    virtual ~CAgentMotorics();
    CAgentMotorics(const CAgentMotorics&) = delete;
    CAgentMotorics& operator=(const CAgentMotorics&) = delete;

    // The base scales the two look deltas by the axis factor while forward is held.
    virtual void Drive(CInputMessage& message);
    // The turn that points a craft at `position` with axes `forward` and `up` toward `target`: an axis scaled
    // by the angle, and false (a zero vector) when the target is already ahead.
    static bool ComputeTurn(const D3DXVECTOR3& position, const D3DXVECTOR3& forward, const D3DXVECTOR3& up,
                            const D3DXVECTOR3& target, D3DXVECTOR3* turn);

    CAgent* m_Agent;
    float m_AxisFactor = 0.0f;  // not above 0 counts as 1
    CWeapon* m_MineToAvoid = nullptr;
    CPickup* m_PickupToFetch = nullptr;
};
