#include "Engine/world/WePhysicHandle.h"

#include <cmath>

#include "Engine/world/WeAABB.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysics.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxTriangleMeshDesc.h"
#include "Platform/physics/NxUtilLib.h"

namespace
{

NxVec3 ToNx(const D3DXVECTOR3& v)
{
    return NxVec3(v.x, v.y, v.z);
}

D3DXVECTOR3 FromNx(const NxVec3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

}  // namespace

NxMat34 WePhysicsPoseFromMatrix(const D3DXMATRIX& m)
{
    NxMat34 pose;
    pose.M.setColumnMajorStride4(&m._11);  // the engine's rows are the SDK's columns
    pose.t = NxVec3(m._41, m._42, m._43);
    return pose;
}

D3DXMATRIX WePhysicsMatrixFromPose(const NxMat34& pose)
{
    D3DXMATRIX m;
    pose.M.getColumnMajorStride4(&m._11);
    m._14 = m._24 = m._34 = 0.0f;
    m._41 = pose.t.x;
    m._42 = pose.t.y;
    m._43 = pose.t.z;
    m._44 = 1.0f;
    return m;
}

WePhysicHandle::WePhysicHandle()
{
    g_Physics.LinkHandle(this);
}

WePhysicHandle::~WePhysicHandle()
{
    g_Physics.UnlinkHandle(this);
    if (m_Actor)
    {
        m_Actor->userData = nullptr;
        g_Physics.ReleaseActor(m_Actor);
        m_Actor = nullptr;
    }
    if (m_Owner && m_Owner->m_PhysicHandle == this)
        m_Owner->m_PhysicHandle = nullptr;
}

void WePhysicHandle::AddImpulse(const D3DXVECTOR3& impulse, bool smooth)
{
    if (m_Actor)
        m_Actor->addForce(ToNx(impulse), smooth ? NX_SMOOTH_IMPULSE : NX_IMPULSE, true);
}

void WePhysicHandle::AddVelocityChange(const D3DXVECTOR3& change, bool smooth)
{
    if (m_Actor)
        m_Actor->addForce(ToNx(change), smooth ? NX_SMOOTH_VELOCITY_CHANGE : NX_VELOCITY_CHANGE, true);
}

void WePhysicHandle::AddAngularVelocityChange(const D3DXVECTOR3& change, bool smooth)
{
    if (m_Actor)
        m_Actor->addTorque(ToNx(change), smooth ? NX_SMOOTH_VELOCITY_CHANGE : NX_VELOCITY_CHANGE, true);
}

void WePhysicHandle::SetAngularVelocity(const D3DXVECTOR3& velocity)
{
    if (m_Actor)
        m_Actor->setAngularVelocity(ToNx(velocity));
}

void WePhysicHandle::GetAngularVelocity(D3DXVECTOR3& out)
{
    if (m_Actor)
        out = FromNx(m_Actor->getAngularVelocity());
}

void WePhysicHandle::GetPose(D3DXMATRIX& out)
{
    if (m_Actor)
        out = WePhysicsMatrixFromPose(m_Actor->getGlobalPose());
}

void WePhysicHandle::SetPose(const D3DXMATRIX& pose)
{
    if (!m_Actor)
        return;
    if (IsKinematic())
        m_Actor->moveGlobalPose(WePhysicsPoseFromMatrix(pose));
    else
        m_Actor->setGlobalPose(WePhysicsPoseFromMatrix(pose));
}

void WePhysicHandle::SetOrientationQuat(const D3DXQUATERNION& q)
{
    if (!m_Actor)
        return;
    // Both quaternion conventions describe the same rotation, so the values carry over unchanged.
    const NxQuat nq(q.x, q.y, q.z, q.w);
    if (IsKinematic())
        m_Actor->moveGlobalOrientationQuat(nq);
    else
        m_Actor->setGlobalOrientationQuat(nq);
}

void WePhysicHandle::GetOrientationQuat(D3DXQUATERNION& out)
{
    if (!m_Actor)
    {
        out = D3DXQUATERNION(1.0f, 1.0f, 1.0f, 1.0f);
        return;
    }
    const NxQuat q = m_Actor->getGlobalOrientationQuat();
    out = D3DXQUATERNION(q.x, q.y, q.z, q.w);
}

void WePhysicHandle::SetCollisionEnabled(bool enabled)
{
    if (!m_Actor)
        return;
    if (enabled)
        m_Actor->clearActorFlag(NX_AF_DISABLE_COLLISION);
    else
        m_Actor->raiseActorFlag(NX_AF_DISABLE_COLLISION);
}

bool WePhysicHandle::IsCollisionEnabled()
{
    return m_Actor && !m_Actor->readActorFlag(NX_AF_DISABLE_COLLISION);
}

void WePhysicHandle::SetResponseEnabled(bool enabled)
{
    if (!m_Actor)
        return;
    if (enabled)
        m_Actor->clearActorFlag(NX_AF_DISABLE_RESPONSE);
    else
        m_Actor->raiseActorFlag(NX_AF_DISABLE_RESPONSE);
}

void WePhysicHandle::SetRaycastEnabled(bool enabled)
{
    if (!m_Actor)
        return;
    for (NxU32 i = 0; i < m_Actor->getNbShapes(); ++i)
        m_Actor->getShapes()[i]->setFlag(NX_SF_DISABLE_RAYCASTING, !enabled);
}

void WePhysicHandle::SetCCDMotionThreshold(float threshold)
{
    if (m_Actor)
        m_Actor->setCCDMotionThreshold(threshold);
}

void WePhysicHandle::EnableCCD(const WeAABB& box, float angle)
{
    if (!m_Actor)
        return;
    const D3DXVECTOR3 size = box.max - box.min;
    const float c = std::cos(angle), s = std::sin(angle);
    const NxBox skeletonBox(NxVec3(0, 0, 0), NxVec3(size.x * 0.5f, size.y * 0.5f, size.z * 0.5f),
                            NxMat33(NxVec3(c, -s, 0), NxVec3(s, c, 0), NxVec3(0, 0, 1)));
    NxVec3* points = new NxVec3[8];
    NxU32* triangles = new NxU32[36];
    NxGetUtilLib()->NxComputeBoxPoints(skeletonBox, points);
    const NxU32* boxTriangles = NxGetUtilLib()->NxGetBoxTriangles();
    for (int i = 0; i < 36; ++i)
        triangles[i] = boxTriangles[i];
    NxSimpleTriangleMesh mesh;
    mesh.numVertices = 8;
    mesh.numTriangles = 12;
    mesh.pointStrideBytes = sizeof(NxVec3);
    mesh.triangleStrideBytes = 3 * sizeof(NxU32);
    mesh.points = points;
    mesh.triangles = triangles;
    mesh.flags = 0;
    NxPhysicsSDK& sdk = m_Actor->getScene().getPhysicsSDK();
    NxCCDSkeleton* skeleton = sdk.createCCDSkeleton(mesh);
    for (NxU32 i = 0; i < m_Actor->getNbShapes(); ++i)
    {
        NxShape* shape = m_Actor->getShapes()[i];
        shape->setCCDSkeleton(skeleton);
        shape->raiseFlag(NX_SF_DYNAMIC_DYNAMIC_CCD);
    }
    delete[] points;
    delete[] triangles;
    sdk.releaseCCDSkeleton(*skeleton);  // the shapes keep it alive
}

void WePhysicHandle::SetCollisionGroup(uint16_t group)
{
    if (!m_Actor)
        return;
    for (NxU32 i = 0; i < m_Actor->getNbShapes(); ++i)
        m_Actor->getShapes()[i]->setGroup(group);
}

void WePhysicHandle::SetPosition(const D3DXVECTOR3& position)
{
    if (!m_Actor)
        return;
    if (IsKinematic())
        m_Actor->moveGlobalPosition(ToNx(position));
    else
        m_Actor->setGlobalPosition(ToNx(position));
}

void WePhysicHandle::SetRotation(float yaw, float pitch, float roll)
{
    if (!m_Actor)
        return;
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, yaw, pitch, roll);
    NxMat33 rotation;
    rotation.setColumnMajorStride4(&m._11);
    // A static body is placed; a dynamic one, kinematic or not, is moved (the layer places a body
    // that is not kinematic at once).
    if (!m_Actor->isDynamic())
        m_Actor->setGlobalOrientation(rotation);
    else
        m_Actor->moveGlobalOrientation(rotation);
}

