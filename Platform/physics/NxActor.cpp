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

NxActor::NxActor(NxScene* scene, const NxActorDesc& desc, NxU32 serial) : scene_(scene), serial_(serial)
{
    dynamic_ = desc.body != nullptr;
    actorFlags_ = desc.flags;
    group_ = desc.group;
    userData = desc.userData;
    setName(desc.name);
    for (const NxShapeDesc* sd : desc.shapes)
        shapes_.push_back(new NxShape(this, *sd, dynamic_));
    if (dynamic_)
    {
        const NxBodyDesc& b = *desc.body;
        bodyFlags_ = b.flags;
        linearDamping_ = b.linearDamping;
        angularDamping_ = b.angularDamping;
        ccdThreshold_ = b.CCDMotionThreshold;
        maxAngularVelocity_ = b.maxAngularVelocity;
        if (b.mass > 0)
        {
            mass_ = b.mass;
        }
        else
        {
            for (const NxShape* s : shapes_)
            {
                if (s->isTrigger())
                    continue;
                mass_ +=
                    s->getMass() > 0 ? s->getMass() : (desc.density > 0 ? desc.density : s->getDensity()) * s->volume();
            }
            if (!(mass_ > 0))
                mass_ = 1;
        }
    }
    rebuildCollision();
    if (body_ && dynamic_)
    {
        const NxBodyDesc& b = *desc.body;
        btRigidBody* rb = body_;
        placeBody(desc.globalPose);
        if (!isKinematic())
        {
            rb->setLinearVelocity(NxToBullet(b.linearVelocity));
            rb->setAngularVelocity(NxToBullet(b.angularVelocity));
            wakeUp(b.wakeUpCounter);
        }
        const NxPhysicsSDK& sdk = scene_->getPhysicsSDK();
        const NxReal lin = b.sleepLinearVelocity >= 0 ? b.sleepLinearVelocity
                                                      : std::sqrt(sdk.getParameter(NX_DEFAULT_SLEEP_LIN_VEL_SQUARED));
        const NxReal ang = b.sleepAngularVelocity >= 0 ? b.sleepAngularVelocity
                                                       : std::sqrt(sdk.getParameter(NX_DEFAULT_SLEEP_ANG_VEL_SQUARED));
        rb->setSleepingThresholds(lin, ang);
    }
    else if (body_)
    {
        placeBody(desc.globalPose);
    }
}

NxActor::~NxActor()
{
    release();
    for (NxShape* s : shapes_)
        delete s;
}

void NxActor::release()
{
    if (released_)
        return;
    released_ = true;
    NxBulletWorld* world = scene_->bulletWorld();
    for (NxShape* s : shapes_)
    {
        if (btCollisionObject* t = s->triggerObject())
        {
            world->removeCollisionObject(t);
            delete t;
            s->setTriggerObject(nullptr);
        }
    }
    if (body_)
    {
        world->removeRigidBody(body_);
        scene_->replaceClothAnchors(body_, nullptr);  // cloths fixed to the body let go
        delete body_;
        body_ = nullptr;
    }
    if (ownsRoot_)
    {
        scene_->forgetShape(root_);
        delete root_;
    }
    root_ = nullptr;
    ownsRoot_ = false;
    for (NxShape* s : shapes_)
        s->releaseBullet();
    solid_.clear();
}

