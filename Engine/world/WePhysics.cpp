#include "Engine/world/WePhysics.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeDebugRenderer.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/world/ControllerManagerAllocator.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WePhysicHandle.h"
#include "Engine/world/WeTriangleMeshShape.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxControllerManager.h"
#include "Platform/physics/NxCooking.h"
#include "Platform/physics/NxMaterial.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxSceneDesc.h"
#include "Platform/physics/NxShape.h"

WePhysics::CollisionCallback WePhysics::s_CollisionCallback;
WePhysics::TriggerCallback WePhysics::s_TriggerCallback;
WePhysics::SleepWakeUpCallback WePhysics::s_SleepWakeUpCallback;
WePhysics::RaycastReport WePhysics::s_RaycastReport;

namespace
{

// Bound once per process; the keys are never loaded from files, so code that wants other values sets
// the entries before the first Init.
int32_t& MaxTimestepKey()
{
    static int32_t& value = GetConfigInt(WeString("debug.Physics.MaxTimestep"), 60);
    return value;
}

int32_t& MaxIterationsKey()
{
    static int32_t& value = GetConfigInt(WeString("debug.Physics.MaxIterations"), 16);
    return value;
}

bool& TimestepMethodKey()
{
    static bool& value = GetConfigBool(WeString("debug.Physics.TimestepMethod"), false);
    return value;
}

// Bound at start-up; nothing depends on it.
[[maybe_unused]] bool& g_PhysicsDisabled = GetConfigBool(WeString("debug.Physics.Disable"), false);

void ApplyPhysicsVisualization()
{
    g_DebugRenderer.ApplyPhysicsVisualization();
}

}  // namespace

WePhysics& WePhysics::Instance()
{
    static WePhysics* s_physics = new WePhysics();  // never destroyed: nothing runs at exit
    return *s_physics;
}

WePhysics::WePhysics()
{
    m_ControllerManager.allocator = new ControllerManagerAllocator();
    m_ControllerManager.manager = NxCreateControllerManager(m_ControllerManager.allocator);
}

WePhysics::~WePhysics()
{
    m_CookedMeshes.Clear();
    NxReleaseControllerManager(m_ControllerManager.manager);
    delete m_ControllerManager.allocator;
    m_ControllerManager.controllers.clear();
}

