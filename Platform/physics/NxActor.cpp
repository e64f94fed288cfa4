#include "Platform/physics/NxActor.h"

#include <algorithm>
#include <cmath>

#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxBulletPose.h"
#include "Platform/physics/NxBulletWorld.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxShapeDesc.h"

namespace
{

bool isIdentity(const NxMat34& p)
{
    const NxMat33 id;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (p.M.m[r][c] != id.m[r][c])
                return false;
    return p.t.isZero();
}

NxMat34 interpolate(const NxMat34& a, const NxMat34& b, NxReal f)
{
    const btTransform ta = NxToBullet(a), tb = NxToBullet(b);
    const btQuaternion q = ta.getRotation().slerp(tb.getRotation(), f);
    const btVector3 p = ta.getOrigin().lerp(tb.getOrigin(), f);
    return NxFromBullet(btTransform(q, p));
}

}  // namespace

bool NxActorDesc::isValid() const
{
    if (density < 0)
        return false;
    if (body && !body->isValid())
        return false;
    if (shapes.isEmpty())
        return body && body->mass > 0;
    for (const NxShapeDesc* s : shapes)
        if (!s || !s->isValid())
            return false;
    return true;
}

NxActor::NxActor(NxScene* scene, const NxActorDesc& desc, NxU32 serial) : m_Scene(scene), m_Serial(serial)
{
    m_Dynamic = desc.body != nullptr;
    m_ActorFlags = desc.flags;
    m_Group = desc.group;
    userData = desc.userData;
    setName(desc.name);
    for (const NxShapeDesc* sd : desc.shapes)
        m_Shapes.push_back(new NxShape(this, *sd, m_Dynamic));
    if (m_Dynamic)
    {
        const NxBodyDesc& b = *desc.body;
        m_BodyFlags = b.flags;
        m_LinearDamping = b.linearDamping;
        m_AngularDamping = b.angularDamping;
        m_CcdThreshold = b.CCDMotionThreshold;
        m_MaxAngularVelocity = b.maxAngularVelocity;
        if (b.mass > 0)
        {
            m_Mass = b.mass;
        }
        else
        {
            for (const NxShape* s : m_Shapes)
            {
                if (s->isTrigger())
                    continue;
                m_Mass +=
                    s->getMass() > 0 ? s->getMass() : (desc.density > 0 ? desc.density : s->getDensity()) * s->volume();
            }
            if (!(m_Mass > 0))
                m_Mass = 1;
        }
    }
    rebuildCollision();
    if (m_Body && m_Dynamic)
    {
        const NxBodyDesc& b = *desc.body;
        btRigidBody* rb = m_Body;
        placeBody(desc.globalPose);
        if (!isKinematic())
        {
            rb->setLinearVelocity(NxToBullet(b.linearVelocity));
            rb->setAngularVelocity(NxToBullet(b.angularVelocity));
            wakeUp(b.wakeUpCounter);
        }
        const NxPhysicsSDK& sdk = m_Scene->getPhysicsSDK();
        const NxReal lin = b.sleepLinearVelocity >= 0 ? b.sleepLinearVelocity
                                                      : std::sqrt(sdk.getParameter(NX_DEFAULT_SLEEP_LIN_VEL_SQUARED));
        const NxReal ang = b.sleepAngularVelocity >= 0 ? b.sleepAngularVelocity
                                                       : std::sqrt(sdk.getParameter(NX_DEFAULT_SLEEP_ANG_VEL_SQUARED));
        rb->setSleepingThresholds(lin, ang);
    }
    else if (m_Body)
    {
        placeBody(desc.globalPose);
    }
}

NxActor::~NxActor()
{
    release();
    for (NxShape* s : m_Shapes)
        delete s;
}

