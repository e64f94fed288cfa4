#include "Game/shell/CRacePhysics.h"

#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Game/shell/CActorKinds.h"

namespace
{
struct GroupPair
{
    uint16_t first, second;
};

// Level 0, pickups 2, flying weapons 3, mines 4, craft 5, wreck parts 6, mine triggers 7 and 8, field and
// blast triggers 9, the craft's sensor 10, the field's body 11, the singularity's body 12, map objects 24.
constexpr GroupPair RacePairs[] = {
    {5, 0},  {5, 24},  {5, 2},  {5, 3},  {5, 4},  {5, 7},  {5, 8},   {5, 9}, {10, 24}, {0, 3}, {0, 6},
    {0, 24}, {24, 24}, {24, 6}, {24, 3}, {24, 8}, {24, 9}, {24, 11}, {3, 4}, {3, 12},  {3, 7}, {4, 9},
};

// Every touch, impact, roll and slide report, not the ignore flag.
constexpr uint16_t ReportAll = 0x7FE;
}  // namespace

void ApplyRaceCollisionGroups()
{
    g_Physics.ResetGroupFlags();
    for (const GroupPair& pair : RacePairs)
    {
        g_Physics.SetGroupCollisionFlag(pair.first, pair.second, true);
        g_Physics.SetActorGroupPairFlags(pair.first, pair.second, ReportAll);
    }
}

bool IsHittableActor(WeActor* actor)
{
    if (!actor || !actor->m_PhysicHandle || !actor->m_PhysicHandle->IsCollisionEnabled())
        return false;
    const int32_t kind = actor->m_Type;
    return kind <= 10000 && kind != ActorKindExplosion && kind != ActorKindStartLocation &&
           kind != ActorKindProjectile && kind != ActorKindTrigger;
}

// The reports reach the craft, weapons, explosions and pickups once those handle them; until then a race
// only needs the handlers installed.
void OnRaceContact(WeActor*, WeActor*, const D3DXVECTOR3*, const D3DXVECTOR3*, int, const D3DXVECTOR3*) {}

void OnRaceTrigger(WeActor*, WeActor*, int) {}
