#pragma once
// Conversions between the SDK's types and Bullet's. Both use column vectors (v' = M * v) and the same
// quaternion layout, so rotation entries map one to one; only the engine's row-vector matrices need
// the transpose, and that happens where the engine builds an NxMat33.
#include <LinearMath/btTransform.h>

#include "Platform/physics/NxMat34.h"

inline btVector3 NxToBullet(const NxVec3& v)
{
    return btVector3(v.x, v.y, v.z);
}
inline NxVec3 NxFromBullet(const btVector3& v)
{
    return NxVec3(v.x(), v.y(), v.z());
}
inline btQuaternion NxToBullet(const NxQuat& q)
{
    return btQuaternion(q.x, q.y, q.z, q.w);
}
inline NxQuat NxFromBullet(const btQuaternion& q)
{
    return NxQuat(q.x(), q.y(), q.z(), q.w());
}
inline btMatrix3x3 NxToBullet(const NxMat33& m)
{
    return btMatrix3x3(m.m[0][0], m.m[0][1], m.m[0][2], m.m[1][0], m.m[1][1], m.m[1][2], m.m[2][0], m.m[2][1],
                       m.m[2][2]);
}
inline NxMat33 NxFromBullet(const btMatrix3x3& b)
{
    NxMat33 m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m.m[r][c] = b[r][c];
    return m;
}
inline btTransform NxToBullet(const NxMat34& p)
{
    return btTransform(NxToBullet(p.M), NxToBullet(p.t));
}
inline NxMat34 NxFromBullet(const btTransform& t)
{
    return NxMat34(NxFromBullet(t.getBasis()), NxFromBullet(t.getOrigin()));
}