void NxActor::release()
{
    if (m_Released)
        return;
    m_Released = true;
    NxBulletWorld* world = m_Scene->bulletWorld();
    for (NxShape* s : m_Shapes)
    {
        if (btCollisionObject* t = s->triggerObject())
        {
            world->removeCollisionObject(t);
            delete t;
            s->setTriggerObject(nullptr);
        }
    }
    if (m_Body)
    {
        world->removeRigidBody(m_Body);
        m_Scene->replaceClothAnchors(m_Body, nullptr);  // cloths fixed to the body let go
        delete m_Body;
        m_Body = nullptr;
    }
    if (m_OwnsRoot)
    {
        m_Scene->forgetShape(m_Root);
        delete m_Root;
    }
    m_Root = nullptr;
    m_OwnsRoot = false;
    for (NxShape* s : m_Shapes)
        s->releaseBullet();
    m_Solid.clear();
}

void NxActor::rebuildCollision()
{
    if (m_Released)
        return;
    NxBulletWorld* world = m_Scene->bulletWorld();
    btTransform pose = btTransform::getIdentity();
    btVector3 lin(0, 0, 0), ang(0, 0, 0);
    int activation = ACTIVE_TAG;
    btScalar deactivation = 0;
    // The old body lives on until the new one exists, so cloths fixed to it can move over.
    btRigidBody* old = m_Body;
    if (old)
    {
        pose = old->getWorldTransform();
        lin = old->getLinearVelocity();
        ang = old->getAngularVelocity();
        activation = old->getActivationState();
        deactivation = old->getDeactivationTime();
        world->removeRigidBody(old);
        m_Body = nullptr;
    }
    for (NxShape* s : m_Shapes)
    {
        if (btCollisionObject* t = s->triggerObject())
        {
            world->removeCollisionObject(t);
            delete t;
            s->setTriggerObject(nullptr);
        }
    }
    if (m_OwnsRoot)
    {
        m_Scene->forgetShape(m_Root);
        delete m_Root;
    }
    m_Root = nullptr;

    m_Solid.clear();
    for (NxShape* s : m_Shapes)
        if (!s->isTrigger())
            m_Solid.push_back(s);
    if (m_Solid.size() == 1 && isIdentity(m_Solid[0]->getLocalPose()))
    {
        m_Root = m_Solid[0]->bulletShape();
        m_OwnsRoot = false;
    }
    else if (m_Solid.empty())
    {
        m_Root = new btEmptyShape();
        m_OwnsRoot = true;
    }
    else
    {
        auto* compound = new btCompoundShape(false, static_cast<int>(m_Solid.size()));
        for (NxShape* s : m_Solid)
            compound->addChildShape(NxToBullet(s->getLocalPose()), s->bulletShape());
        m_Root = compound;
        m_OwnsRoot = true;
    }

    const bool moving = m_Dynamic && !readBodyFlag(NX_BF_KINEMATIC);
    btVector3 inertia(0, 0, 0);
    if (moving)
    {
        if (m_Solid.empty())
            inertia.setValue(m_Mass, m_Mass, m_Mass);
        else
            m_Root->calculateLocalInertia(m_Mass, inertia);
    }
    m_Inertia = NxFromBullet(inertia);
    btRigidBody::btRigidBodyConstructionInfo info(moving ? m_Mass : 0, nullptr, m_Root, inertia);
    info.m_linearDamping = m_LinearDamping;
    info.m_angularDamping = m_AngularDamping;
    m_Body = new btRigidBody(info);
    m_Body->setUserIndex(NX_BT_ACTOR);
    m_Body->setUserPointer(this);
    m_Body->setWorldTransform(pose);
    m_Body->setInterpolationWorldTransform(pose);
    int cf = m_Body->getCollisionFlags();
    if (m_Dynamic && !moving)
        cf = (cf & ~btCollisionObject::CF_STATIC_OBJECT) | btCollisionObject::CF_KINEMATIC_OBJECT;
    if (m_ActorFlags & NX_AF_DISABLE_RESPONSE)
        cf |= btCollisionObject::CF_NO_CONTACT_RESPONSE;
    m_Body->setCollisionFlags(cf);
    if (moving && readBodyFlag(NX_BF_DISABLE_GRAVITY))
        m_Body->setFlags(m_Body->getFlags() | BT_DISABLE_WORLD_GRAVITY);
    world->addRigidBody(m_Body);
    if (moving)
    {
        NxVec3 g;
        m_Scene->getGravity(g);
        m_Body->setGravity(readBodyFlag(NX_BF_DISABLE_GRAVITY) ? btVector3(0, 0, 0) : NxToBullet(g));
        const NxU32 f = m_BodyFlags;
        m_Body->setLinearFactor(
            btVector3(f & NX_BF_FROZEN_POS_X ? 0 : 1, f & NX_BF_FROZEN_POS_Y ? 0 : 1, f & NX_BF_FROZEN_POS_Z ? 0 : 1));
        m_Body->setAngularFactor(
            btVector3(f & NX_BF_FROZEN_ROT_X ? 0 : 1, f & NX_BF_FROZEN_ROT_Y ? 0 : 1, f & NX_BF_FROZEN_ROT_Z ? 0 : 1));
        if (old)
        {
            m_Body->setLinearVelocity(lin);
            m_Body->setAngularVelocity(ang);
            m_Body->forceActivationState(activation == DISABLE_DEACTIVATION ? ACTIVE_TAG : activation);
            m_Body->setDeactivationTime(deactivation);
        }
    }
    else if (m_Dynamic)
    {
        m_Body->forceActivationState(DISABLE_DEACTIVATION);
    }

    for (NxShape* s : m_Shapes)
    {
        if (!s->isTrigger())
            continue;
        auto* t = new btCollisionObject();
        t->setCollisionShape(s->bulletShape());
        t->setCollisionFlags(btCollisionObject::CF_NO_CONTACT_RESPONSE);
        t->setUserIndex(NX_BT_TRIGGER);
        t->setUserPointer(s);
        t->setWorldTransform(pose * NxToBullet(s->getLocalPose()));
        t->forceActivationState(DISABLE_DEACTIVATION);
        world->addCollisionObject(t, btBroadphaseProxy::SensorTrigger, btBroadphaseProxy::AllFilter);
        s->setTriggerObject(t);
    }
    if (old)
    {
        m_Scene->replaceClothAnchors(old, m_Body);
        delete old;
    }
    refreshCCD();
    m_Scene->markFiltersDirty(this);
}