void NxActor::rebuildCollision()
{
    if (released_)
        return;
    NxBulletWorld* world = scene_->bulletWorld();
    btTransform pose = btTransform::getIdentity();
    btVector3 lin(0, 0, 0), ang(0, 0, 0);
    int activation = ACTIVE_TAG;
    btScalar deactivation = 0;
    // The old body lives on until the new one exists, so cloths fixed to it can move over.
    btRigidBody* old = body_;
    if (old)
    {
        pose = old->getWorldTransform();
        lin = old->getLinearVelocity();
        ang = old->getAngularVelocity();
        activation = old->getActivationState();
        deactivation = old->getDeactivationTime();
        world->removeRigidBody(old);
        body_ = nullptr;
    }
    for (NxShape* s : shapes_)
    {
        if (btCollisionObject* t = s->triggerObject())
        {
            world->removeCollisionObject(t);
            delete t;
            s->setTriggerObject(nullptr);
        }
    }
    if (ownsRoot_)
    {
        scene_->forgetShape(root_);
        delete root_;
    }
    root_ = nullptr;

    solid_.clear();
    for (NxShape* s : shapes_)
        if (!s->isTrigger())
            solid_.push_back(s);
    if (solid_.size() == 1 && isIdentity(solid_[0]->getLocalPose()))
    {
        root_ = solid_[0]->bulletShape();
        ownsRoot_ = false;
    }
    else if (solid_.empty())
    {
        root_ = new btEmptyShape();
        ownsRoot_ = true;
    }
    else
    {
        auto* compound = new btCompoundShape(false, static_cast<int>(solid_.size()));
        for (NxShape* s : solid_)
            compound->addChildShape(NxToBullet(s->getLocalPose()), s->bulletShape());
        root_ = compound;
        ownsRoot_ = true;
    }

    const bool moving = dynamic_ && !readBodyFlag(NX_BF_KINEMATIC);
    btVector3 inertia(0, 0, 0);
    if (moving)
    {
        if (solid_.empty())
            inertia.setValue(mass_, mass_, mass_);
        else
            root_->calculateLocalInertia(mass_, inertia);
    }
    inertia_ = NxFromBullet(inertia);
    btRigidBody::btRigidBodyConstructionInfo info(moving ? mass_ : 0, nullptr, root_, inertia);
    info.m_linearDamping = linearDamping_;
    info.m_angularDamping = angularDamping_;
    body_ = new btRigidBody(info);
    body_->setUserIndex(NX_BT_ACTOR);
    body_->setUserPointer(this);
    body_->setWorldTransform(pose);
    body_->setInterpolationWorldTransform(pose);
    int cf = body_->getCollisionFlags();
    if (dynamic_ && !moving)
        cf = (cf & ~btCollisionObject::CF_STATIC_OBJECT) | btCollisionObject::CF_KINEMATIC_OBJECT;
    if (actorFlags_ & NX_AF_DISABLE_RESPONSE)
        cf |= btCollisionObject::CF_NO_CONTACT_RESPONSE;
    body_->setCollisionFlags(cf);
    if (moving && readBodyFlag(NX_BF_DISABLE_GRAVITY))
        body_->setFlags(body_->getFlags() | BT_DISABLE_WORLD_GRAVITY);
    world->addRigidBody(body_);
    if (moving)
    {
        NxVec3 g;
        scene_->getGravity(g);
        body_->setGravity(readBodyFlag(NX_BF_DISABLE_GRAVITY) ? btVector3(0, 0, 0) : NxToBullet(g));
        const NxU32 f = bodyFlags_;
        body_->setLinearFactor(
            btVector3(f & NX_BF_FROZEN_POS_X ? 0 : 1, f & NX_BF_FROZEN_POS_Y ? 0 : 1, f & NX_BF_FROZEN_POS_Z ? 0 : 1));
        body_->setAngularFactor(
            btVector3(f & NX_BF_FROZEN_ROT_X ? 0 : 1, f & NX_BF_FROZEN_ROT_Y ? 0 : 1, f & NX_BF_FROZEN_ROT_Z ? 0 : 1));
        if (old)
        {
            body_->setLinearVelocity(lin);
            body_->setAngularVelocity(ang);
            body_->forceActivationState(activation == DISABLE_DEACTIVATION ? ACTIVE_TAG : activation);
            body_->setDeactivationTime(deactivation);
        }
    }
    else if (dynamic_)
    {
        body_->forceActivationState(DISABLE_DEACTIVATION);
    }

    for (NxShape* s : shapes_)
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
        scene_->replaceClothAnchors(old, body_);
        delete old;
    }
    refreshCCD();
    scene_->markFiltersDirty(this);
}

