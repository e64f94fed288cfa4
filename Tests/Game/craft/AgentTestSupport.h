#pragma once
// A rig race of the player (slot 0) and computer slots of the given kinds on the long test oval, for the
// agents' tests; the craft stand on their starts with their agents made by the rig.
#include <memory>
#include <string>
#include <vector>

#include "Game/craft/CAIKernel.h"
#include "Game/craft/CAgent.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/craft/CraftTestSupport.h"

namespace AgentTest
{

inline std::unique_ptr<RaceRig> StartRig(const std::vector<int>& kinds, bool player = true,
                                         const std::string& description = CraftTest::LongOval())
{
    RaceRigOptions o;
    o.mapDescription = description;
    if (player)
        o.slots.push_back(RaceRigSlot{4, "Falconer", "", 0, 0});
    const char* crafts[] = {"Xdrone", "EclosionHunter", "Falconer"};
    for (size_t i = 0; i < kinds.size(); ++i)
        o.slots.push_back(RaceRigSlot{kinds[i], crafts[i % 3], "", 0, 0});
    auto rig = std::make_unique<RaceRig>(o);
    std::string error;
    if (!rig->Start(&error))
    {
        ADD_FAILURE() << error;
        return nullptr;
    }
    return rig;
}

inline CAgent* AgentOf(const RaceRig& rig, int slot)
{
    CTuber* craft = rig.Craft(slot);
    return craft != nullptr && craft->m_Participant != nullptr ? craft->m_Participant->m_Agent : nullptr;
}

// Places the craft at a point facing a direction (unit), at rest.
inline void Place(CTuber* craft, const D3DXVECTOR3& position, const D3DXVECTOR3& forward)
{
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3 right(up.y * forward.z - up.z * forward.y, up.z * forward.x - up.x * forward.z,
                            up.x * forward.y - up.y * forward.x);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._11 = right.x;
    m._12 = right.y;
    m._13 = right.z;
    m._21 = up.x;
    m._22 = up.y;
    m._23 = up.z;
    m._31 = forward.x;
    m._32 = forward.y;
    m._33 = forward.z;
    m._41 = position.x;
    m._42 = position.y;
    m._43 = position.z;
    craft->SetTransform(m);
    craft->SetVelocity(D3DXVECTOR3());
    craft->SetAngularVelocity(D3DXVECTOR3());
}

}  // namespace AgentTest
