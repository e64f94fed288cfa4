// The report objects of WePhysics and its ray queries: SDK bodies become their owning actors here.
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeWorld.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxRay.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"

namespace
{

WePhysicHandle* HandleOf(const NxActor* actor)
{
    return actor ? static_cast<WePhysicHandle*>(actor->userData) : nullptr;
}

// The owner of a body, or null when there is none or it is about to be deleted.
WeActor* LiveOwner(const NxActor* actor)
{
    WePhysicHandle* handle = HandleOf(actor);
    if (!handle || !handle->m_Owner || handle->m_Owner->m_PendingDeletion)
        return nullptr;
    return handle->m_Owner;
}

D3DXVECTOR3 FromNx(const NxVec3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

void FillHit(const NxRaycastHit& from, WeRaycastHit& to)
{
    WePhysicHandle* handle = from.shape ? HandleOf(&from.shape->getActor()) : nullptr;
    to.actor = handle ? handle->m_Owner : nullptr;
    to.impact = FromNx(from.worldImpact);
    to.normal = FromNx(from.worldNormal);
    to.face = from.faceID;
    to.material = from.materialIndex;
    to.distance = from.distance;
    to.u = from.u;
    to.v = from.v;
}

NxRay Ray(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction)
{
    return NxRay(NxVec3(origin.x, origin.y, origin.z), NxVec3(direction.x, direction.y, direction.z));
}

}  // namespace

void WePhysics::CollisionCallback::onContactNotify(NxContactPair& pair, NxU32 events)
{
    if (pair.isDeletedActor[0] || pair.isDeletedActor[1])
        return;
    WeActor* first = LiveOwner(pair.actors[0]);
    WeActor* second = LiveOwner(pair.actors[1]);
    if (!first || !second)
        return;
    if (events == NX_NOTIFY_ON_START_TOUCH && (first->m_Teleporter || second->m_Teleporter))
    {
        WeActor* teleporter = first->m_Teleporter ? first : second;
        WeActor* traveller = teleporter == first ? second : first;
        if (teleporter->m_TeleportTargetLabel.IsEmpty() || !teleporter->m_World)
            return;
        WeActor* target = teleporter->m_World->FindActorByLabel(teleporter->m_TeleportTargetLabel);
        if (!target)
            return;
        // All reports of one fetch share the frame's instant, so a second touch in it does not count.
        // Only the pose is written here; the race moves the traveller after the step.
        const float now = g_Timer.m_TotalTimeF;
        if (now > traveller->m_TeleportTime)
        {
            traveller->m_TeleportTargetMatrix = target->GetWorldMatrix();
            traveller->m_TeleportPending = true;
            traveller->m_TeleportTime = now;
        }
        return;
    }
    WeContactCallback callback = g_Physics.m_ContactCallback;
    if (!callback)
        return;
    D3DXVECTOR3 point;
    NxContactStreamIterator it(pair.stream);
    if (it.goNextPair() && it.goNextPatch() && it.goNextPoint())
        point = FromNx(it.getPoint());
    const D3DXVECTOR3 normalForce = FromNx(pair.sumNormalForce);
    const D3DXVECTOR3 frictionForce = FromNx(pair.sumFrictionForce);
    callback(first, second, &normalForce, &frictionForce, static_cast<int>(events), &point);
}

void WePhysics::TriggerCallback::onTrigger(NxShape& triggerShape, NxShape& otherShape, NxTriggerFlag status)
{
    WeTriggerCallback callback = g_Physics.m_TriggerCallback;
    if (!callback)
        return;
    WeActor* trigger = LiveOwner(&triggerShape.getActor());
    WeActor* other = LiveOwner(&otherShape.getActor());
    if (trigger && other)
        callback(trigger, other, static_cast<int>(status));
}

void WePhysics::SleepWakeUpCallback::onWake(NxActor** actors, NxU32 count)
{
    // An actor without a handle is skipped; the rest of the batch is still reported.
    for (NxU32 i = 0; i < count; ++i)
    {
        WePhysicHandle* handle = HandleOf(actors[i]);
        if (handle && handle->m_Owner && g_Physics.m_WakeCallback)
            g_Physics.m_WakeCallback(handle->m_Owner);
    }
}

void WePhysics::SleepWakeUpCallback::onSleep(NxActor** actors, NxU32 count)
{
    for (NxU32 i = 0; i < count; ++i)
    {
        WePhysicHandle* handle = HandleOf(actors[i]);
        if (handle && handle->m_Owner && g_Physics.m_SleepCallback)
            g_Physics.m_SleepCallback(handle->m_Owner);
    }
}

bool WePhysics::RaycastReport::onHit(const NxRaycastHit& hit)
{
    if (m_Hits)
        FillHit(hit, m_Hits->PushBack());
    return true;
}

bool WePhysics::RaycastAny(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes, uint32_t groups,
                           float maxDistance)
{
    if (!m_Initialised)
        return false;
    return m_Scene->raycastAnyShape(Ray(origin, direction), static_cast<NxShapesType>(shapeTypes), groups, maxDistance,
                                    nullptr, nullptr);
}

bool WePhysics::RaycastAll(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes,
                           WeList<WeRaycastHit>& hits, uint32_t groups, float maxDistance, uint32_t hintFlags)
{
    if (!m_Initialised)
        return false;
    // A query made from inside a report must not take the outer query's list away.
    WeList<WeRaycastHit>* outer = s_RaycastReport.m_Hits;
    s_RaycastReport.m_Hits = &hits;
    const NxU32 n = m_Scene->raycastAllShapes(Ray(origin, direction), s_RaycastReport,
                                              static_cast<NxShapesType>(shapeTypes), groups, maxDistance, hintFlags);
    s_RaycastReport.m_Hits = outer;
    return n > 0;
}

bool WePhysics::RaycastClosest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes,
                               WeRaycastHit& hit, uint32_t groups, float maxDistance, uint32_t hintFlags)
{
    if (!m_Initialised)
        return false;
    NxRaycastHit result;
    if (!m_Scene->raycastClosestShape(Ray(origin, direction), static_cast<NxShapesType>(shapeTypes), result, groups,
                                      maxDistance, hintFlags))
        return false;
    FillHit(result, hit);
    return true;
}