void NxActor::refreshCCD()
{
    if (!valid() || !dynamic_)
        return;
    const bool enabled = scene_->getPhysicsSDK().getParameter(NX_CONTINUOUS_CD) != 0 && ccdThreshold_ > 0;
    NxReal radius = 0;
    for (const NxShape* s : solid_)
    {
        const NxReal r = s->sweptSphereRadius();
        if (r > 0)
            radius = radius > 0 ? std::min(radius, r) : r;
    }
    body_->setCcdMotionThreshold(enabled && radius > 0 ? ccdThreshold_ : 0);
    body_->setCcdSweptSphereRadius(radius);
}

void NxActor::setCCDMotionThreshold(NxReal threshold)
{
    if (released_ || !dynamic_)
        return;
    ccdThreshold_ = threshold > 0 ? threshold : 0;
    refreshCCD();
}

NxShape* NxActor::solidShape(int child) const
{
    if (child < 0 || static_cast<size_t>(child) >= solid_.size())
        return solid_.empty() ? nullptr : solid_[0];
    return solid_[child];
}

bool NxActor::hasCollidingShape(NxCollisionGroup group) const
{
    for (const NxShape* s : solid_)
        if (!s->getFlag(NX_SF_DISABLE_COLLISION) && scene_->getGroupCollisionFlag(group, s->getGroup()))
            return true;
    return false;
}

// ---- poses

NxMat34 NxActor::getGlobalPose() const
{
    if (!valid())
        return NxMat34();
    return NxFromBullet(body_->getWorldTransform());
}

NxQuat NxActor::getGlobalOrientationQuat() const
{
    if (!valid())
        return NxQuat();
    return NxFromBullet(body_->getWorldTransform().getRotation());
}

void NxActor::placeBody(const NxMat34& pose)
{
    const btTransform t = NxToBullet(pose);
    body_->setWorldTransform(t);
    body_->setInterpolationWorldTransform(t);
    for (NxShape* s : shapes_)
        if (btCollisionObject* o = s->triggerObject())
            o->setWorldTransform(t * NxToBullet(s->getLocalPose()));
}

void NxActor::setGlobalPose(const NxMat34& pose)
{
    if (!valid())
        return;
    hasMoveTarget_ = false;
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
    moveTarget_ = pose;
    hasMoveTarget_ = true;
}

void NxActor::moveGlobalPosition(const NxVec3& p)
{
    NxMat34 pose = hasMoveTarget_ ? moveTarget_ : getGlobalPose();
    pose.t = p;
    moveGlobalPose(pose);
}

void NxActor::moveGlobalOrientation(const NxMat33& m)
{
    NxMat34 pose = hasMoveTarget_ ? moveTarget_ : getGlobalPose();
    pose.M = m;
    moveGlobalPose(pose);
}

// ---- velocities and forces

void NxActor::setLinearVelocity(const NxVec3& v)
{
    if (!valid() || !dynamic_ || isKinematic())
        return;
    body_->setLinearVelocity(NxToBullet(v));
    if (!v.isZero() && isSleeping())
        wakeUp();
}

NxVec3 NxActor::getLinearVelocity() const
{
    if (!valid() || !dynamic_)
        return NxVec3();
    return NxFromBullet(body_->getLinearVelocity());
}

void NxActor::setAngularVelocity(const NxVec3& w)
{
    if (!valid() || !dynamic_ || isKinematic())
        return;
    body_->setAngularVelocity(NxToBullet(w));
    if (!w.isZero() && isSleeping())
        wakeUp();
}

NxVec3 NxActor::getAngularVelocity() const
{
    if (!valid() || !dynamic_)
        return NxVec3();
    return NxFromBullet(body_->getAngularVelocity());
}

void NxActor::addForce(const NxVec3& f, NxForceMode mode, bool wakeup)
{
    if (!valid() || !dynamic_ || isKinematic())
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
    case NX_FORCE: force_ += f; break;
    case NX_IMPULSE: body_->applyCentralImpulse(NxToBullet(f)); break;
    case NX_VELOCITY_CHANGE:
        body_->setLinearVelocity(body_->getLinearVelocity() + NxToBullet(f) * body_->getLinearFactor());
        break;
    case NX_SMOOTH_IMPULSE: smoothImpulse_ += f; break;
    case NX_SMOOTH_VELOCITY_CHANGE: smoothVelocity_ += f; break;
    case NX_ACCELERATION: acceleration_ += f; break;
    }
}

