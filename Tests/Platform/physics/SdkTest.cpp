#include "PhysicsTestScene.h"
#include "Platform/physics/NxBulletPose.h"
#include "Platform/physics/NxControllerManager.h"
#include "Platform/physics/NxUserAllocator.h"
#include "Platform/physics/NxUtilLib.h"

TEST(PhysicsSdk, CreationChecksTheVersion)
{
    NxSDKCreateError error = NXCE_NO_ERROR;
    EXPECT_EQ(NxCreatePhysicsSDK(0x02070000, nullptr, nullptr, NxPhysicsSDKDesc(), &error), nullptr);
    EXPECT_EQ(error, NXCE_WRONG_VERSION);
    NxPhysicsSDK* sdk = NxCreatePhysicsSDK(0x02080100, nullptr, nullptr, NxPhysicsSDKDesc(), &error);
    ASSERT_NE(sdk, nullptr);
    EXPECT_EQ(error, NXCE_NO_ERROR);
    EXPECT_EQ(sdk->getHWVersion(), 0u);
    sdk->setParameter(NX_CONTINUOUS_CD, 1.0f);
    sdk->setParameter(NX_CCD_EPSILON, 0.01f);
    sdk->setParameter(static_cast<NxParameter>(1000), 5.0f);  // out of range: ignored
    EXPECT_EQ(sdk->getParameter(NX_CONTINUOUS_CD), 1.0f);
    EXPECT_FLOAT_EQ(sdk->getParameter(NX_CCD_EPSILON), 0.01f);
    EXPECT_EQ(NX_CONTINUOUS_CD, 8);
    EXPECT_EQ(NX_CCD_EPSILON, 73);
    EXPECT_EQ(NxGetCookingLib(0x02080100) != nullptr, true);
    EXPECT_EQ(NxGetCookingLib(0x02070000), nullptr);
    sdk->release();

    // The failure seam: the next creations fail as without a runtime, then creation works again.
    NxFailNextPhysicsSDKCreations(1);
    EXPECT_EQ(NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION, nullptr, nullptr, NxPhysicsSDKDesc(), &error), nullptr);
    EXPECT_EQ(error, NXCE_RUNTIME_NOT_FOUND);
    sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION, nullptr, nullptr, NxPhysicsSDKDesc(), &error);
    ASSERT_NE(sdk, nullptr);
    // The same for scenes.
    NxFailNextSceneCreations(1);
    EXPECT_EQ(sdk->createScene(NxSceneDesc()), nullptr);
    NxScene* scene = sdk->createScene(NxSceneDesc());
    ASSERT_NE(scene, nullptr);
    sdk->releaseScene(*scene);
    sdk->release();
}

TEST(PhysicsSdk, AllocatorAndControllerManagerAndUtilities)
{
    NxUserAllocator* alloc = NxGetPhysicsSDKAllocator();
    void* p = alloc->malloc(16, NX_MEMORY_PERSISTENT);
    ASSERT_NE(p, nullptr);
    p = alloc->realloc(p, 4097);
    ASSERT_NE(p, nullptr);
    alloc->free(p);

    NxControllerManager* manager = NxCreateControllerManager(alloc);
    ASSERT_NE(manager, nullptr);
    manager->updateControllers();
    EXPECT_EQ(manager->getNbControllers(), 0u);
    NxReleaseControllerManager(manager);

    NxBox b(NxVec3(1, 2, 3), NxVec3(1, 2, 3), NxMat33());
    NxVec3 pts[8];
    ASSERT_TRUE(NxGetUtilLib()->NxComputeBoxPoints(b, pts));
    EXPECT_EQ(pts[0], NxVec3(0, 0, 0));
    EXPECT_EQ(pts[7], NxVec3(2, 4, 6));
    // Every triangle faces away from the centre.
    const NxU32* tri = NxGetUtilLib()->NxGetBoxTriangles();
    for (int t = 0; t < 12; ++t)
    {
        const NxVec3 a = pts[tri[3 * t]], c = pts[tri[3 * t + 1]], d = pts[tri[3 * t + 2]];
        const NxVec3 n = (c - a).cross(d - a);
        EXPECT_GT(n.dot((a + c + d) / 3.0f - b.center), 0) << "triangle " << t;
    }
}

TEST(PhysicsSdk, PoseConversionKeepsRotationEntriesAndQuaternions)
{
    NxQuat q;
    q.fromAngleAxis(90, NxVec3(0, 1, 0));
    const NxMat34 pose(NxMat33(q), NxVec3(1, 2, 3));
    // 90 degrees about y takes +x to -z.
    const NxVec3 x = pose.M * NxVec3(1, 0, 0);
    EXPECT_NEAR(x.z, -1, 1e-6);
    const btTransform t = NxToBullet(pose);
    const btVector3 bx = t.getBasis() * btVector3(1, 0, 0);
    EXPECT_NEAR(bx.z(), -1, 1e-6);
    const NxMat34 back = NxFromBullet(t);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(back.M(r, c), pose.M(r, c));
    EXPECT_EQ(back.t, pose.t);
    NxQuat q2;
    back.M.toQuat(q2);
    EXPECT_NEAR(std::fabs(q2.x * q.x + q2.y * q.y + q2.z * q.z + q2.w * q.w), 1, 1e-5);
    const btQuaternion bq = NxToBullet(q);
    EXPECT_FLOAT_EQ(bq.y(), q.y);
    EXPECT_FLOAT_EQ(bq.w(), q.w);
}

