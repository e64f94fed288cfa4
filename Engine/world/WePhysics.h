#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeRaycastHit.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"
#include "Platform/physics/NxArray.h"
#include "Platform/physics/NxMat34.h"
#include "Platform/physics/NxUserContactReport.h"
#include "Platform/physics/NxUserNotify.h"
#include "Platform/physics/NxUserRaycastReport.h"
#include "Platform/physics/NxUserTriggerReport.h"

class ControllerManagerAllocator;
class NxActor;
class NxCloth;
class NxControllerManager;
class NxCookingInterface;
class NxPhysicsSDK;
class NxScene;
class NxShapeDesc;
class WeActor;
class WeActorHandle;
class WeClothHandle;
class WeMesh;
class WePhysicHandle;
class WeTriangleMeshShape;

// The game's handlers. Vectors live only for the call.
typedef void (*WeContactCallback)(WeActor* first, WeActor* second, const D3DXVECTOR3* normalForce,
                                  const D3DXVECTOR3* frictionForce, int events, const D3DXVECTOR3* contactPoint);
typedef void (*WeTriggerCallback)(WeActor* trigger, WeActor* other, int status);  // 1 enter, 2 leave, 4 stay
typedef void (*WeSleepCallback)(WeActor* actor);
typedef void (*WeWakeCallback)(WeActor* actor);

// A cloth's values from its physics description.
struct WeClothSettings
{
    uint16_t group = 0;
    float bendingStiffness = 0.5f;
    float stretchingStiffness = 0.5f;
    float friction = 0.5f;
    float pressure = 0.0f;  // above 0 also switches pressure on
    float density = 0.02f;
};

// Poses between the engine's matrices (rotation rows, position in the fourth row) and the SDK's.
NxMat34 WePhysicsPoseFromMatrix(const D3DXMATRIX& m);
D3DXMATRIX WePhysicsMatrixFromPose(const NxMat34& pose);

// The engine's one physics world: the SDK, one scene, two materials, the reports and the cooked-mesh
// cache. A step starts in Simulate and runs, with its reports, inside the next FetchResults on the
// main thread. Every operation is a no-op (false, 0, null) while not initialised.
class WePhysics
{
public:
    // The SDK's report interfaces; each turns bodies into their owners and calls the game.
    class CollisionCallback : public NxUserContactReport
    {
    public:
        void onContactNotify(NxContactPair& pair, NxU32 events) override;
    };
    class TriggerCallback : public NxUserTriggerReport
    {
    public:
        void onTrigger(NxShape& triggerShape, NxShape& otherShape, NxTriggerFlag status) override;
    };
    class SleepWakeUpCallback : public NxUserNotify
    {
    public:
        bool onJointBreak(NxReal, NxJoint&) override { return true; }
        void onWake(NxActor** actors, NxU32 count) override;
        void onSleep(NxActor** actors, NxU32 count) override;
    };
    class RaycastReport : public NxUserRaycastReport
    {
    public:
        bool onHit(const NxRaycastHit& hit) override;
        WeList<WeRaycastHit>* m_Hits = nullptr;  // the list of the query under way
    };

    struct ControllerManager
    {
        NxControllerManager* manager = nullptr;
        ControllerManagerAllocator* allocator = nullptr;
        NxArray<void*> controllers;
    };

    WePhysics();
    virtual ~WePhysics();
    WePhysics(const WePhysics&) = delete;
    WePhysics& operator=(const WePhysics&) = delete;

    // The one instance, built on first use and never destroyed (shutdown is explicit).
    static WePhysics& Instance();

    bool Init(const D3DXVECTOR3& gravity);
    void Simulate();
    void FetchResults();
    void Shutdown();
    // A step was started and not yet fetched.
    bool IsStepPending() const { return m_StepPending != 0; }

    uint16_t GetMaterialIndex(int kind) const;
    void SetGroupCollisionFlag(uint16_t group1, uint16_t group2, bool enable);
    void SetActorGroupPairFlags(uint16_t group1, uint16_t group2, uint16_t flags);
    void ResetGroupFlags();
    void IgnoreActorPair(WeActor* a, WeActor* b);
    void ReleaseActor(NxActor* actor);
    void ReleaseCloth(NxCloth* cloth);
    void SetActorShapesGroup(NxActor* actor, uint16_t group);