void NxActor::addTorque(const NxVec3& t, NxForceMode mode, bool wakeup)
{
    if (!valid() || !dynamic_ || isKinematic())
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
    case NX_FORCE: torque_ += t; break;
    case NX_IMPULSE: body_->applyTorqueImpulse(NxToBullet(t)); break;
    case NX_VELOCITY_CHANGE:
        body_->setAngularVelocity(body_->getAngularVelocity() + NxToBullet(t) * body_->getAngularFactor());
        break;
    case NX_SMOOTH_IMPULSE: smoothAngularImpulse_ += t; break;
    case NX_SMOOTH_VELOCITY_CHANGE: smoothAngularVelocity_ += t; break;
    case NX_ACCELERATION: angularAcceleration_ += t; break;
    }
}

void NxActor::beginStep(NxU32 subSteps, NxReal subStepTime)
{
    stepSubSteps_ = subSteps;
    stepSubStepTime_ = subStepTime;
    if (hasMoveTarget_ && valid())
        moveStart_ = getGlobalPose();
}

void NxActor::beginSubStep(NxU32 index)
{
    if (!valid() || !dynamic_ || stepSubSteps_ == 0)
        return;
    if (isKinematic())
    {
        if (hasMoveTarget_)
        {
            // Bullet derives the kinematic velocity from this jump, so the solver pushes what is in the way.
            const NxMat34 p = interpolate(moveStart_, moveTarget_, NxReal(index + 1) / NxReal(stepSubSteps_));
            const btTransform t = NxToBullet(p);
            body_->setWorldTransform(t);
        }
        return;
    }
    if (isSleeping())
        return;
    const NxReal share = 1.0f / NxReal(stepSubSteps_);
    const NxReal h = stepSubStepTime_;
    btVector3 dv = NxToBullet(smoothVelocity_ * share + acceleration_ * h);
    if (mass_ > 0)
        dv += NxToBullet(smoothImpulse_ * (share / mass_));
    body_->setLinearVelocity(body_->getLinearVelocity() + dv * body_->getLinearFactor());
    btVector3 dw = NxToBullet(smoothAngularVelocity_ * share + angularAcceleration_ * h);
    dw += body_->getInvInertiaTensorWorld() * NxToBullet(smoothAngularImpulse_ * share);
    body_->setAngularVelocity(body_->getAngularVelocity() + dw * body_->getAngularFactor());
    if (!force_.isZero())
        body_->applyCentralForce(NxToBullet(force_));
    if (!torque_.isZero())
        body_->applyTorque(NxToBullet(torque_));
}

NxReal NxActor::getMaxAngularVelocity() const
{
    return maxAngularVelocity_ >= 0 ? maxAngularVelocity_
                                    : scene_->getPhysicsSDK().getParameter(NX_MAX_ANGULAR_VELOCITY);
}

void NxActor::endSubStep()
{
    if (!valid() || !dynamic_ || isKinematic())
        return;
    const btScalar cap = getMaxAngularVelocity();
    const btVector3 w = body_->getAngularVelocity();
    if (cap >= 0 && w.length2() > cap * cap)
        body_->setAngularVelocity(w * (cap / w.length()));
}

void NxActor::endStep()
{
    if (stepSubSteps_ == 0)
        return;  // nothing was simulated: what was asked for waits for the next step
    force_.zero();
    torque_.zero();
    smoothImpulse_.zero();
    smoothAngularImpulse_.zero();
    smoothVelocity_.zero();
    smoothAngularVelocity_.zero();
    acceleration_.zero();
    angularAcceleration_.zero();
    if (hasMoveTarget_ && valid())
    {
        hasMoveTarget_ = false;
        const btTransform t = NxToBullet(moveTarget_);
        body_->setWorldTransform(t);
    }
    stepSubSteps_ = 0;
}