void WePhysicHandle::GetPosition(D3DXVECTOR3& out)
{
    out = m_Actor ? FromNx(m_Actor->getGlobalPosition()) : D3DXVECTOR3();
}

void WePhysicHandle::SetLinearVelocity(const D3DXVECTOR3& velocity)
{
    if (m_Actor)
        m_Actor->setLinearVelocity(ToNx(velocity));
}

void WePhysicHandle::GetLinearVelocity(D3DXVECTOR3& out)
{
    out = m_Actor ? FromNx(m_Actor->getLinearVelocity()) : D3DXVECTOR3();
}

void WePhysicHandle::PutToSleep()
{
    if (m_Actor)
        m_Actor->putToSleep();
}

void WePhysicHandle::WakeUp(float wakeCounter)
{
    if (m_Actor)
        m_Actor->wakeUp(wakeCounter);
}

void WePhysicHandle::SetDisableGravity(bool disable)
{
    if (!m_Actor)
        return;
    if (disable)
        m_Actor->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);
    else
        m_Actor->clearBodyFlag(NX_BF_DISABLE_GRAVITY);
}

void WePhysicHandle::SetKinematic(bool kinematic)
{
    if (!m_Actor)
        return;
    if (kinematic)
        m_Actor->raiseBodyFlag(NX_BF_KINEMATIC);
    else
        m_Actor->clearBodyFlag(NX_BF_KINEMATIC);
}

bool WePhysicHandle::IsKinematic() const
{
    return m_Actor && m_Actor->readBodyFlag(NX_BF_KINEMATIC);
}
