// The engine hands the SDK its row-vector matrices transposed into an NxMat34; that pose must reach
// Bullet as the same transform the math layer's own conversion gives.
#include <gtest/gtest.h>

#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/math_bullet/BulletConvention.h"
#include "Platform/physics/NxBulletPose.h"

TEST(PhysicsEnginePose, TransposedEngineMatrixMatchesTheMathLayer)
{
    D3DXMATRIX rot, trans, world;
    D3DXMatrixRotationYawPitchRoll(&rot, 0.7f, -0.3f, 1.1f);
    D3DXMatrixTranslation(&trans, 4, -5, 6);
    D3DXMatrixMultiply(&world, &rot, &trans);

    NxMat34 pose;
    pose.M.setColumnMajorStride4(&world._11);
    pose.t.set(world._41, world._42, world._43);

    const btTransform mine = NxToBullet(pose);
    const btTransform theirs = ToBullet(world);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(mine.getBasis()[r][c], theirs.getBasis()[r][c], 1e-6) << r << c;
    EXPECT_NEAR(mine.getOrigin().distance(theirs.getOrigin()), 0, 1e-6);

    // A point moves the same way in both conventions.
    D3DXVECTOR3 p(1, 2, 3), out;
    D3DXVec3TransformCoord(&out, &p, &world);
    const NxVec3 q = pose * NxVec3(1, 2, 3);
    EXPECT_NEAR(q.x, out.x, 1e-5);
    EXPECT_NEAR(q.y, out.y, 1e-5);
    EXPECT_NEAR(q.z, out.z, 1e-5);

    // And back: the pose read from the SDK rebuilds the engine matrix.
    D3DXMATRIX back;
    const NxMat34 fromBullet = NxFromBullet(mine);
    D3DXMatrixIdentity(&back);
    fromBullet.M.getColumnMajorStride4(&back._11);
    back._41 = fromBullet.t.x;
    back._42 = fromBullet.t.y;
    back._43 = fromBullet.t.z;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(back.m[r][c], world.m[r][c], 1e-5) << r << c;
}
