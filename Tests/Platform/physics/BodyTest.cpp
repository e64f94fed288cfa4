#include <algorithm>

#include "PhysicsTestScene.h"
#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxUtilLib.h"

TEST_F(PhysicsTest, BoxFallsOntoCookedMeshRestsAndSleeps)
{
    NxTriangleMesh* mesh = groundMesh();
    ASSERT_NE(mesh, nullptr);
    NxActor* ground = meshActor(mesh);
    NxActor* b = box(NxVec3(0, 3, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    ASSERT_NE(ground, nullptr);
    ASSERT_NE(b, nullptr);
    for (int i = 0; i < 600 && !b->isSleeping(); ++i)
        step();
    EXPECT_TRUE(b->isSleeping());
    EXPECT_NEAR(b->getGlobalPosition().y, 0.5f, 0.05f);
    ASSERT_EQ(notify.slept.size(), 1u);
    EXPECT_EQ(notify.slept[0], b);
    EXPECT_TRUE(notify.woke.empty());
    // Asleep, it stays put and reports nothing more.
    const NxVec3 rest = b->getGlobalPosition();
    steps(30);
    EXPECT_EQ(b->getGlobalPosition(), rest);
    EXPECT_EQ(notify.slept.size(), 1u);
}

TEST_F(PhysicsTest, DisabledGroupPairFallsThrough)
{
    NxActor* ground = meshActor(groundMesh(), 3);
    NxActor* b = box(NxVec3(0, 2, 0), NxVec3(0.5f, 0.5f, 0.5f), true, 0, 4);
    ASSERT_NE(ground, nullptr);
    scene->setGroupCollisionFlag(3, 4, false);
    EXPECT_FALSE(scene->getGroupCollisionFlag(4, 3));
    steps(90);
    EXPECT_LT(b->getGlobalPosition().y, -2);
    // Enabling the pair again makes a second box land.
    scene->setGroupCollisionFlag(4, 3, true);
    NxActor* c = box(NxVec3(0, 2, 0), NxVec3(0.5f, 0.5f, 0.5f), true, 0, 4);
    steps(90);
    EXPECT_NEAR(c->getGlobalPosition().y, 0.5f, 0.05f);
}

TEST_F(PhysicsTest, GroupChangeOfALandedBodyTakesEffect)
{
    box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 1, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    steps(60);
    EXPECT_NEAR(b->getGlobalPosition().y, 0.5f, 0.05f);
    scene->setGroupCollisionFlag(0, 7, false);
    b->getShapes()[0]->setGroup(7);
    b->wakeUp();
    steps(60);
    EXPECT_LT(b->getGlobalPosition().y, -1);
}

TEST_F(PhysicsTest, ActorPairIgnoreAndActorFlags)
{
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* ignored = box(NxVec3(-3, 1, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    NxActor* noCollision = box(NxVec3(0, 1, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    NxActor* noResponse = box(NxVec3(3, 1, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    scene->setActorPairFlags(*floor, *ignored, NX_IGNORE_PAIR);
    EXPECT_EQ(scene->getActorPairFlags(*ignored, *floor), NxU32(NX_IGNORE_PAIR));
    noCollision->raiseActorFlag(NX_AF_DISABLE_COLLISION);
    noResponse->raiseActorFlag(NX_AF_DISABLE_RESPONSE);
    EXPECT_TRUE(noResponse->readActorFlag(NX_AF_DISABLE_RESPONSE));
    scene->setActorGroupPairFlags(0, 0, NX_NOTIFY_ON_START_TOUCH | NX_NOTIFY_ON_TOUCH);
    steps(90);
    EXPECT_LT(ignored->getGlobalPosition().y, -2);
    EXPECT_LT(noCollision->getGlobalPosition().y, -2);
    EXPECT_LT(noResponse->getGlobalPosition().y, -2);
    // Without response the pair still touched on its way through, and was reported.
    EXPECT_FALSE(contacts.of(floor, noResponse).empty());
    EXPECT_TRUE(contacts.of(floor, noCollision).empty());
    EXPECT_TRUE(contacts.of(floor, ignored).empty());
}

TEST_F(PhysicsTest, ActorGroupPairFlagsChooseEventsAndNeverIgnore)
{
    // Bit 0 of the actor-group pair flags only selects reports: collision is the group table's, the
    // actor pairs' and the actor flags' to decide, so 0xFFFF leaves the pair colliding and reporting.
    NxActor* floor = box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* b = box(NxVec3(0, 1, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    floor->setGroup(2);
    b->setGroup(5);
    scene->setActorGroupPairFlags(5, 2, 0xFFFF);
    EXPECT_EQ(scene->getActorGroupPairFlags(2, 5), 0xFFFFu);
    steps(60);
    EXPECT_NEAR(b->getGlobalPosition().y, 0.5f, 0.05f);
    const std::vector<NxU32> events = contacts.of(floor, b);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), NxU32(NX_NOTIFY_ON_START_TOUCH));
}

TEST_F(PhysicsTest, KinematicBodyMovedByMoveGlobalPosePushesADynamicOne)
{
    box(NxVec3(0, -0.5f, 0), NxVec3(20, 0.5f, 20), false);
    NxActor* pusher = box(NxVec3(-3, 0.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    pusher->raiseBodyFlag(NX_BF_KINEMATIC);
    EXPECT_TRUE(pusher->readBodyFlag(NX_BF_KINEMATIC));
    NxActor* target = box(NxVec3(0, 0.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    steps(30);
    const NxReal start = target->getGlobalPosition().x;
    for (int i = 0; i < 120; ++i)
    {
        NxMat34 pose = pusher->getGlobalPose();
        pose.t.x += 3.0f / 60.0f;
        pusher->moveGlobalPose(pose);
        step();
    }
    EXPECT_NEAR(pusher->getGlobalPosition().x, 3, 1e-3);
    EXPECT_NEAR(pusher->getGlobalPosition().y, 0.5f, 1e-4);  // kinematic: gravity and contacts do not move it
    EXPECT_GT(target->getGlobalPosition().x, start + 1.5f);
    // Back to dynamic, it falls again under gravity.
    pusher->clearBodyFlag(NX_BF_KINEMATIC);
    pusher->setGlobalPosition(NxVec3(8, 5, 0));
    steps(20);
    EXPECT_LT(pusher->getGlobalPosition().y, 5);
}

TEST_F(PhysicsTest, ForceModesChangeVelocityAsDocumented)
{
    scene->setGravity(NxVec3(0, 0, 0));
    NxActor* b = box(NxVec3(0, 0, 0), NxVec3(0.5f, 0.5f, 0.5f), true, 0, 0, 2);
    ASSERT_FLOAT_EQ(b->getMass(), 2);
    b->addForce(NxVec3(4, 0, 0), NX_IMPULSE);
    EXPECT_NEAR(b->getLinearVelocity().x, 2, 1e-5);
    b->addForce(NxVec3(-2, 0, 0), NX_VELOCITY_CHANGE);
    EXPECT_NEAR(b->getLinearVelocity().x, 0, 1e-5);
    // Smooth modes spread over the whole next step, whatever its number of sub-steps.
    b->addForce(NxVec3(0, 6, 0), NX_SMOOTH_IMPULSE);
    b->addForce(NxVec3(0, 0, 1), NX_SMOOTH_VELOCITY_CHANGE);
    step(3.0f / 60.0f);
    EXPECT_NEAR(b->getLinearVelocity().y, 3, 1e-4);
    EXPECT_NEAR(b->getLinearVelocity().z, 1, 1e-4);
    // A plain force acts for one step: F dt / m.
    b->setLinearVelocity(NxVec3(0, 0, 0));
    b->addForce(NxVec3(120, 0, 0), NX_FORCE);
    step();
    EXPECT_NEAR(b->getLinearVelocity().x, 1, 1e-3);
    step();
    EXPECT_NEAR(b->getLinearVelocity().x, 1, 1e-3);
    b->setAngularVelocity(NxVec3(0, 0, 0));
    b->addTorque(NxVec3(0, 2, 0), NX_VELOCITY_CHANGE);
    EXPECT_NEAR(b->getAngularVelocity().y, 2, 1e-5);
    // Spin is capped after each step: by the SDK default of 7 rad/s unless the body sets its own.
    b->setAngularVelocity(NxVec3(0, 20, 0));
    step();
    EXPECT_NEAR(b->getAngularVelocity().magnitude(), 7, 1e-3);
    b->setMaxAngularVelocity(30);
    b->setAngularVelocity(NxVec3(0, 20, 0));
    step();
    EXPECT_NEAR(b->getAngularVelocity().magnitude(), 20, 0.05f);  // less a little angular damping
}

TEST_F(PhysicsTest, GravitySwitchAndSleepControl)
{
    NxActor* floating = box(NxVec3(0, 10, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    NxActor* falling = box(NxVec3(5, 10, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    NxActor* sleeper = box(NxVec3(10, 10, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    floating->raiseBodyFlag(NX_BF_DISABLE_GRAVITY);
    sleeper->putToSleep();
    EXPECT_TRUE(sleeper->isSleeping());
    steps(30);
    EXPECT_FLOAT_EQ(floating->getGlobalPosition().y, 10);
    EXPECT_LT(falling->getGlobalPosition().y, 9);
    EXPECT_FLOAT_EQ(sleeper->getGlobalPosition().y, 10);
    EXPECT_TRUE(notify.woke.empty());  // the program's own putToSleep is not reported
    // Forces that do not ask to wake leave a sleeper alone; wakeUp starts it again with a report.
    sleeper->addForce(NxVec3(0, 100, 0), NX_IMPULSE, false);
    EXPECT_TRUE(sleeper->isSleeping());
    sleeper->wakeUp(1.0f);
    EXPECT_FALSE(sleeper->isSleeping());
    EXPECT_NEAR(sleeper->getWakeUpCounter(), 1.0f, 1e-5);
    steps(10);
    EXPECT_LT(sleeper->getGlobalPosition().y, 10);
    floating->clearBodyFlag(NX_BF_DISABLE_GRAVITY);
    steps(10);
    EXPECT_LT(floating->getGlobalPosition().y, 10);
}

TEST_F(PhysicsTest, SleeperHitByAnotherBodyWakesWithAReport)
{
    box(NxVec3(0, -0.5f, 0), NxVec3(10, 0.5f, 10), false);
    NxActor* sleeper = box(NxVec3(0, 0.5f, 0), NxVec3(0.5f, 0.5f, 0.5f), true);
    sleeper->putToSleep();
    NxActor* ball = sphere(NxVec3(-3, 0.5f, 0), 0.4f, true);
    ball->setLinearVelocity(NxVec3(10, 0, 0));
    steps(40);
    ASSERT_FALSE(notify.woke.empty());
    EXPECT_NE(std::find(notify.woke.begin(), notify.woke.end(), sleeper), notify.woke.end());
    EXPECT_GT(sleeper->getGlobalPosition().x, 0.05f);
}

TEST_F(PhysicsTest, PosesAndOrientations)
{
    NxActor* s = box(NxVec3(1, 2, 3), NxVec3(1, 1, 1), false);
    EXPECT_FALSE(s->isDynamic());
    EXPECT_EQ(s->getLinearVelocity(), NxVec3());
    s->setLinearVelocity(NxVec3(1, 1, 1));
    EXPECT_EQ(s->getLinearVelocity(), NxVec3());
    s->setGlobalPosition(NxVec3(4, 5, 6));  // a static actor can be placed
    EXPECT_EQ(s->getGlobalPosition(), NxVec3(4, 5, 6));

    NxActor* d = box(NxVec3(0, 0, 0), NxVec3(1, 1, 1), true);
    NxQuat q;
    q.fromAngleAxis(90, NxVec3(0, 0, 1));
    d->setGlobalOrientationQuat(q);
    const NxQuat back = d->getGlobalOrientationQuat();
    EXPECT_NEAR(std::fabs(back.z), std::fabs(q.z), 1e-5);
    NxMat33 m = d->getGlobalOrientation();
    EXPECT_NEAR((m * NxVec3(1, 0, 0)).y, 1, 1e-5);
    // A move call on a body that is not kinematic places it.
    d->moveGlobalPosition(NxVec3(7, 0, 0));
    EXPECT_EQ(d->getGlobalPosition(), NxVec3(7, 0, 0));
    d->moveGlobalOrientation(NxMat33());
    EXPECT_NEAR(d->getGlobalOrientation()(0, 0), 1, 1e-6);
}

TEST_F(PhysicsTest, ShapeListsGroupsAndFlags)
{
    NxBoxShapeDesc plain, main;
    plain.dimensions = main.dimensions = NxVec3(1, 1, 1);
    plain.group = 1;
    main.shapeFlags |= NX_TRIGGER_ENABLE;
    EXPECT_EQ(plain.shapeFlags, 0x120008u);
    EXPECT_EQ(plain.density, 1);
    EXPECT_EQ(plain.mass, -1);
    EXPECT_EQ(plain.skinWidth, -1);
    NxBodyDesc body;
    EXPECT_EQ(body.flags, 0x900u);
    EXPECT_FLOAT_EQ(body.wakeUpCounter, 0.4f);
    EXPECT_EQ(body.solverIterationCount, 4u);
    body.mass = 10;
    NxActorDesc desc;
    desc.shapes.pushBack(&plain);
    desc.shapes.pushBack(&main);
    desc.body = &body;
    NxActor* a = scene->createActor(desc);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->getNbShapes(), 2u);
    EXPECT_EQ(a->getShapes()[0]->getGroup(), 1);
    EXPECT_FALSE(a->getShapes()[0]->isTrigger());
    EXPECT_TRUE(a->getShapes()[1]->isTrigger());
    EXPECT_EQ(a->getShapes()[1]->getFlags(), 0x120008u | 7u);
    EXPECT_EQ(&a->getShapes()[1]->getActor(), a);
    for (NxU32 i = 0; i < a->getNbShapes(); ++i)
        a->getShapes()[i]->setGroup(5);
    EXPECT_EQ(a->getShapes()[1]->getGroup(), 5);
    a->getShapes()[0]->raiseFlag(NX_SF_DISABLE_RAYCASTING);
    EXPECT_TRUE(a->getShapes()[0]->getFlag(NX_SF_DISABLE_RAYCASTING));
    a->getShapes()[0]->clearFlag(NX_SF_DISABLE_RAYCASTING);
    EXPECT_FALSE(a->getShapes()[0]->getFlag(NX_SF_DISABLE_RAYCASTING));
    a->raiseBodyFlag(NX_BF_KINEMATIC);
    EXPECT_TRUE(a->isDynamic());
    EXPECT_TRUE(a->readBodyFlag(NX_BF_KINEMATIC));
    // Invalid descriptions create nothing.
    NxSphereShapeDesc bad;
    bad.radius = -1;
    NxActorDesc badDesc;
    badDesc.shapes.pushBack(&bad);
    EXPECT_EQ(scene->createActor(badDesc), nullptr);
    NxActorDesc noShapes;
    EXPECT_EQ(scene->createActor(noShapes), nullptr);
}

TEST_F(PhysicsTest, ContinuousCollisionStopsAFastSmallBody)
{
    sdk->setParameter(NX_CONTINUOUS_CD, 1);
    scene->setGravity(NxVec3(0, 0, 0));
    box(NxVec3(0, 0, 0), NxVec3(0.05f, 5, 5), false);
    NxActor* fast = box(NxVec3(-5, 0, 0), NxVec3(0.1f, 0.1f, 0.1f), true);
    NxActor* tunneller = box(NxVec3(-5, 2, 0), NxVec3(0.1f, 0.1f, 0.1f), true);
    // The CCD skeleton the engine builds from box points and triangles.
    NxVec3 pts[8];
    NxGetUtilLib()->NxComputeBoxPoints(NxBox(NxVec3(), NxVec3(0.1f, 0.1f, 0.1f), NxMat33()), pts);
    NxSimpleTriangleMesh sk;
    sk.numVertices = 8;
    sk.numTriangles = 12;
    sk.pointStrideBytes = 12;
    sk.triangleStrideBytes = 12;
    sk.points = pts;
    sk.triangles = NxGetUtilLib()->NxGetBoxTriangles();
    NxCCDSkeleton* skeleton = sdk->createCCDSkeleton(sk);
    fast->getShapes()[0]->setCCDSkeleton(skeleton);
    fast->getShapes()[0]->raiseFlag(NX_SF_DYNAMIC_DYNAMIC_CCD);
    sdk->releaseCCDSkeleton(*skeleton);
    EXPECT_EQ(sdk->getNbCCDSkeletons(), 1u);  // the shape keeps it
    fast->setCCDMotionThreshold(0.05f);
    EXPECT_FLOAT_EQ(fast->getCCDMotionThreshold(), 0.05f);
    fast->setLinearVelocity(NxVec3(600, 0, 0));
    tunneller->setLinearVelocity(NxVec3(600, 0, 0));
    steps(2);
    EXPECT_LT(fast->getGlobalPosition().x, 0);
    EXPECT_GT(tunneller->getGlobalPosition().x, 0);
}

TEST_F(PhysicsTest, CallsOnReleasedOrMissingObjectsAreHarmless)
{
    NxActor* a = box(NxVec3(0, 1, 0), NxVec3(1, 1, 1), true);
    NxActor* b = box(NxVec3(0, 5, 0), NxVec3(1, 1, 1), true);
    NxShape* shape = a->getShapes()[0];
    scene->setActorPairFlags(*a, *b, NX_IGNORE_PAIR);
    scene->releaseActor(*a);
    EXPECT_TRUE(a->isReleased());
    EXPECT_EQ(scene->getNbActors(), 1u);
    scene->releaseActor(*a);  // twice: nothing
    a->setGlobalPose(NxMat34());
    a->moveGlobalPosition(NxVec3(1, 1, 1));
    a->addForce(NxVec3(1, 0, 0), NX_IMPULSE);
    a->addTorque(NxVec3(1, 0, 0));
    a->setLinearVelocity(NxVec3(1, 0, 0));
    a->raiseBodyFlag(NX_BF_KINEMATIC);
    a->raiseActorFlag(NX_AF_DISABLE_COLLISION);
    a->putToSleep();
    a->wakeUp();
    a->setGroup(3);
    a->setCCDMotionThreshold(1);
    shape->setGroup(4);
    shape->raiseFlag(NX_TRIGGER_ON_ENTER);
    EXPECT_EQ(a->getLinearVelocity(), NxVec3());
    EXPECT_FALSE(a->isSleeping());
    EXPECT_EQ(a->getNbShapes(), 1u);
    steps(5);
    EXPECT_LT(b->getGlobalPosition().y, 5);
    NxRaycastHit hit;
    EXPECT_EQ(scene->raycastClosestShape(NxRay(NxVec3(0, 1, -10), NxVec3(0, 0, 1)), NX_ALL_SHAPES, hit), nullptr);
}