    WeContactCallback SetContactCallback(WeContactCallback handler);
    WeTriggerCallback SetTriggerCallback(WeTriggerCallback handler);
    WeSleepCallback SetSleepCallback(WeSleepCallback handler);
    WeWakeCallback SetWakeCallback(WeWakeCallback handler);

    // Shape types: 1 static, 2 dynamic, 3 all; groups: bit n = collision group n.
    bool RaycastAny(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes, uint32_t groups,
                    float maxDistance);
    // Appends every hit to the list (nearest first), which is not emptied.
    bool RaycastAll(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes, WeList<WeRaycastHit>& hits,
                    uint32_t groups, float maxDistance, uint32_t hintFlags);
    bool RaycastClosest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, int shapeTypes, WeRaycastHit& hit,
                        uint32_t groups, float maxDistance, uint32_t hintFlags);

    // Bodies. Each returns a new handle owned by the caller, or null.
    WeActorHandle* CreateBoxActor(WeActor* owner, const D3DXMATRIX& pose, const D3DXVECTOR3& halfExtents,
                                  uint16_t group, float mass, bool isStatic, uint16_t shapeFlags,
                                  const D3DXVECTOR3* linearVelocity = nullptr,
                                  const D3DXVECTOR3* angularVelocity = nullptr);
    WeActorHandle* CreateSphereActor(WeActor* owner, const D3DXVECTOR3& position, float radius, uint16_t group,
                                     float mass, bool isStatic, uint16_t shapeFlags);
    WeActorHandle* CreateCapsuleActor(WeActor* owner, const D3DXVECTOR3& position, float radius, float height,
                                      uint16_t group, float mass, bool isStatic, uint16_t shapeFlags);
    // The mesh is cooked once per name and shared.
    WeActorHandle* CreateTriangleMeshActor(WeActor* owner, const D3DXMATRIX& pose, WeMesh* mesh, bool dynamic);
    WeClothHandle* CreateCloth(WeActor* owner, const D3DXMATRIX& pose, WeMesh* mesh, const WeClothSettings& settings);

    // The list of live handles (for Shutdown), kept by the handles themselves.
    void LinkHandle(WePhysicHandle* handle);
    void UnlinkHandle(WePhysicHandle* handle);
    int32_t LiveHandleCount() const;

    uint8_t m_Hardware = 0;
    uint8_t m_Initialised = 0;
    NxPhysicsSDK* m_Sdk = nullptr;
    NxScene* m_Scene = nullptr;
    D3DXVECTOR3 m_Gravity;
    D3DXVECTOR3 m_GravityCopy;
    ControllerManager m_ControllerManager;
    uint16_t m_DefaultMaterial = 0;
    uint16_t m_FrictionlessMaterial = 1;
    WeContactCallback m_ContactCallback = nullptr;
    WeTriggerCallback m_TriggerCallback = nullptr;
    WeSleepCallback m_SleepCallback = nullptr;
    WeWakeCallback m_WakeCallback = nullptr;
    WeList<WeTriangleMeshShape*> m_CookedMeshes;
    NxCookingInterface* m_Cooking = nullptr;
    uint8_t m_Paused = 0;
    uint8_t m_StepPending = 0;
    WePhysicHandle* m_FirstLive = nullptr;

    static CollisionCallback s_CollisionCallback;
    static TriggerCallback s_TriggerCallback;
    static SleepWakeUpCallback s_SleepWakeUpCallback;
    static RaycastReport s_RaycastReport;

private:
    void SetupMaterial(uint16_t& index, float restitution, float staticFriction, float dynamicFriction);
    // The shapes, body and group rules shared by boxes, spheres and capsules.
    WeActorHandle* CreatePrimitiveActor(WeActor* owner, const NxMat34& pose, NxShapeDesc& main, NxShapeDesc& plain,
                                        uint16_t group, float mass, bool isStatic, uint16_t shapeFlags, bool isBox,
                                        const D3DXVECTOR3* linearVelocity, const D3DXVECTOR3* angularVelocity);
};

// The process-wide physics object, constructed on first use.
#define g_Physics (WePhysics::Instance())
