#pragma once
#include "Platform/physics/NxBounds3.h"

class NxUserNotify;
class NxUserTriggerReport;
class NxUserContactReport;

enum NxThreadPriority
{
    NX_TP_HIGH = 0,
    NX_TP_ABOVE_NORMAL = 1,
    NX_TP_NORMAL = 2,
    NX_TP_BELOW_NORMAL = 3,
    NX_TP_LOW = 4
};
enum NxPruningStructure
{
    NX_PRUNING_NONE = 0,
    NX_PRUNING_OCTREE = 1,
    NX_PRUNING_QUADTREE = 2,
    NX_PRUNING_DYNAMIC_AABB_TREE = 3,
    NX_PRUNING_STATIC_AABB_TREE = 4
};

// Scene description. Every field is accepted; the thread, pruning and hardware fields change nothing
// here (the step runs on the caller's thread inside fetchResults, the broadphase is Bullet's tree).
class NxSceneDesc
{
public:
    NxVec3 gravity;
    NxUserNotify* userNotify = nullptr;
    void* fluidUserNotify = nullptr;
    void* clothUserNotify = nullptr;
    void* softBodyUserNotify = nullptr;
    void* userContactModify = nullptr;
    NxUserTriggerReport* userTriggerReport = nullptr;
    NxUserContactReport* userContactReport = nullptr;
    NxReal maxTimestep = 1.0f / 60.0f;
    NxU32 maxIter = 8;
    NxTimeStepMethod timeStepMethod = NX_TIMESTEP_FIXED;
    NxBounds3* maxBounds = nullptr;
    void* limits = nullptr;
    NxSimulationType simType = NX_SIMULATION_SW;
    bool groundPlane = false;
    bool boundsPlanes = false;
    NxU32 flags = NX_SF_SIMULATE_SEPARATE_THREAD | NX_SF_DISABLE_SCENE_MUTEX;
    void* customScheduler = nullptr;
    NxU32 simThreadStackSize = 0;
    NxThreadPriority simThreadPriority = NX_TP_NORMAL;
    NxU32 simThreadMask = 0;
    NxU32 internalThreadCount = 0;
    NxU32 workerThreadStackSize = 0;
    NxThreadPriority workerThreadPriority = NX_TP_NORMAL;
    NxU32 threadMask = 0;
    NxU32 backgroundThreadCount = 0;
    NxThreadPriority backgroundThreadPriority = NX_TP_NORMAL;
    NxU32 backgroundThreadMask = 0;
    NxU32 upAxis = 0;
    NxU32 subdivisionLevel = 5;
    NxPruningStructure staticStructure = NX_PRUNING_STATIC_AABB_TREE;
    NxPruningStructure dynamicStructure = NX_PRUNING_NONE;
    NxU32 dynamicTreeRebuildRateHint = 100;
    void* userData = nullptr;
    NxU32 bpType = 0;
    NxU32 nbGridCellsX = 0;
    NxU32 nbGridCellsY = 0;
    NxU32 solverBatchSize = 32;

    void setToDefault() { *this = NxSceneDesc(); }
    bool isValid() const { return maxTimestep > 0 && maxIter > 0 && timeStepMethod <= NX_TIMESTEP_VARIABLE; }
};