class PhysicsTiming : public PhysicsTest
{
};

TEST_F(PhysicsTiming, FixedStepsCountWholeSubStepsAndCarryTheRest)
{
    scene->setTiming(1.0f / 60.0f, 8, NX_TIMESTEP_FIXED);
    NxReal maxStep;
    NxU32 maxIter, sub = 99;
    NxTimeStepMethod method;
    struct Case
    {
        NxReal dt;
        NxU32 expected;
    } cases[] = {
        {1.0f / 60.0f, 1},
        {0.5f / 60.0f, 0},
        {0.5f / 60.0f, 1},
        {2.0f / 60.0f, 2},
        {1.0f, 8},
        {1.0f / 60.0f, 1},
        {0, 0},
    };
    for (const Case& c : cases)
    {
        step(c.dt);
        scene->getTiming(maxStep, maxIter, method, &sub);
        EXPECT_EQ(sub, c.expected) << "dt " << c.dt;
    }
    EXPECT_FLOAT_EQ(maxStep, 1.0f / 60.0f);
    EXPECT_EQ(maxIter, 8u);
    EXPECT_EQ(method, NX_TIMESTEP_FIXED);

    // Sixty ticks of 1/60 s make sixty sub-steps, whatever float rounding does to the sum.
    NxU32 total = 0;
    for (int i = 0; i < 60; ++i)
    {
        step(1.0f / 60.0f);
        scene->getTiming(maxStep, maxIter, method, &sub);
        total += sub;
    }
    EXPECT_EQ(total, 60u);
}

TEST_F(PhysicsTiming, VariableStepsSplitTheElapsedTime)
{
    scene->setTiming(1.0f / 30.0f, 16, NX_TIMESTEP_VARIABLE);
    NxReal maxStep;
    NxU32 maxIter, sub = 0;
    NxTimeStepMethod method;
    step(0.1f);
    scene->getTiming(maxStep, maxIter, method, &sub);
    EXPECT_EQ(sub, 3u);
    EXPECT_EQ(method, NX_TIMESTEP_VARIABLE);
    step(0.01f);
    scene->getTiming(maxStep, maxIter, method, &sub);
    EXPECT_EQ(sub, 1u);
}

TEST_F(PhysicsTiming, FetchWithoutSimulateDoesNothing)
{
    NxActor* b = box(NxVec3(0, 10, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(scene->fetchResults(NX_RIGID_BODY_FINISHED, true));
    EXPECT_EQ(b->getGlobalPosition().y, 10);
    scene->simulate(1.0f / 60.0f);
    EXPECT_EQ(b->getGlobalPosition().y, 10);  // the step runs inside the fetch
    EXPECT_TRUE(scene->fetchResults(NX_RIGID_BODY_FINISHED, true));
    EXPECT_LT(b->getGlobalPosition().y, 10);
}

TEST_F(PhysicsTest, MaterialsByIndex)
{
    NxMaterial* def = scene->getMaterialFromIndex(0);
    ASSERT_NE(def, nullptr);
    NxMaterialDesc desc;
    desc.dynamicFriction = 0.3f;
    desc.staticFriction = 0.4f;
    desc.restitution = 0.2f;
    def->loadFromDesc(desc);
    EXPECT_FLOAT_EQ(scene->getMaterialFromIndex(0)->getRestitution(), 0.2f);
    NxMaterialDesc none;
    NxMaterial* frictionless = scene->createMaterial(none);
    ASSERT_NE(frictionless, nullptr);
    EXPECT_EQ(frictionless->getMaterialIndex(), 1);
    EXPECT_EQ(scene->getMaterialFromIndex(2), nullptr);
    EXPECT_FLOAT_EQ(NxMaterial::combine(0.2f, 0.6f, NX_CM_AVERAGE), 0.4f);
    EXPECT_FLOAT_EQ(NxMaterial::combine(0.2f, 0.6f, NX_CM_MIN), 0.2f);
    EXPECT_FLOAT_EQ(NxMaterial::combine(0.2f, 0.6f, NX_CM_MAX), 0.6f);
}

TEST_F(PhysicsTest, RestitutionIsAveragedPerContact)
{
    // A ball of restitution 1 on ground of restitution 0 bounces with about half its speed.
    NxMaterialDesc bouncy;
    bouncy.restitution = 1;
    NxMaterial* m = scene->createMaterial(bouncy);
    NxMaterialDesc dead;
    scene->getMaterialFromIndex(0)->loadFromDesc(dead);
    NxActor* ground = box(NxVec3(0, -1, 0), NxVec3(10, 1, 10), false);
    NxActor* ball = sphere(NxVec3(0, 3, 0), 0.5f, true);
    ball->getShapes()[0]->setMaterial(m->getMaterialIndex());
    ASSERT_NE(ground, nullptr);
    NxReal impact = 0, rebound = 0;
    for (int i = 0; i < 120; ++i)
    {
        const NxReal before = ball->getLinearVelocity().y;
        step();
        const NxReal after = ball->getLinearVelocity().y;
        if (before < -1 && after > 0 && impact == 0)
        {
            impact = -before;
            rebound = after;
        }
    }
    ASSERT_GT(impact, 5);
    EXPECT_NEAR(rebound / impact, 0.5f, 0.15f);
}