void NxActor::refreshCCD()
{
    if (!valid() || !m_Dynamic)
        return;
    const bool enabled = m_Scene->getPhysicsSDK().getParameter(NX_CONTINUOUS_CD) != 0 && m_CcdThreshold > 0;
    NxReal radius = 0;
    for (const NxShape* s : m_Solid)
    {
        const NxReal r = s->sweptSphereRadius();
        if (r > 0)
            radius = radius > 0 ? std::min(radius, r) : r;
    }
    m_Body->setCcdMotionThreshold(enabled && radius > 0 ? m_CcdThreshold : 0);
    m_Body->setCcdSweptSphereRadius(radius);
}

void NxActor::setCCDMotionThreshold(NxReal threshold)
{
    if (m_Released || !m_Dynamic)
        return;
    m_CcdThreshold = threshold > 0 ? threshold : 0;
    refreshCCD();
}

NxShape* NxActor::solidShape(int child) const
{
    if (child < 0 || static_cast<size_t>(child) >= m_Solid.size())
        return m_Solid.empty() ? nullptr : m_Solid[0];
    return m_Solid[child];
}

bool NxActor::hasCollidingShape(NxCollisionGroup group) const
{
    for (const NxShape* s : m_Solid)
        if (!s->getFlag(NX_SF_DISABLE_COLLISION) && m_Scene->getGroupCollisionFlag(group, s->getGroup()))
            return true;
    return false;
}

// ---- poses