// ---- flags

void NxActor::setActorFlags(NxU32 flags)
{
    if (released_)
        return;
    const NxU32 changed = actorFlags_ ^ flags;
    actorFlags_ = flags;
    if (!body_)
        return;
    if (changed & NX_AF_DISABLE_RESPONSE)
    {
        int cf = body_->getCollisionFlags();
        cf = (flags & NX_AF_DISABLE_RESPONSE) ? (cf | btCollisionObject::CF_NO_CONTACT_RESPONSE)
                                              : (cf & ~btCollisionObject::CF_NO_CONTACT_RESPONSE);
        body_->setCollisionFlags(cf);
    }
    if (changed & NX_AF_DISABLE_COLLISION)
        scene_->markFiltersDirty(this);
}

void NxActor::setBodyFlags(NxU32 flags)
{
    if (released_ || !dynamic_)
        return;
    const NxU32 changed = bodyFlags_ ^ flags;
    bodyFlags_ = flags;
    if (!changed || !body_)
        return;
    if (changed & NX_BF_KINEMATIC)
    {
        hasMoveTarget_ = false;
        rebuildCollision();
        if (!(flags & NX_BF_KINEMATIC))
        {
            body_->setLinearVelocity(btVector3(0, 0, 0));
            body_->setAngularVelocity(btVector3(0, 0, 0));
            wakeUp();
        }
        return;
    }
    if (changed & NX_BF_DISABLE_GRAVITY)
    {
        NxVec3 g;
        scene_->getGravity(g);
        if (flags & NX_BF_DISABLE_GRAVITY)
        {
            body_->setFlags(body_->getFlags() | BT_DISABLE_WORLD_GRAVITY);
            body_->setGravity(btVector3(0, 0, 0));
        }
        else
        {
            body_->setFlags(body_->getFlags() & ~BT_DISABLE_WORLD_GRAVITY);
            body_->setGravity(NxToBullet(g));
            if (isSleeping())
                wakeUp();  // a body left floating would never notice its weight
        }
    }
    const NxU32 f = flags;
    body_->setLinearFactor(
        btVector3(f & NX_BF_FROZEN_POS_X ? 0 : 1, f & NX_BF_FROZEN_POS_Y ? 0 : 1, f & NX_BF_FROZEN_POS_Z ? 0 : 1));
    body_->setAngularFactor(
        btVector3(f & NX_BF_FROZEN_ROT_X ? 0 : 1, f & NX_BF_FROZEN_ROT_Y ? 0 : 1, f & NX_BF_FROZEN_ROT_Z ? 0 : 1));
}

void NxActor::setGroup(NxActorGroup group)
{
    if (released_ || group == group_)
        return;
    group_ = group;
    scene_->markFiltersDirty(this);
}

// ---- sleep

bool NxActor::isSleeping() const
{
    return valid() && dynamic_ && !isKinematic() && body_->getActivationState() == ISLAND_SLEEPING;
}

void NxActor::putToSleep()
{
    if (!valid() || !dynamic_ || isKinematic())
        return;
    body_->setLinearVelocity(btVector3(0, 0, 0));
    body_->setAngularVelocity(btVector3(0, 0, 0));
    body_->forceActivationState(ISLAND_SLEEPING);
}

void NxActor::wakeUp(NxReal wakeCounterValue)
{
    if (!valid() || !dynamic_ || isKinematic())
        return;
    body_->forceActivationState(ACTIVE_TAG);
    // Bullet sleeps a body once it has rested for gDeactivationTime; starting its rest clock that much
    // below zero keeps it awake for the counter's time.
    body_->setDeactivationTime(gDeactivationTime - wakeCounterValue);
}

NxReal NxActor::getWakeUpCounter() const
{
    if (!valid() || !dynamic_ || isSleeping())
        return 0;
    return std::max(0.0f, gDeactivationTime - body_->getDeactivationTime());
}
