#pragma once
#include <string>
#include <vector>

#include "Platform/physics/NxMat34.h"

class NxActorDesc;
class NxScene;
class NxShape;
class btCollisionShape;
class btRigidBody;

// A rigid actor. Static actors (created without a body) are fixed Bullet bodies; every call that only
// makes sense for a body does nothing on them. After releaseActor the object stays valid but inert:
// every call on it is harmless and returns defaults.
class NxActor
{
public:
    ~NxActor();
    NxActor(const NxActor&) = delete;
    NxActor& operator=(const NxActor&) = delete;

    NxScene& getScene() const { return *scene_; }
    bool isReleased() const { return released_; }

    // Poses.
    NxMat34 getGlobalPose() const;
    NxVec3 getGlobalPosition() const { return getGlobalPose().t; }
    NxMat33 getGlobalOrientation() const { return getGlobalPose().M; }
    NxQuat getGlobalOrientationQuat() const;
    void setGlobalPose(const NxMat34& pose);
    void setGlobalPosition(const NxVec3& p);
    void setGlobalOrientation(const NxMat33& m);
    void setGlobalOrientationQuat(const NxQuat& q) { setGlobalOrientation(NxMat33(q)); }
    // Kinematic bodies travel to the target over the next step, pushing what is in the way. Any other
    // body is placed at once, as by the set calls.
    void moveGlobalPose(const NxMat34& pose);
    void moveGlobalPosition(const NxVec3& p);
    void moveGlobalOrientation(const NxMat33& m);
    void moveGlobalOrientationQuat(const NxQuat& q) { moveGlobalOrientation(NxMat33(q)); }

    // Velocities and forces (bodies only; zero for static actors).
    void setLinearVelocity(const NxVec3& v);
    NxVec3 getLinearVelocity() const;
    void setAngularVelocity(const NxVec3& w);
    NxVec3 getAngularVelocity() const;
    void addForce(const NxVec3& force, NxForceMode mode = NX_FORCE, bool wakeup = true);
    void addTorque(const NxVec3& torque, NxForceMode mode = NX_FORCE, bool wakeup = true);
    NxReal getMass() const { return mass_; }
    // Angular speed cap applied after every sub-step; below 0, the SDK's NX_MAX_ANGULAR_VELOCITY.
    void setMaxAngularVelocity(NxReal maxAngVel) { maxAngularVelocity_ = maxAngVel; }
    NxReal getMaxAngularVelocity() const;

    // Flags.
    void raiseActorFlag(NxActorFlag flag) { setActorFlags(actorFlags_ | flag); }
    void clearActorFlag(NxActorFlag flag) { setActorFlags(actorFlags_ & ~NxU32(flag)); }
    bool readActorFlag(NxActorFlag flag) const { return (actorFlags_ & flag) != 0; }
    void raiseBodyFlag(NxBodyFlag flag) { setBodyFlags(bodyFlags_ | flag); }
    void clearBodyFlag(NxBodyFlag flag) { setBodyFlags(bodyFlags_ & ~NxU32(flag)); }
    bool readBodyFlag(NxBodyFlag flag) const { return (bodyFlags_ & flag) != 0; }

    // Body state.
    bool isDynamic() const { return body_ != nullptr && dynamic_; }
    bool isSleeping() const;
    void putToSleep();
    void wakeUp(NxReal wakeCounterValue = 0.4f);
    NxReal getWakeUpCounter() const;
    void setCCDMotionThreshold(NxReal threshold);
    NxReal getCCDMotionThreshold() const { return ccdThreshold_; }

    // Groups and shapes.
    void setGroup(NxActorGroup group);
    NxActorGroup getGroup() const { return group_; }
    NxU32 getNbShapes() const { return static_cast<NxU32>(shapes_.size()); }
    NxShape* const* getShapes() const { return shapes_.data(); }

    void setName(const char* name) { name_ = name ? name : ""; }
    const char* getName() const { return name_.c_str(); }
    void* userData = nullptr;

    // Internal to the layer.
    btRigidBody* bulletBody() const { return body_; }
    bool isKinematic() const { return isDynamic() && readBodyFlag(NX_BF_KINEMATIC); }
    bool isStaticActor() const { return !dynamic_; }
    NxU32 serial() const { return serial_; }
    NxShape* solidShape(int child) const;
    NxU32 solidShapeCount() const { return static_cast<NxU32>(solid_.size()); }
    bool hasCollidingShape(NxCollisionGroup group) const;
    void rebuildCollision();  // after a shape changed whether it is a trigger
    void refreshCCD();
    // Per step: forces and kinematic moves spread over the step's sub-steps.
    void beginStep(NxU32 subSteps, NxReal subStepTime);
    void beginSubStep(NxU32 index);
    void endSubStep();
    void endStep();
    bool sleepingAtStepStart = false;

private:
    friend class NxScene;
    NxActor(NxScene* scene, const NxActorDesc& desc, NxU32 serial);
    bool valid() const { return !released_ && body_ != nullptr; }
    void release();
    void placeBody(const NxMat34& pose);
    void setActorFlags(NxU32 flags);
    void setBodyFlags(NxU32 flags);

    NxScene* scene_;
    bool released_ = false;
    bool dynamic_ = false;
    NxU32 serial_;
    std::vector<NxShape*> shapes_;
    std::vector<NxShape*> solid_;
    btRigidBody* body_ = nullptr;
    btCollisionShape* root_ = nullptr;  // owned when it is a compound or the empty stand-in
    bool ownsRoot_ = false;
    NxU32 actorFlags_ = 0;
    NxU32 bodyFlags_ = 0;
    NxActorGroup group_ = 0;
    NxReal mass_ = 0;
    NxVec3 inertia_;
    NxReal ccdThreshold_ = 0;
    NxReal linearDamping_ = 0, angularDamping_ = 0;
    NxReal maxAngularVelocity_ = -1;
    // Force accumulators for the next step: plain forces (N), and amounts that the smooth modes spread
    // evenly over the step.
    NxVec3 force_, torque_, smoothImpulse_, smoothAngularImpulse_, smoothVelocity_, smoothAngularVelocity_;
    NxVec3 acceleration_, angularAcceleration_;
    bool hasMoveTarget_ = false;
    NxMat34 moveTarget_, moveStart_;
    NxU32 stepSubSteps_ = 0;
    NxReal stepSubStepTime_ = 0;
    std::string name_;
};