bool WePhysics::Init(const D3DXVECTOR3& gravity)
{
    if (m_Initialised)
        return true;
    NxPhysicsSDKDesc sdkDesc;
    sdkDesc.hwPageSize = 65536;
    sdkDesc.hwMaxPages = 256;
    sdkDesc.hwConvexMax = 2048;
    m_Sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION, nullptr, nullptr, sdkDesc, nullptr);
    if (!m_Sdk)
    {
        g_Engine.m_ErrorText = "Error: Cannot initialize PhysX engine";
        return false;
    }
    m_Sdk->setParameter(NX_CONTINUOUS_CD, 1.0f);
    m_Gravity = gravity;
    m_GravityCopy = gravity;

    NxSceneDesc sceneDesc;
    sceneDesc.gravity = NxVec3(gravity.x, gravity.y, gravity.z);
    sceneDesc.maxTimestep = 1.0f / 60.0f;
    sceneDesc.maxIter = 8;
    sceneDesc.timeStepMethod = NX_TIMESTEP_FIXED;
    sceneDesc.simType = NX_SIMULATION_SW;
    sceneDesc.flags = NX_SF_SIMULATE_SEPARATE_THREAD | NX_SF_DISABLE_SCENE_MUTEX;
    sceneDesc.simThreadPriority = NX_TP_NORMAL;
    sceneDesc.workerThreadPriority = NX_TP_NORMAL;
    sceneDesc.backgroundThreadPriority = NX_TP_NORMAL;
    sceneDesc.subdivisionLevel = 5;
    sceneDesc.staticStructure = NX_PRUNING_STATIC_AABB_TREE;
    sceneDesc.dynamicTreeRebuildRateHint = 100;
    sceneDesc.solverBatchSize = 32;
    m_Hardware = 0;
    if (m_Sdk->getHWVersion() != 0)
    {
        sceneDesc.simType = NX_SIMULATION_HW;
        m_Hardware = 1;
    }
    m_Scene = m_Sdk->createScene(sceneDesc);
    if (!m_Scene)
    {
        // Without a scene nothing can run: the same failure as without an SDK.
        m_Sdk->release();
        m_Sdk = nullptr;
        g_Engine.m_ErrorText = "Error: Cannot initialize PhysX engine";
        return false;
    }
    m_Scene->setUserContactReport(&s_CollisionCallback);
    m_Scene->setUserTriggerReport(&s_TriggerCallback);
    m_Scene->setUserNotify(&s_SleepWakeUpCallback);

    const float restitution = GetConfigFloat(WeString("game.Physics.Restitution"), 0.0f);
    const float staticFriction = GetConfigFloat(WeString("game.Physics.StaticFriction"), 0.5f);
    const float dynamicFriction = GetConfigFloat(WeString("game.Physics.DynamicFriction"), 0.5f);
    m_DefaultMaterial = 0;
    m_FrictionlessMaterial = 1;
    SetupMaterial(m_DefaultMaterial, restitution, staticFriction, dynamicFriction);
    SetupMaterial(m_FrictionlessMaterial, 0.0f, 0.0f, 0.0f);

    // A rate or count below 1 would divide by zero or never step.
    const int32_t rate = MaxTimestepKey() < 1 ? 1 : MaxTimestepKey();
    const int32_t iterations = MaxIterationsKey() < 1 ? 1 : MaxIterationsKey();
    m_Scene->setTiming(1.0f / static_cast<float>(rate), static_cast<NxU32>(iterations),
                       TimestepMethodKey() ? NX_TIMESTEP_VARIABLE : NX_TIMESTEP_FIXED);
    m_Sdk->setParameter(NX_CCD_EPSILON, 0.01f);

    m_Initialised = 1;
    ApplyPhysicsVisualization();
    m_Paused = 0;
    m_StepPending = 0;
    m_Cooking = NxGetCookingLib(NX_PHYSICS_SDK_VERSION);
    return true;
}

void WePhysics::SetupMaterial(uint16_t& index, float restitution, float staticFriction, float dynamicFriction)
{
    NxMaterialDesc desc;
    desc.dynamicFriction = dynamicFriction;
    desc.staticFriction = staticFriction;
    desc.restitution = restitution;
    desc.dynamicFrictionV = 0;
    desc.staticFrictionV = 0;
    desc.dirOfAnisotropy = NxVec3(1, 0, 0);
    desc.flags = 0;
    desc.frictionCombineMode = NX_CM_AVERAGE;
    desc.restitutionCombineMode = NX_CM_AVERAGE;
    desc.spring = nullptr;
    if (index == 0)
    {
        if (NxMaterial* material = m_Scene->getMaterialFromIndex(0))
            material->loadFromDesc(desc);
        return;
    }
    if (NxMaterial* material = m_Scene->createMaterial(desc))
        index = material->getMaterialIndex();
}

void WePhysics::Simulate()
{
    // One step at a time: a step still pending is finished by the next fetch first.
    if (!m_Initialised || m_Paused || m_StepPending)
        return;
    const float step = g_Engine.m_FixedTick ? g_Engine.m_FixedStep : g_Timer.m_FrameDeltaF;
    m_Scene->simulate(step);
    m_Scene->flushStream();
    m_StepPending = 1;
}

void WePhysics::FetchResults()
{
    // A step already started is always finished, paused or not, so none is left dangling.
    if (!m_Initialised || !m_StepPending)
        return;
    m_StepPending = 0;
    m_Scene->fetchResults(NX_RIGID_BODY_FINISHED, true);
    NxReal maxTimestep;
    NxU32 maxIterations, subSteps = 0;
    NxTimeStepMethod method;
    m_Scene->getTiming(maxTimestep, maxIterations, method, &subSteps);
    if (subSteps > 0 && m_ControllerManager.manager)
        m_ControllerManager.manager->updateControllers();
}

