// The one pose conversion between the engine and Bullet. The engine hands the SDK its row-vector matrices
// (v * M, position in the fourth row) transposed into an NxMat34; the layer's NxToBullet must turn that into
// the Bullet transform (B * v + origin) that moves every point as the engine's matrix does: the engine
// matrix's rows become the basis columns, its fourth row the origin, and no axis is flipped (Bullet has no
// handedness of its own, so left-handed data stays left-handed). A quaternion means the same rotation in
// all three, component for component.
#include <cmath>

#include <gtest/gtest.h>

#include "Platform/math/D3DXMath.h"
#include "Platform/physics/NxBulletPose.h"

namespace
{
D3DXMATRIX SamplePose()
{
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.7f, -0.3f, 1.1f);
    D3DXMatrixTranslation(&translation, 4.0f, -2.0f, 9.5f);
    return rotation * translation;
}

// As the engine hands a world matrix to the SDK.
NxMat34 ToSdk(const D3DXMATRIX& m)
{
    NxMat34 pose;
    pose.M.setColumnMajorStride4(&m._11);
    pose.t.set(m._41, m._42, m._43);
    return pose;
}

// As the engine reads a pose back from the SDK.
D3DXMATRIX FromSdk(const NxMat34& pose)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    pose.M.getColumnMajorStride4(&m._11);
    m._41 = pose.t.x;
    m._42 = pose.t.y;
    m._43 = pose.t.z;
    return m;
}

void ExpectNear(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-5f) << "element " << i << "," << j;
}
}  // namespace

TEST(PhysicsBulletPose, EngineMatrixRowsBecomeBasisColumnsAndPointsMoveAlike)
{
    const D3DXMATRIX world = SamplePose();
    const btTransform t = NxToBullet(ToSdk(world));
    for (int row = 0; row < 3; ++row)
    {
        const btVector3 column = t.getBasis().getColumn(row);
        EXPECT_FLOAT_EQ(column.x(), world.m[row][0]);
        EXPECT_FLOAT_EQ(column.y(), world.m[row][1]);
        EXPECT_FLOAT_EQ(column.z(), world.m[row][2]);
    }
    EXPECT_FLOAT_EQ(t.getOrigin().x(), world._41);
    EXPECT_FLOAT_EQ(t.getOrigin().y(), world._42);
    EXPECT_FLOAT_EQ(t.getOrigin().z(), world._43);

    const D3DXVECTOR3 points[] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {-3.0f, 2.5f, 7.0f}};
    for (const D3DXVECTOR3& p : points)
    {
        D3DXVECTOR3 ours;
        D3DXVec3TransformCoord(&ours, &p, &world);
        const NxVec3 sdk = ToSdk(world) * NxVec3(p.x, p.y, p.z);
        const NxVec3 theirs = NxFromBullet(t * NxToBullet(NxVec3(p.x, p.y, p.z)));
        for (const NxVec3& v : {sdk, theirs})
        {
            EXPECT_NEAR(v.x, ours.x, 1e-5f);
            EXPECT_NEAR(v.y, ours.y, 1e-5f);
            EXPECT_NEAR(v.z, ours.z, 1e-5f);
        }
    }

    // And back: the pose read from Bullet rebuilds the engine matrix.
    ExpectNear(FromSdk(NxFromBullet(t)), world);
}

TEST(PhysicsBulletPose, QuaternionMeansTheSameRotation)
{
    D3DXQUATERNION q;
    D3DXVECTOR3 axis(1.0f, 2.0f, -0.5f);
    D3DXQuaternionRotationAxis(&q, &axis, 0.9f);
    const NxQuat nq(q.x, q.y, q.z, q.w);

    D3DXMATRIX ours;
    D3DXMatrixRotationQuaternion(&ours, &q);
    const btMatrix3x3 theirs(NxToBullet(nq));
    D3DXMATRIX rebuilt = FromSdk(NxMat34(NxFromBullet(theirs), NxVec3(0, 0, 0)));
    ExpectNear(rebuilt, ours);

    const NxQuat back = NxFromBullet(NxToBullet(nq));
    EXPECT_EQ(back.x, nq.x);
    EXPECT_EQ(back.y, nq.y);
    EXPECT_EQ(back.z, nq.z);
    EXPECT_EQ(back.w, nq.w);

    btQuaternion fromBasis;
    NxToBullet(ToSdk(ours).M).getRotation(fromBasis);
    EXPECT_NEAR(std::fabs(fromBasis.dot(NxToBullet(nq))), 1.0f, 1e-5f);
}

TEST(PhysicsBulletPose, VectorRoundTrip)
{
    const NxVec3 v(1.5f, -2.25f, 1e6f);
    EXPECT_EQ(NxFromBullet(NxToBullet(v)), v);
}
