#pragma once
#include <cstdint>

#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXQUATERNION.h"
#include "Platform/math/D3DXVECTOR3.h"

class NxActor;
class WeActor;
struct WeAABB;

// Links one actor to one physics body. Every change the world and the game make on the body goes
// through here, and every operation is harmless without a body (null actor, or released by
// shutdown). Matrices are the engine's: rotation rows, position in the fourth row.
class WePhysicHandle
{
public:
    WePhysicHandle();
    virtual ~WePhysicHandle();
    WePhysicHandle(const WePhysicHandle&) = delete;
    WePhysicHandle& operator=(const WePhysicHandle&) = delete;

    virtual void AddImpulse(const D3DXVECTOR3& impulse, bool smooth);
    virtual void AddVelocityChange(const D3DXVECTOR3& change, bool smooth);
    virtual void AddAngularVelocityChange(const D3DXVECTOR3& change, bool smooth);
    virtual void SetAngularVelocity(const D3DXVECTOR3& velocity);
    virtual void GetAngularVelocity(D3DXVECTOR3& out);  // out untouched without a body
    virtual void GetPose(D3DXMATRIX& out);
    virtual void SetPose(const D3DXMATRIX& pose);
    virtual void SetOrientationQuat(const D3DXQUATERNION& q);
    virtual void GetOrientationQuat(D3DXQUATERNION& out);  // (1, 1, 1, 1) without a body
    virtual void SetCollisionEnabled(bool enabled);
    virtual bool IsCollisionEnabled();
    virtual void SetResponseEnabled(bool enabled);
    virtual void SetRaycastEnabled(bool enabled);
    virtual void SetCCDMotionThreshold(float threshold);
    // A box skeleton of half the box's size, turned by angle about z, for fast bodies.
    virtual void EnableCCD(const WeAABB& box, float angle);
    virtual void SetCollisionGroup(uint16_t group);
    virtual void SetPosition(const D3DXVECTOR3& position);
    virtual void SetRotation(float yaw, float pitch, float roll);
    virtual void GetPosition(D3DXVECTOR3& out);  // zero without a body
    virtual void SetLinearVelocity(const D3DXVECTOR3& velocity);
    virtual void GetLinearVelocity(D3DXVECTOR3& out);  // zero without a body
    virtual void PutToSleep();
    virtual void WakeUp(float wakeCounter);

    void SetDisableGravity(bool disable);
    void SetKinematic(bool kinematic);
    bool IsKinematic() const;

    NxActor* m_Actor = nullptr;  // null for a cloth
    WeActor* m_Owner = nullptr;

    // The wrapper's list of live handles, so that shutdown finds every one, pooled or not.
    WePhysicHandle* m_PrevLive = nullptr;
    WePhysicHandle* m_NextLive = nullptr;
};
