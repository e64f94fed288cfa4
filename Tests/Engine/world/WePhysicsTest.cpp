#include "Engine/foundation/WeConfig.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/WeAABB.h"
#include "PhysicsTestSupport.h"
#include "Platform/physics/NxMaterial.h"
#include "Platform/physics/NxPhysicsSDK.h"

using WePhysicsScene = PhysicsFixture;

TEST(WePhysics, EveryOperationIsHarmlessWhileUninitialised)
{
    ASSERT_FALSE(g_Physics.m_Initialised);
    TestActor owner;
    EXPECT_EQ(g_Physics.CreateBoxActor(owner.Actor(), Translation(0, 0, 0), D3DXVECTOR3(1, 1, 1), 0, 1, false, 0),
              nullptr);
    EXPECT_EQ(g_Physics.CreateSphereActor(owner.Actor(), D3DXVECTOR3(), 1, 0, 1, false, 0), nullptr);
    EXPECT_EQ(g_Physics.CreateCapsuleActor(owner.Actor(), D3DXVECTOR3(), 1, 1, 0, 1, false, 0), nullptr);
    EXPECT_EQ(g_Physics.CreateTriangleMeshActor(owner.Actor(), Translation(0, 0, 0), nullptr, false), nullptr);
    WeList<WeRaycastHit> hits;
    WeRaycastHit hit;
    EXPECT_FALSE(g_Physics.RaycastAny(D3DXVECTOR3(), D3DXVECTOR3(0, -1, 0), 3, ~0u, 100));
    EXPECT_FALSE(g_Physics.RaycastAll(D3DXVECTOR3(), D3DXVECTOR3(0, -1, 0), 3, hits, ~0u, 100, 0xFF));
    EXPECT_FALSE(g_Physics.RaycastClosest(D3DXVECTOR3(), D3DXVECTOR3(0, -1, 0), 3, hit, ~0u, 100, 0xFF));
    g_Physics.Simulate();
    g_Physics.FetchResults();
    g_Physics.ResetGroupFlags();
    g_Physics.SetGroupCollisionFlag(1, 2, true);
    g_Physics.IgnoreActorPair(owner.Actor(), owner.Actor());
    g_Physics.Shutdown();
    EXPECT_FALSE(g_Physics.IsStepPending());
    // Setters before Init change nothing, but hand the handler back.
    auto handler = [](WeActor*) {};
    EXPECT_EQ(g_Physics.SetSleepCallback(handler), static_cast<WeSleepCallback>(handler));
    EXPECT_EQ(g_Physics.m_SleepCallback, nullptr);
    // A handle without a body does nothing and reads defaults.
    WeActorHandle* bare = new WeActorHandle();
    D3DXQUATERNION q;
    bare->GetOrientationQuat(q);
    EXPECT_EQ(q, D3DXQUATERNION(1, 1, 1, 1));
    D3DXVECTOR3 v(5, 5, 5);
    bare->GetLinearVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3());
    v = D3DXVECTOR3(5, 5, 5);
    bare->GetAngularVelocity(v);
    EXPECT_EQ(v, D3DXVECTOR3(5, 5, 5));
    EXPECT_FALSE(bare->IsCollisionEnabled());
    bare->SetPose(Translation(1, 2, 3));
    bare->EnableCCD(WeAABB(), 0.5f);
    delete bare;
}

TEST(WePhysics, SdkCreationFailureLeavesTheErrorText)
{
    g_Engine.m_ErrorText = "";
    NxFailNextPhysicsSDKCreations(1);
    EXPECT_FALSE(g_Physics.Init(D3DXVECTOR3(0, -10, 0)));
    EXPECT_FALSE(g_Physics.m_Initialised);
    EXPECT_TRUE(g_Engine.m_ErrorText == "Error: Cannot initialize PhysX engine");
    ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -10, 0)));
    g_Physics.Shutdown();

    // An SDK without a scene is no physics either: the same text, the SDK given back, nothing half up.
    g_Engine.m_ErrorText = "";
    NxFailNextSceneCreations(1);
    EXPECT_FALSE(g_Physics.Init(D3DXVECTOR3(0, -10, 0)));
    EXPECT_FALSE(g_Physics.m_Initialised);
    EXPECT_EQ(g_Physics.m_Sdk, nullptr);
    EXPECT_EQ(g_Physics.m_Scene, nullptr);
    EXPECT_TRUE(g_Engine.m_ErrorText == "Error: Cannot initialize PhysX engine");
    EXPECT_FALSE(g_Physics.RaycastAny(D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, -1, 0), 3, ~0u, 10));
    g_Physics.Shutdown();
    ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -10, 0)));
    EXPECT_NE(g_Physics.m_Scene, nullptr);
    g_Physics.Shutdown();
}

