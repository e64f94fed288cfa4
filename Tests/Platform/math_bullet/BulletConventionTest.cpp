#include <cmath>

#include <gtest/gtest.h>

#include "Platform/math/D3DXMath.h"
#include "Platform/math_bullet/BulletConvention.h"

namespace
{
D3DXMATRIX SamplePose()
{
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.7f, -0.3f, 1.1f);
    D3DXMatrixTranslation(&translation, 4.0f, -2.0f, 9.5f);
    return rotation * translation;
}

void ExpectNear(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-5f) << "element " << i << "," << j;
}
}  // namespace

TEST(BulletConvention, PoseRoundTripsAndMovesPointsAlike)
{
    D3DXMATRIX pose = SamplePose();
    btTransform t = ToBullet(pose);
    ExpectNear(FromBullet(t), pose);

    const D3DXVECTOR3 points[] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {-3.0f, 2.5f, 7.0f}};
    for (const D3DXVECTOR3& p : points)
    {
        D3DXVECTOR3 ours;
        D3DXVec3TransformCoord(&ours, &p, &pose);
        D3DXVECTOR3 theirs = FromBullet(t * ToBullet(p));
        EXPECT_NEAR(ours.x, theirs.x, 1e-5f);
        EXPECT_NEAR(ours.y, theirs.y, 1e-5f);
        EXPECT_NEAR(ours.z, theirs.z, 1e-5f);
    }
}

TEST(BulletConvention, RowsBecomeBasisColumns)
{
    D3DXMATRIX pose = SamplePose();
    btMatrix3x3 basis = ToBulletBasis(pose);
    for (int row = 0; row < 3; ++row)
    {
        btVector3 column = basis.getColumn(row);
        EXPECT_FLOAT_EQ(column.x(), pose.m[row][0]);
        EXPECT_FLOAT_EQ(column.y(), pose.m[row][1]);
        EXPECT_FLOAT_EQ(column.z(), pose.m[row][2]);
    }
    D3DXMATRIX translation;
    D3DXMatrixTranslation(&translation, pose._41, pose._42, pose._43);
    ExpectNear(FromBulletBasis(basis) * translation, pose);
}

TEST(BulletConvention, QuaternionMeansTheSameRotation)
{
    D3DXQUATERNION q;
    D3DXVECTOR3 axis(1.0f, 2.0f, -0.5f);
    D3DXQuaternionRotationAxis(&q, &axis, 0.9f);

    D3DXMATRIX ours;
    D3DXMatrixRotationQuaternion(&ours, &q);
    btMatrix3x3 theirs(ToBullet(q));
    ExpectNear(FromBulletBasis(theirs), ours);

    D3DXQUATERNION back = FromBullet(ToBullet(q));
    EXPECT_EQ(back, q);

    btQuaternion fromBasis;
    ToBulletBasis(ours).getRotation(fromBasis);
    D3DXQUATERNION same = FromBullet(fromBasis);
    EXPECT_NEAR(std::fabs(D3DXQuaternionDot(&same, &q)), 1.0f, 1e-5f);
}

TEST(BulletConvention, VectorRoundTrip)
{
    D3DXVECTOR3 v(1.5f, -2.25f, 1e6f);
    EXPECT_EQ(FromBullet(ToBullet(v)), v);
}
