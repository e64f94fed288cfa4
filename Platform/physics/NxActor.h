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

    NxScene& getScene() const { return *m_Scene; }
    bool isReleased() const { return m_Released; }

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
    NxReal getMass() const { return m_Mass; }
    // Angular speed cap applied after every sub-step; below 0, the SDK's NX_MAX_ANGULAR_VELOCITY.
    void setMaxAngularVelocity(NxReal maxAngVel) { m_MaxAngularVelocity = maxAngVel; }
    NxReal getMaxAngularVelocity() const;

    // Flags.
    void raiseActorFlag(NxActorFlag flag) { setActorFlags(m_ActorFlags | flag); }
    void clearActorFlag(NxActorFlag flag) { setActorFlags(m_ActorFlags & ~NxU32(flag)); }
    bool readActorFlag(NxActorFlag flag) const { return (m_ActorFlags & flag) != 0; }
    void raiseBodyFlag(NxBodyFlag flag) { setBodyFlags(m_BodyFlags | flag); }
    void clearBodyFlag(NxBodyFlag flag) { setBodyFlags(m_BodyFlags & ~NxU32(flag)); }
    bool readBodyFlag(NxBodyFlag flag) const { return (m_BodyFlags & flag) != 0; }

    // Body state.
    bool isDynamic() const { return m_Body != nullptr && m_Dynamic; }
    bool isSleeping() const;
    void putToSleep();
    void wakeUp(NxReal wakeCounterValue = 0.4f);
    NxReal getWakeUpCounter() const;
    void setCCDMotionThreshold(NxReal threshold);
    NxReal getCCDMotionThreshold() const { return m_CcdThreshold; }

    // Groups and shapes.
    void setGroup(NxActorGroup group);
    NxActorGroup getGroup() const { return m_Group; }
    NxU32 getNbShapes() const { return static_cast<NxU32>(m_Shapes.size()); }
    NxShape* const* getShapes() const { return m_Shapes.data(); }

    void setName(const char* name) { m_Name = name ? name : ""; }
    const char* getName() const { return m_Name.c_str(); }
    void* userData = nullptr;

    // Internal to the layer.
    btRigidBody* bulletBody() const { return m_Body; }
    bool isKinematic() const { return isDynamic() && readBodyFlag(NX_BF_KINEMATIC); }
    bool isStaticActor() const { return !m_Dynamic; }
    NxU32 serial() const { return m_Serial; }
    NxShape* solidShape(int child) const;
    NxU32 solidShapeCount() const { return static_cast<NxU32>(m_Solid.size()); }
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
    bool valid() const { return !m_Released && m_Body != nullptr; }
    void release();
    void placeBody(const NxMat34& pose);
    void setActorFlags(NxU32 flags);
    void setBodyFlags(NxU32 flags);

    NxScene* m_Scene;
    bool m_Released = false;
    bool m_Dynamic = false;
    NxU32 m_Serial;
    std::vector<NxShape*> m_Shapes;
    std::vector<NxShape*> m_Solid;
    btRigidBody* m_Body = nullptr;
    btCollisionShape* m_Root = nullptr;  // owned when it is a compound or the empty stand-in
    bool m_OwnsRoot = false;
    NxU32 m_ActorFlags = 0;
    NxU32 m_BodyFlags = 0;
    NxActorGroup m_Group = 0;
    NxReal m_Mass = 0;
    NxVec3 m_Inertia;
    NxReal m_CcdThreshold = 0;
    NxReal m_LinearDamping = 0, m_AngularDamping = 0;
    NxReal m_MaxAngularVelocity = -1;
    // Force accumulators for the next step: plain forces (N), and amounts that the smooth modes spread
    // evenly over the step.
    NxVec3 m_Force, m_Torque, m_SmoothImpulse, m_SmoothAngularImpulse, m_SmoothVelocity, m_SmoothAngularVelocity;
    NxVec3 m_Acceleration, m_AngularAcceleration;
    bool m_HasMoveTarget = false;
    NxMat34 m_MoveTarget, m_MoveStart;
    NxU32 m_StepSubSteps = 0;
    NxReal m_StepSubStepTime = 0;
    std::string m_Name;
};