NxMat34 NxActor::getGlobalPose() const
{
    if (!valid())
        return NxMat34();
    return NxFromBullet(m_Body->getWorldTransform());
}

NxQuat NxActor::getGlobalOrientationQuat() const
{
    if (!valid())
        return NxQuat();
    return NxFromBullet(m_Body->getWorldTransform().getRotation());
}

void NxActor::placeBody(const NxMat34& pose)
{
    const btTransform t = NxToBullet(pose);
    m_Body->setWorldTransform(t);
    m_Body->setInterpolationWorldTransform(t);
    for (NxShape* s : m_Shapes)
        if (btCollisionObject* o = s->triggerObject())
            o->setWorldTransform(t * NxToBullet(s->getLocalPose()));
}

void NxActor::setGlobalPose(const NxMat34& pose)
{
    if (!valid())
        return;
    m_HasMoveTarget = false;
    placeBody(pose);
}

void NxActor::setGlobalPosition(const NxVec3& p)
{
    NxMat34 pose = getGlobalPose();
    pose.t = p;
    setGlobalPose(pose);
}

void NxActor::setGlobalOrientation(const NxMat33& m)
{
    NxMat34 pose = getGlobalPose();
    pose.M = m;
    setGlobalPose(pose);
}

void NxActor::moveGlobalPose(const NxMat34& pose)
{
    if (!valid())
        return;
    if (!isKinematic())
    {
        setGlobalPose(pose);
        return;
    }
    m_MoveTarget = pose;
    m_HasMoveTarget = true;
}

void NxActor::moveGlobalPosition(const NxVec3& p)
{
    NxMat34 pose = m_HasMoveTarget ? m_MoveTarget : getGlobalPose();
    pose.t = p;
    moveGlobalPose(pose);
}

void NxActor::moveGlobalOrientation(const NxMat33& m)
{
    NxMat34 pose = m_HasMoveTarget ? m_MoveTarget : getGlobalPose();
    pose.M = m;
    moveGlobalPose(pose);
}

// ---- velocities and forces

void NxActor::setLinearVelocity(const NxVec3& v)
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    m_Body->setLinearVelocity(NxToBullet(v));
    if (!v.isZero() && isSleeping())
        wakeUp();
}

NxVec3 NxActor::getLinearVelocity() const
{
    if (!valid() || !m_Dynamic)
        return NxVec3();
    return NxFromBullet(m_Body->getLinearVelocity());
}

void NxActor::setAngularVelocity(const NxVec3& w)
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    m_Body->setAngularVelocity(NxToBullet(w));
    if (!w.isZero() && isSleeping())
        wakeUp();
}

NxVec3 NxActor::getAngularVelocity() const
{
    if (!valid() || !m_Dynamic)
        return NxVec3();
    return NxFromBullet(m_Body->getAngularVelocity());
}

void NxActor::addForce(const NxVec3& f, NxForceMode mode, bool wakeup)
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    if (isSleeping())
    {
        if (!wakeup)
            return;  // a sleeping body ignores what does not wake it
        wakeUp();
    }
    else if (wakeup)
    {
        wakeUp();
    }
    switch (mode)
    {
    case NX_FORCE: m_Force += f; break;
    case NX_IMPULSE: m_Body->applyCentralImpulse(NxToBullet(f)); break;
    case NX_VELOCITY_CHANGE:
        m_Body->setLinearVelocity(m_Body->getLinearVelocity() + NxToBullet(f) * m_Body->getLinearFactor());
        break;
    case NX_SMOOTH_IMPULSE: m_SmoothImpulse += f; break;
    case NX_SMOOTH_VELOCITY_CHANGE: m_SmoothVelocity += f; break;
    case NX_ACCELERATION: m_Acceleration += f; break;
    }
}

