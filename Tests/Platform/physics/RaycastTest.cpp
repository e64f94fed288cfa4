#include <cmath>

#include "PhysicsTestScene.h"

namespace
{

class HitList : public NxUserRaycastReport
{
public:
    std::vector<NxRaycastHit> hits;
    bool onHit(const NxRaycastHit& hit) override
    {
        hits.push_back(hit);
        return true;
    }
};

}  // namespace

class RaycastTest : public PhysicsTest
{
protected:
    void SetUp() override
    {
        PhysicsTest::SetUp();
        scene->setGravity(NxVec3());
        ground = meshActor(groundMesh(10, 0), 2);
        wall = box(NxVec3(0, 1, 5), NxVec3(2, 1, 0.5f), false, 0, 3);
        crate = box(NxVec3(0, 1, 10), NxVec3(0.5f, 0.5f, 0.5f), true, 0, 4);
        trigger = box(NxVec3(0, 1, 2), NxVec3(1, 1, 0.1f), false, NX_TRIGGER_ENABLE, 3);
    }
    NxActor* ground = nullptr;
    NxActor* wall = nullptr;
    NxActor* crate = nullptr;
    NxActor* trigger = nullptr;
};

TEST_F(RaycastTest, ClosestHitGivesShapeImpactNormalAndDistance)
{
    const NxRay ray(NxVec3(0, 1, 0), NxVec3(0, 0, 1));
    NxRaycastHit hit;
    NxShape* s = scene->raycastClosestShape(ray, NX_ALL_SHAPES, hit, 0xFFFFFFFF, NX_MAX_F32, NX_RAYCAST_ALL_BITS);
    ASSERT_EQ(s, wall->getShapes()[0]);  // the trigger in front is not hit
    EXPECT_NEAR(hit.distance, 4.5f, 1e-3);
    EXPECT_NEAR(hit.worldImpact.z, 4.5f, 1e-3);
    EXPECT_NEAR(hit.worldNormal.z, -1, 1e-3);
    EXPECT_EQ(hit.flags, NX_RAYCAST_ALL_BITS);
    // By type: dynamic shapes only find the crate behind the wall.
    s = scene->raycastClosestShape(ray, NX_DYNAMIC_SHAPES, hit);
    ASSERT_EQ(s, crate->getShapes()[0]);
    EXPECT_NEAR(hit.distance, 9.5f, 1e-3);
    // Distance limit and group mask.
    EXPECT_EQ(scene->raycastClosestShape(ray, NX_ALL_SHAPES, hit, 0xFFFFFFFF, 4.0f), nullptr);
    EXPECT_EQ(scene->raycastClosestShape(ray, NX_ALL_SHAPES, hit, 1u << 4), crate->getShapes()[0]);
    EXPECT_EQ(scene->raycastClosestShape(ray, NX_STATIC_SHAPES, hit, 1u << 4), nullptr);
}

TEST_F(RaycastTest, MeshHitsGiveFaceMaterialAndBarycentrics)
{
    ground->getShapes()[0]->setMaterial(3);
    NxRaycastHit hit;
    const NxRay down(NxVec3(5, 3, -2), NxVec3(0, -1, 0));
    ASSERT_EQ(scene->raycastClosestShape(down, NX_STATIC_SHAPES, hit), ground->getShapes()[0]);
    EXPECT_NEAR(hit.distance, 3, 1e-3);
    EXPECT_NEAR(hit.worldNormal.y, 1, 1e-3);
    EXPECT_EQ(hit.materialIndex, 3);
    // Ground triangles: 0 = (0, 2, 1) over x > z, 1 = (0, 3, 2) over x < z, corners at +-10.
    EXPECT_EQ(hit.faceID, 0u);
    const NxVec3* v = ground->getShapes()[0]->getTriangleMesh()->getVertices();
    const NxVec3 p = v[0] * (1 - hit.u - hit.v) + v[2] * hit.u + v[1] * hit.v;
    EXPECT_NEAR(p.x, 5, 1e-3);
    EXPECT_NEAR(p.z, -2, 1e-3);
    ASSERT_NE(scene->raycastClosestShape(NxRay(NxVec3(-5, 3, 2), NxVec3(0, -1, 0)), NX_STATIC_SHAPES, hit), nullptr);
    EXPECT_EQ(hit.faceID, 1u);
    // A mesh seen from below is still hit, facing the ray.
    ASSERT_NE(scene->raycastClosestShape(NxRay(NxVec3(1, -3, 1), NxVec3(0, 1, 0)), NX_STATIC_SHAPES, hit), nullptr);
    EXPECT_NEAR(hit.worldNormal.y, -1, 1e-3);
}