void WePhysics::Shutdown()
{
    if (!m_Initialised)
        return;
    // Every live handle goes, pooled or not, which clears its owner's pointer.
    while (m_FirstLive)
        delete m_FirstLive;
    for (WeTriangleMeshShape* shape : m_CookedMeshes)
        delete shape;
    m_CookedMeshes.Reset();
    m_Sdk->releaseScene(*m_Scene);
    m_Scene = nullptr;
    m_Sdk->release();
    m_Sdk = nullptr;
    m_Cooking = nullptr;
    m_StepPending = 0;
    m_Initialised = 0;
}

void WePhysics::LinkHandle(WePhysicHandle* handle)
{
    handle->m_PrevLive = nullptr;
    handle->m_NextLive = m_FirstLive;
    if (m_FirstLive)
        m_FirstLive->m_PrevLive = handle;
    m_FirstLive = handle;
}

void WePhysics::UnlinkHandle(WePhysicHandle* handle)
{
    if (handle->m_PrevLive)
        handle->m_PrevLive->m_NextLive = handle->m_NextLive;
    else if (m_FirstLive == handle)
        m_FirstLive = handle->m_NextLive;
    if (handle->m_NextLive)
        handle->m_NextLive->m_PrevLive = handle->m_PrevLive;
    handle->m_PrevLive = handle->m_NextLive = nullptr;
}

int32_t WePhysics::LiveHandleCount() const
{
    int32_t n = 0;
    for (const WePhysicHandle* h = m_FirstLive; h; h = h->m_NextLive)
        ++n;
    return n;
}

uint16_t WePhysics::GetMaterialIndex(int kind) const
{
    return kind == 1 ? m_FrictionlessMaterial : m_DefaultMaterial;
}

void WePhysics::SetGroupCollisionFlag(uint16_t group1, uint16_t group2, bool enable)
{
    if (m_Initialised)
        m_Scene->setGroupCollisionFlag(group1, group2, enable);
}

void WePhysics::SetActorGroupPairFlags(uint16_t group1, uint16_t group2, uint16_t flags)
{
    if (m_Initialised)
        m_Scene->setActorGroupPairFlags(group1, group2, flags);
}

void WePhysics::ResetGroupFlags()
{
    if (!m_Initialised)
        return;
    for (uint16_t i = 0; i < 32; ++i)
        for (uint16_t j = i; j < 32; ++j)
        {
            m_Scene->setGroupCollisionFlag(i, j, false);
            m_Scene->setActorGroupPairFlags(i, j, 0xFFFF);
        }
}

void WePhysics::IgnoreActorPair(WeActor* a, WeActor* b)
{
    if (!m_Initialised || !a || !b)
        return;
    WePhysicHandle* ha = a->m_PhysicHandle;
    WePhysicHandle* hb = b->m_PhysicHandle;
    if (ha && hb && ha->m_Actor && hb->m_Actor)
        m_Scene->setActorPairFlags(*ha->m_Actor, *hb->m_Actor, NX_IGNORE_PAIR);
}

void WePhysics::ReleaseActor(NxActor* actor)
{
    if (m_Initialised && actor)
        m_Scene->releaseActor(*actor);
}

void WePhysics::ReleaseCloth(NxCloth* cloth)
{
    if (m_Initialised && cloth)
        m_Scene->releaseCloth(*cloth);
}

void WePhysics::SetActorShapesGroup(NxActor* actor, uint16_t group)
{
    if (!m_Initialised || !actor)
        return;
    for (NxU32 i = 0; i < actor->getNbShapes(); ++i)
        actor->getShapes()[i]->setGroup(group);
}

WeContactCallback WePhysics::SetContactCallback(WeContactCallback handler)
{
    if (m_Initialised)
        m_ContactCallback = handler;
    return handler;
}

WeTriggerCallback WePhysics::SetTriggerCallback(WeTriggerCallback handler)
{
    if (m_Initialised)
        m_TriggerCallback = handler;
    return handler;
}

WeSleepCallback WePhysics::SetSleepCallback(WeSleepCallback handler)
{
    if (m_Initialised)
        m_SleepCallback = handler;
    return handler;
}

WeWakeCallback WePhysics::SetWakeCallback(WeWakeCallback handler)
{
    if (m_Initialised)
        m_WakeCallback = handler;
    return handler;
}
