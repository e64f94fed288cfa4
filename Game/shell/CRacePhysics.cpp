#include "Game/shell/CRacePhysics.h"

#include <cmath>
#include <cstdint>

#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Game/craft/CExplosion.h"
#include "Game/craft/CExplosionRequest.h"
#include "Game/craft/CTrigger.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPart.h"
#include "Game/craft/CWeapon.h"
#include "Game/shell/CActorKinds.h"
#include "Game/shell/COneShotSounds.h"
#include "Game/shell/CPickup.h"
#include "Game/shell/CPlayGamePhase.h"
#include "Platform/system/SysRandom.h"

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

// The damage kind of a craft hit by a dynamic map object.
constexpr int32_t DynamicObjectKind = 22;

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

namespace
{
// A plain map object's physics class says whether it is static (1-4) or dynamic (5-8).
bool IsPlainOfClass(const WeActor* a, int32_t low, int32_t high)
{
    const int32_t c = a->m_PhysicModel.physicsClass;
    return a->m_Type == WeActorTypePlain && c >= low && c <= high;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// A plain object of a dynamic class hitting a craft: the craft slows, and a hard enough hit damages it.
void DynamicObjectHit(CTuber* craft, WeActor* object)
{
    if (craft->m_MeasuredSpeed >= 0.3f * craft->m_MaxSpeed)
        craft->SetLinearVelocity(craft->m_PendingLinearVelocity * 0.9f);
    const float v = Length(craft->m_PendingLinearVelocity - object->m_PendingLinearVelocity);
    if (v > 50.0f)
        RequestSimpleExplosion(craft, (std::fmin(v, 200.0f) - 50.0f) * 0.006666667f * 10.0f, craft, DynamicObjectKind);
}

void CraftContactSound(CTuber* a, CTuber* b, const D3DXVECTOR3& point)
{
    if (a->m_CollisionSoundTimer < 0.5f || b->m_CollisionSoundTimer < 0.5f)
        return;
    if (std::fabs(a->m_MeasuredSpeed - b->m_MeasuredSpeed) < 20.0f)
        return;
    a->m_CollisionSoundTimer = b->m_CollisionSoundTimer = 0.0f;
    WeString name("Sounds.Tuber.Collision");
    name.AppendInt(SysRandom::Scaled(3) + 1);
    PlayOneShotSound3D(name, point, D3DXVECTOR3(), 100.0f);
}

bool IsWeapon(const WeActor* a)
{
    return a->m_Type == ActorKindProjectile || a->m_Type == ActorKindMine;
}

// A trigger volume passes the touch on to its owner.
void DispatchTrigger(WeActor* triggerActor, WeActor* other)
{
    CTrigger* trigger = static_cast<CTrigger*>(triggerActor);
    WeActor* owner = trigger->m_Owner;
    if (!owner)
        return;
    if (owner->m_Type == ActorKindTuber)
        static_cast<CTuber*>(owner)->AddTriggerContact(other);
    else if (IsWeapon(owner))
    {
        CWeapon* weapon = static_cast<CWeapon*>(owner);
        if (!weapon->m_Spent)
            weapon->OnTriggerTouch(other, trigger);
    }
    else if (owner->m_Type == ActorKindExplosion)
        static_cast<CExplosion*>(owner)->OnTriggerTouch(other, trigger);
}

bool TakesProjectileReport(const WeActor* other)
{
    return other->m_Type == ActorKindTuber || other->m_Type == ActorKindTrigger || other->m_Type == WeActorTypePlain;
}

bool TakesMineReport(const WeActor* other)
{
    return other->m_Type == ActorKindExplosion || other->m_Type == ActorKindTuber ||
           other->m_Type == ActorKindProjectile || other->m_Type == WeActorTypePlain;
}
}  // namespace

void OnRaceContact(WeActor* first, WeActor* second, const D3DXVECTOR3* normalForce, const D3DXVECTOR3*, int,
                   const D3DXVECTOR3* contactPoint)
{
    if (!first || !second || !first->m_GameContact || !second->m_GameContact)
        return;
    const D3DXVECTOR3 point = contactPoint ? *contactPoint : D3DXVECTOR3();
    const D3DXVECTOR3 force = normalForce ? *normalForce : D3DXVECTOR3();
    g_PlayGamePhase.m_LastContactPoint = point;
    g_PlayGamePhase.m_LastContactNormalForce = force;

    WeActor* pair[2] = {first, second};
    for (int i = 0; i < 2; ++i)
        if (IsPlainOfClass(pair[i], 5, 8) && pair[1 - i]->m_Type == ActorKindTuber)
        {
            CTuber* craft = static_cast<CTuber*>(pair[1 - i]);
            DynamicObjectHit(craft, pair[i]);
            craft->m_HitByDynamicObject = true;
            return;
        }
    // A wreck part bounces off whatever it meets, and nothing else answers its touch.
    if (first->m_Type == ActorKindTuberPart || second->m_Type == ActorKindTuberPart)
    {
        for (int i = 0; i < 2; ++i)
            if (pair[i]->m_Type == ActorKindTuberPart)
                static_cast<CTuberPart*>(pair[i])->Bounce(pair[1 - i]);
        return;
    }
    for (int i = 0; i < 2; ++i)
    {
        if (pair[i]->m_Type != ActorKindProjectile)
            continue;
        WeActor* other = pair[1 - i];
        if (TakesProjectileReport(other))
        {
            static_cast<CWeapon*>(pair[i])->OnCollision(other);
            return;
        }
        // Against a mine both react: the mine's rule below runs as well.
        if (other->m_Type == ActorKindMine)
            static_cast<CWeapon*>(pair[i])->OnCollision(other);
    }
    for (int i = 0; i < 2; ++i)
        if (pair[i]->m_Type == ActorKindMine && TakesMineReport(pair[1 - i]))
        {
            static_cast<CWeapon*>(pair[i])->OnCollision(pair[1 - i]);
            return;
        }
    for (int i = 0; i < 2; ++i)
        if (pair[i]->m_Type == ActorKindTrigger)
        {
            DispatchTrigger(pair[i], pair[1 - i]);
            return;
        }
    if (first->m_Type == ActorKindTuber && second->m_Type == ActorKindTuber)
    {
        CraftContactSound(static_cast<CTuber*>(first), static_cast<CTuber*>(second), point);
        return;
    }
    for (int i = 0; i < 2; ++i)
        if (pair[i]->m_Type == ActorKindTuber && IsPlainOfClass(pair[1 - i], 1, 4))
        {
            CTuber* craft = static_cast<CTuber*>(pair[i]);
            craft->m_TouchingLevel = true;
            craft->m_WallContactPoint = point;
            const float length = Length(force);
            craft->m_WallNormal = length > 0.0f ? force / length : D3DXVECTOR3();
            return;
        }
}

void OnRaceTrigger(WeActor* trigger, WeActor* other, int)
{
    if (!trigger || !other || !trigger->m_GameContact || !other->m_GameContact)
        return;
    WeActor* pair[2] = {trigger, other};
    for (int i = 0; i < 2; ++i)
        if (pair[i]->m_Type == ActorKindTuber && IsPickupKind(pair[1 - i]->m_Type))
        {
            CPickup* pickup = static_cast<CPickup*>(pair[1 - i]);
            if (pickup->m_Available)
                CollectRacePickup(static_cast<CTuber*>(pair[i]), pickup);
            break;
        }
    for (int i = 0; i < 2; ++i)
    {
        if (pair[i]->m_Type != ActorKindExplosion)
            continue;
        WeActor* o = pair[1 - i];
        if (o->m_Type == ActorKindTuber)
        {
            static_cast<CExplosion*>(pair[i])->AffectTuber(static_cast<CTuber*>(o));
            return;
        }
        if (o->m_Type == ActorKindMine)
        {
            static_cast<CWeapon*>(o)->OnCollision(pair[i]);
            return;
        }
    }
    for (int i = 0; i < 2; ++i)
        if (pair[i]->m_Type == ActorKindTrigger)
        {
            DispatchTrigger(pair[i], pair[1 - i]);
            return;
        }
}

void CollectRacePickup(CTuber* craft, CPickup* pickup)
{
    pickup->Take();
    craft->CollectPickup(pickup);
}