TEST_F(RaycastTest, AllHitsNearestFirstAndAnyHit)
{
    const NxRay ray(NxVec3(0, 1, -1), NxVec3(0, 0, 2));  // not unit: the layer normalises it
    HitList list;
    EXPECT_EQ(scene->raycastAllShapes(ray, list, NX_ALL_SHAPES), 2u);
    ASSERT_EQ(list.hits.size(), 2u);
    EXPECT_EQ(list.hits[0].shape, wall->getShapes()[0]);
    EXPECT_EQ(list.hits[1].shape, crate->getShapes()[0]);
    EXPECT_NEAR(list.hits[1].distance, 10.5f, 1e-3);
    EXPECT_TRUE(scene->raycastAnyShape(ray, NX_ALL_SHAPES));
    EXPECT_FALSE(scene->raycastAnyShape(ray, NX_ALL_SHAPES, 0xFFFFFFFF, 5.0f));
    EXPECT_FALSE(scene->raycastAnyShape(NxRay(NxVec3(0, 1, 0), NxVec3(0, 0, 0)), NX_ALL_SHAPES));

    // The disabled-ray flag hides a shape; clearing it shows it again.
    wall->getShapes()[0]->raiseFlag(NX_SF_DISABLE_RAYCASTING);
    list.hits.clear();
    EXPECT_EQ(scene->raycastAllShapes(ray, list, NX_ALL_SHAPES), 1u);
    EXPECT_EQ(list.hits[0].shape, crate->getShapes()[0]);
    wall->getShapes()[0]->clearFlag(NX_SF_DISABLE_RAYCASTING);
    EXPECT_TRUE(scene->raycastAnyShape(ray, NX_STATIC_SHAPES, 1u << 3));
}

TEST_F(RaycastTest, RaysFollowBodiesThatMoved)
{
    crate->setGlobalPosition(NxVec3(0, 1, 20));
    NxRaycastHit hit;
    ASSERT_EQ(scene->raycastClosestShape(NxRay(NxVec3(0, 1, 0), NxVec3(0, 0, 1)), NX_DYNAMIC_SHAPES, hit),
              crate->getShapes()[0]);
    EXPECT_NEAR(hit.distance, 19.5f, 1e-3);
}

TEST_F(RaycastTest, RoundShapesGiveTheSurfaceNormalAtTheImpact)
{
    // A ball beyond the crate, hit off-centre: the normal is the radius through the impact point.
    const NxVec3 centre(0, 10, 20);
    NxActor* ball = sphere(centre, 1, false);
    ASSERT_NE(ball, nullptr);
    for (const NxReal off : {0.0f, 0.3f, 0.6f, 0.9f})
    {
        NxRaycastHit hit;
        ASSERT_EQ(scene->raycastClosestShape(NxRay(NxVec3(0, 10 + off, 12), NxVec3(0, 0, 1)), NX_STATIC_SHAPES, hit),
                  ball->getShapes()[0])
            << off;
        EXPECT_NEAR(hit.distance, 8 - std::sqrt(1 - off * off), 1e-4) << off;
        const NxVec3 radial = hit.worldImpact - centre;
        EXPECT_NEAR(hit.worldNormal.y, radial.y, 1e-3) << off;
        EXPECT_NEAR(hit.worldNormal.z, radial.z, 1e-3) << off;
    }
}