void NxActor::addTorque(const NxVec3& t, NxForceMode mode, bool wakeup)
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    if (isSleeping())
    {
        if (!wakeup)
            return;
        wakeUp();
    }
    else if (wakeup)
    {
        wakeUp();
    }
    switch (mode)
    {
    case NX_FORCE: m_Torque += t; break;
    case NX_IMPULSE: m_Body->applyTorqueImpulse(NxToBullet(t)); break;
    case NX_VELOCITY_CHANGE:
        m_Body->setAngularVelocity(m_Body->getAngularVelocity() + NxToBullet(t) * m_Body->getAngularFactor());
        break;
    case NX_SMOOTH_IMPULSE: m_SmoothAngularImpulse += t; break;
    case NX_SMOOTH_VELOCITY_CHANGE: m_SmoothAngularVelocity += t; break;
    case NX_ACCELERATION: m_AngularAcceleration += t; break;
    }
}

void NxActor::beginStep(NxU32 subSteps, NxReal subStepTime)
{
    m_StepSubSteps = subSteps;
    m_StepSubStepTime = subStepTime;
    if (m_HasMoveTarget && valid())
        m_MoveStart = getGlobalPose();
}

void NxActor::beginSubStep(NxU32 index)
{
    if (!valid() || !m_Dynamic || m_StepSubSteps == 0)
        return;
    if (isKinematic())
    {
        if (m_HasMoveTarget)
        {
            // Bullet derives the kinematic velocity from this jump, so the solver pushes what is in the way.
            const NxMat34 p = interpolate(m_MoveStart, m_MoveTarget, NxReal(index + 1) / NxReal(m_StepSubSteps));
            const btTransform t = NxToBullet(p);
            m_Body->setWorldTransform(t);
        }
        return;
    }
    if (isSleeping())
        return;
    const NxReal share = 1.0f / NxReal(m_StepSubSteps);
    const NxReal h = m_StepSubStepTime;
    btVector3 dv = NxToBullet(m_SmoothVelocity * share + m_Acceleration * h);
    if (m_Mass > 0)
        dv += NxToBullet(m_SmoothImpulse * (share / m_Mass));
    m_Body->setLinearVelocity(m_Body->getLinearVelocity() + dv * m_Body->getLinearFactor());
    btVector3 dw = NxToBullet(m_SmoothAngularVelocity * share + m_AngularAcceleration * h);
    dw += m_Body->getInvInertiaTensorWorld() * NxToBullet(m_SmoothAngularImpulse * share);
    m_Body->setAngularVelocity(m_Body->getAngularVelocity() + dw * m_Body->getAngularFactor());
    if (!m_Force.isZero())
        m_Body->applyCentralForce(NxToBullet(m_Force));
    if (!m_Torque.isZero())
        m_Body->applyTorque(NxToBullet(m_Torque));
}

NxReal NxActor::getMaxAngularVelocity() const
{
    return m_MaxAngularVelocity >= 0 ? m_MaxAngularVelocity
                                     : m_Scene->getPhysicsSDK().getParameter(NX_MAX_ANGULAR_VELOCITY);
}

void NxActor::endSubStep()
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    const btScalar cap = getMaxAngularVelocity();
    const btVector3 w = m_Body->getAngularVelocity();
    if (cap >= 0 && w.length2() > cap * cap)
        m_Body->setAngularVelocity(w * (cap / w.length()));
}

void NxActor::endStep()
{
    if (m_StepSubSteps == 0)
        return;  // nothing was simulated: what was asked for waits for the next step
    m_Force.zero();
    m_Torque.zero();
    m_SmoothImpulse.zero();
    m_SmoothAngularImpulse.zero();
    m_SmoothVelocity.zero();
    m_SmoothAngularVelocity.zero();
    m_Acceleration.zero();
    m_AngularAcceleration.zero();
    if (m_HasMoveTarget && valid())
    {
        m_HasMoveTarget = false;
        const btTransform t = NxToBullet(m_MoveTarget);
        m_Body->setWorldTransform(t);
    }
    m_StepSubSteps = 0;
}

// ---- flags