TEST_F(WePhysicsScene, InitTwiceChangesNothing)
{
    NxScene* scene = g_Physics.m_Scene;
    EXPECT_TRUE(g_Physics.Init(D3DXVECTOR3(0, 5, 0)));
    EXPECT_EQ(g_Physics.m_Scene, scene);
    EXPECT_EQ(g_Physics.m_Gravity, D3DXVECTOR3(0, -9.81f, 0));
    EXPECT_EQ(g_Physics.m_GravityCopy, D3DXVECTOR3(0, -9.81f, 0));
    EXPECT_FALSE(g_Physics.m_Hardware);
    EXPECT_NE(g_Physics.m_Cooking, nullptr);
    EXPECT_EQ(g_Physics.m_Sdk->getParameter(NX_CONTINUOUS_CD), 1.0f);
    EXPECT_FLOAT_EQ(g_Physics.m_Sdk->getParameter(NX_CCD_EPSILON), 0.01f);
}

TEST(WePhysics, TimingFromTheDebugKeys)
{
    int32_t& rate = GetConfigInt(WeString("debug.Physics.MaxTimestep"), 60);
    int32_t& iterations = GetConfigInt(WeString("debug.Physics.MaxIterations"), 16);
    bool& variable = GetConfigBool(WeString("debug.Physics.TimestepMethod"), false);
    struct Case
    {
        int32_t rate, iterations;
        bool variable;
        float step;
        NxU32 expectedIterations;
        NxTimeStepMethod method;
    };
    const Case cases[] = {
        {60, 16, false, 1.0f / 60.0f, 16, NX_TIMESTEP_FIXED},
        {30, 4, true, 1.0f / 30.0f, 4, NX_TIMESTEP_VARIABLE},
        {0, 0, false, 1.0f, 1, NX_TIMESTEP_FIXED},  // clamped: no division by zero, at least one sub-step
        {-5, -1, false, 1.0f, 1, NX_TIMESTEP_FIXED},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.rate);
        rate = c.rate;
        iterations = c.iterations;
        variable = c.variable;
        ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -10, 0)));
        NxReal step;
        NxU32 n;
        NxTimeStepMethod method;
        g_Physics.m_Scene->getTiming(step, n, method);
        EXPECT_FLOAT_EQ(step, c.step);
        EXPECT_EQ(n, c.expectedIterations);
        EXPECT_EQ(method, c.method);
        g_Physics.Shutdown();
    }
    rate = 60;
    iterations = 16;
    variable = false;
}

TEST_F(WePhysicsScene, MaterialsFromTheGameKeys)
{
    EXPECT_EQ(g_Physics.GetMaterialIndex(0), 0);
    EXPECT_EQ(g_Physics.GetMaterialIndex(7), 0);
    const uint16_t frictionless = g_Physics.GetMaterialIndex(1);
    EXPECT_EQ(frictionless, g_Physics.m_Scene->getNbMaterials() - 1);  // what the scene assigned
    NxMaterial* m = g_Physics.m_Scene->getMaterialFromIndex(frictionless);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->getDynamicFriction(), 0.0f);
    EXPECT_EQ(m->getStaticFriction(), 0.0f);
    NxMaterial* def = g_Physics.m_Scene->getMaterialFromIndex(0);
    EXPECT_EQ(def->getRestitution(), GetConfigFloat(WeString("game.Physics.Restitution"), 0));
    EXPECT_EQ(def->getDynamicFriction(), GetConfigFloat(WeString("game.Physics.DynamicFriction"), 0.5f));
}

