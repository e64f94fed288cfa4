#include "Platform/math_bullet/BulletConvention.h"

btVector3 ToBullet(const D3DXVECTOR3& v)
{
    return btVector3(v.x, v.y, v.z);
}

D3DXVECTOR3 FromBullet(const btVector3& v)
{
    return D3DXVECTOR3(static_cast<float>(v.x()), static_cast<float>(v.y()), static_cast<float>(v.z()));
}

btQuaternion ToBullet(const D3DXQUATERNION& q)
{
    return btQuaternion(q.x, q.y, q.z, q.w);
}

D3DXQUATERNION FromBullet(const btQuaternion& q)
{
    return D3DXQUATERNION(static_cast<float>(q.x()), static_cast<float>(q.y()), static_cast<float>(q.z()),
                          static_cast<float>(q.w()));
}

btMatrix3x3 ToBulletBasis(const D3DXMATRIX& m)
{
    return btMatrix3x3(m._11, m._21, m._31, m._12, m._22, m._32, m._13, m._23, m._33);
}

D3DXMATRIX FromBulletBasis(const btMatrix3x3& basis)
{
    D3DXMATRIX m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m.m[i][j] = static_cast<float>(basis[j][i]);
    m._44 = 1.0f;
    return m;
}

btTransform ToBullet(const D3DXMATRIX& m)
{
    return btTransform(ToBulletBasis(m), btVector3(m._41, m._42, m._43));
}

D3DXMATRIX FromBullet(const btTransform& t)
{
    D3DXMATRIX m = FromBulletBasis(t.getBasis());
    const btVector3& o = t.getOrigin();
    m._41 = static_cast<float>(o.x());
    m._42 = static_cast<float>(o.y());
    m._43 = static_cast<float>(o.z());
    return m;
}