void NxActor::setActorFlags(NxU32 flags)
{
    if (m_Released)
        return;
    const NxU32 changed = m_ActorFlags ^ flags;
    m_ActorFlags = flags;
    if (!m_Body)
        return;
    if (changed & NX_AF_DISABLE_RESPONSE)
    {
        int cf = m_Body->getCollisionFlags();
        cf = (flags & NX_AF_DISABLE_RESPONSE) ? (cf | btCollisionObject::CF_NO_CONTACT_RESPONSE)
                                              : (cf & ~btCollisionObject::CF_NO_CONTACT_RESPONSE);
        m_Body->setCollisionFlags(cf);
    }
    if (changed & NX_AF_DISABLE_COLLISION)
        m_Scene->markFiltersDirty(this);
}

void NxActor::setBodyFlags(NxU32 flags)
{
    if (m_Released || !m_Dynamic)
        return;
    const NxU32 changed = m_BodyFlags ^ flags;
    m_BodyFlags = flags;
    if (!changed || !m_Body)
        return;
    if (changed & NX_BF_KINEMATIC)
    {
        m_HasMoveTarget = false;
        rebuildCollision();
        if (!(flags & NX_BF_KINEMATIC))
        {
            m_Body->setLinearVelocity(btVector3(0, 0, 0));
            m_Body->setAngularVelocity(btVector3(0, 0, 0));
            wakeUp();
        }
        return;
    }
    if (changed & NX_BF_DISABLE_GRAVITY)
    {
        NxVec3 g;
        m_Scene->getGravity(g);
        if (flags & NX_BF_DISABLE_GRAVITY)
        {
            m_Body->setFlags(m_Body->getFlags() | BT_DISABLE_WORLD_GRAVITY);
            m_Body->setGravity(btVector3(0, 0, 0));
        }
        else
        {
            m_Body->setFlags(m_Body->getFlags() & ~BT_DISABLE_WORLD_GRAVITY);
            m_Body->setGravity(NxToBullet(g));
            if (isSleeping())
                wakeUp();  // a body left floating would never notice its weight
        }
    }
    const NxU32 f = flags;
    m_Body->setLinearFactor(
        btVector3(f & NX_BF_FROZEN_POS_X ? 0 : 1, f & NX_BF_FROZEN_POS_Y ? 0 : 1, f & NX_BF_FROZEN_POS_Z ? 0 : 1));
    m_Body->setAngularFactor(
        btVector3(f & NX_BF_FROZEN_ROT_X ? 0 : 1, f & NX_BF_FROZEN_ROT_Y ? 0 : 1, f & NX_BF_FROZEN_ROT_Z ? 0 : 1));
}

void NxActor::setGroup(NxActorGroup group)
{
    if (m_Released || group == m_Group)
        return;
    m_Group = group;
    m_Scene->markFiltersDirty(this);
}

// ---- sleep

bool NxActor::isSleeping() const
{
    return valid() && m_Dynamic && !isKinematic() && m_Body->getActivationState() == ISLAND_SLEEPING;
}

void NxActor::putToSleep()
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    m_Body->setLinearVelocity(btVector3(0, 0, 0));
    m_Body->setAngularVelocity(btVector3(0, 0, 0));
    m_Body->forceActivationState(ISLAND_SLEEPING);
}

void NxActor::wakeUp(NxReal wakeCounterValue)
{
    if (!valid() || !m_Dynamic || isKinematic())
        return;
    m_Body->forceActivationState(ACTIVE_TAG);
    // Bullet sleeps a body once it has rested for gDeactivationTime; starting its rest clock that much
    // below zero keeps it awake for the counter's time.
    m_Body->setDeactivationTime(gDeactivationTime - wakeCounterValue);
}

NxReal NxActor::getWakeUpCounter() const
{
    if (!valid() || !m_Dynamic || isSleeping())
        return 0;
    return std::max(0.0f, gDeactivationTime - m_Body->getDeactivationTime());
}