TEST_F(WePhysicsScene, PauseNeverLeavesAStepRunning)
{
    WeActorHandle* box = Box(f[0], 0, 10, 0, 0.5f, false);
    box->WakeUp(10);
    g_Physics.Simulate();
    EXPECT_TRUE(g_Physics.IsStepPending());
    g_Physics.m_Paused = 1;
    g_Physics.FetchResults();  // the step started before the pause is still finished
    EXPECT_FALSE(g_Physics.IsStepPending());
    const float afterStep = Position(box).y;
    EXPECT_LT(afterStep, 10.0f);
    // While paused nothing starts and nothing moves.
    g_Physics.Simulate();
    EXPECT_FALSE(g_Physics.IsStepPending());
    g_Physics.FetchResults();
    EXPECT_EQ(Position(box).y, afterStep);
    g_Physics.m_Paused = 0;
    Step();
    EXPECT_LT(Position(box).y, afterStep);
}

TEST_F(WePhysicsScene, GroupsCollideOnlyOnceEnabled)
{
    g_Physics.ResetGroupFlags();
    Box(f[0], 0, -1, 0, 1, true, 3);
    WeActorHandle* falling = Box(f[1], 0, 1.5f, 0, 0.5f, false, 3);
    Box(f[2], 10, -1, 0, 1, true, 3);
    falling->WakeUp(10);
    Step(60);
    EXPECT_LT(Position(falling).y, -2.0f);  // groups 3 and 3 do not collide after the reset

    g_Physics.SetGroupCollisionFlag(3, 3, true);
    WeActorHandle* resting = Box(f[3], 10, 1.5f, 0, 0.5f, false, 3);
    resting->WakeUp(10);
    Step(90);
    EXPECT_NEAR(Position(resting).y, 0.5f, 0.05f);  // and the pair flags 0xFFFF do not stop them
}

TEST_F(WePhysicsScene, IgnoreActorPair)
{
    WeActorHandle* floor = Box(f[0], 0, -1, 0, 1, true);
    WeActorHandle* box = Box(f[1], 0, 1, 0, 0.5f, false);
    TestActor bodiless;
    g_Physics.IgnoreActorPair(f[0].Actor(), bodiless.Actor());
    g_Physics.IgnoreActorPair(f[0].Actor(), nullptr);
    EXPECT_EQ(g_Physics.m_Scene->getActorPairFlags(*floor->m_Actor, *box->m_Actor), 0u);
    g_Physics.IgnoreActorPair(f[0].Actor(), f[1].Actor());
    EXPECT_EQ(g_Physics.m_Scene->getActorPairFlags(*floor->m_Actor, *box->m_Actor), NxU32(NX_IGNORE_PAIR));
    box->WakeUp(10);
    Step(60);
    EXPECT_LT(Position(box).y, -1.0f);
}

TEST_F(WePhysicsScene, ShutdownClearsEveryOwnersHandleOnEveryCycle)
{
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        SCOPED_TRACE(cycle);
        if (cycle > 0)
        {
            ASSERT_TRUE(g_Physics.Init(D3DXVECTOR3(0, -9.81f, 0)));
        }
        Box(f[0], 0, 0, 0, 1, true);
        Box(f[1], 0, 5, 0, 1, false);
        f[2].Keep(g_Physics.CreateSphereActor(f[2].Actor(), D3DXVECTOR3(3, 3, 0), 1, 0, 1, false, 7));
        f[3].Keep(g_Physics.CreateCloth(f[3].Actor(), Translation(0, 4, 0), Grid(2, 2, 0, false), WeClothSettings()));
        for (int i = 0; i < 4; ++i)
            ASSERT_NE(f[i].handle, nullptr);
        EXPECT_EQ(g_Physics.LiveHandleCount(), 4);
        Step();
        g_Physics.Shutdown();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(f[i].handle, nullptr);
        EXPECT_EQ(g_Physics.LiveHandleCount(), 0);
        EXPECT_EQ(g_Physics.m_CookedMeshes.Count(), 0);
    }
}

TEST_F(WePhysicsScene, CreatingABodyReleasesTheOwnersOldOne)
{
    WeActorHandle* first = Box(f[0], 0, 0, 0, 1, false);
    ASSERT_NE(first, nullptr);
    WeActorHandle* second = Box(f[0], 0, 0, 0, 2, false);
    EXPECT_EQ(f[0].handle, second);
    EXPECT_EQ(g_Physics.LiveHandleCount(), 1);
    EXPECT_EQ(g_Physics.m_Scene->getNbActors(), 1u);
}
