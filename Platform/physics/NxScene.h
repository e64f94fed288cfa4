#pragma once
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "Platform/physics/NxContactState.h"
#include "Platform/physics/NxMaterial.h"
#include "Platform/physics/NxRay.h"
#include "Platform/physics/NxSceneDesc.h"
#include "Platform/physics/NxUserRaycastReport.h"

class NxActor;
class NxActorDesc;
class NxCloth;
class NxClothDesc;
class NxPhysicsSDK;
class NxShape;
class NxUserContactReport;
class NxUserNotify;
class NxUserTriggerReport;
class NxBulletWorld;
class btCollisionShape;
class btRigidBody;
struct NxGroupsMask;

// The one simulated world. simulate() only records the elapsed time; fetchResults() runs the step on
// the caller's thread, in fixed sub-steps from setTiming, and then delivers the contact, trigger,
// sleep and wake reports of that step.
class NxScene
{
public:
    ~NxScene();
    NxScene(const NxScene&) = delete;
    NxScene& operator=(const NxScene&) = delete;

    NxPhysicsSDK& getPhysicsSDK() const { return *m_Sdk; }

    // Actors and cloths.
    NxActor* createActor(const NxActorDesc& desc);
    void releaseActor(NxActor& actor);
    NxU32 getNbActors() const { return static_cast<NxU32>(m_Actors.size()); }
    NxActor** getActors() { return m_Actors.data(); }
    NxCloth* createCloth(const NxClothDesc& desc);
    void releaseCloth(NxCloth& cloth);
    NxU32 getNbCloths() const { return static_cast<NxU32>(m_Cloths.size()); }

    // Materials: index 0 always exists; combine modes apply per contact.
    NxMaterial* createMaterial(const NxMaterialDesc& desc);
    NxMaterial* getMaterialFromIndex(NxMaterialIndex index) const;
    NxU32 getNbMaterials() const { return static_cast<NxU32>(m_Materials.size()); }

    // Filtering. Group collision: shapes of groups g1, g2 collide (all pairs by default). Actor-group pair
    // flags: the notify bits choose the contact events reported; they never stop a collision (bit 0
    // included). Actor pair flag NX_IGNORE_PAIR makes two actors ignore each other.
    void setGroupCollisionFlag(NxCollisionGroup g1, NxCollisionGroup g2, bool enable);
    bool getGroupCollisionFlag(NxCollisionGroup g1, NxCollisionGroup g2) const;
    void setActorGroupPairFlags(NxActorGroup g1, NxActorGroup g2, NxU32 flags);
    NxU32 getActorGroupPairFlags(NxActorGroup g1, NxActorGroup g2) const;
    void setActorPairFlags(NxActor& a, NxActor& b, NxU32 flags);
    NxU32 getActorPairFlags(NxActor& a, NxActor& b) const;

    // Reports.
    void setUserContactReport(NxUserContactReport* report) { m_ContactReport = report; }
    NxUserContactReport* getUserContactReport() const { return m_ContactReport; }
    void setUserTriggerReport(NxUserTriggerReport* report) { m_TriggerReport = report; }
    NxUserTriggerReport* getUserTriggerReport() const { return m_TriggerReport; }
    void setUserNotify(NxUserNotify* notify) { m_Notify = notify; }
    NxUserNotify* getUserNotify() const { return m_Notify; }

    // Stepping. Fixed: the elapsed time is accumulated and simulated in whole steps of maxTimestep, at
    // most maxIter per call (excess time is dropped). Variable: the elapsed time is split into the
    // fewest equal sub-steps no longer than maxTimestep, at most maxIter.
    void setTiming(NxReal maxTimestep = 1.0f / 60.0f, NxU32 maxIter = 8, NxTimeStepMethod method = NX_TIMESTEP_FIXED);
    void getTiming(NxReal& maxTimestep, NxU32& maxIter, NxTimeStepMethod& method, NxU32* numSubSteps = nullptr) const;
    void setGravity(const NxVec3& gravity);
    void getGravity(NxVec3& gravity) const { gravity = m_Gravity; }
    void simulate(NxReal elapsedTime);
    void flushStream() {}
    bool checkResults(NxSimulationStatus status, bool block = false) const;
    bool fetchResults(NxSimulationStatus status, bool block = false, NxU32* errorState = nullptr);

    // Ray casts. Trigger shapes and shapes with NX_SF_DISABLE_RAYCASTING are never hit; groups is a
    // mask of collision groups (bit n: group n); the direction is normalised here. Distances beyond
    // MaxRayLength are cut to it.
    static constexpr NxReal MaxRayLength = 1.0e6f;
    bool raycastAnyShape(const NxRay& ray, NxShapesType shapesType, NxU32 groups = 0xFFFFFFFF,
                         NxReal maxDist = NX_MAX_F32, const NxGroupsMask* groupsMask = nullptr,
                         NxShape** cache = nullptr);
    NxU32 raycastAllShapes(const NxRay& ray, NxUserRaycastReport& report, NxShapesType shapesType,
                           NxU32 groups = 0xFFFFFFFF, NxReal maxDist = NX_MAX_F32, NxU32 hintFlags = 0xFFFFFFFF,
                           const NxGroupsMask* groupsMask = nullptr);
    NxShape* raycastClosestShape(const NxRay& ray, NxShapesType shapesType, NxRaycastHit& hit,
                                 NxU32 groups = 0xFFFFFFFF, NxReal maxDist = NX_MAX_F32, NxU32 hintFlags = 0xFFFFFFFF,
                                 const NxGroupsMask* groupsMask = nullptr, NxShape** cache = nullptr);

    // Internal to the layer.
    NxBulletWorld* bulletWorld() const { return m_World; }
    // Pair filtering changed: for one actor, or for everything when actor is null.
    void markFiltersDirty(NxActor* actor = nullptr);
    bool shapesCollide(const NxShape& a, const NxShape& b) const;
    bool pairIgnored(const NxActor& a, const NxActor& b) const;
    bool actorsMayCollide(const NxActor& a, const NxActor& b) const;
    bool clothMayTouch(const NxCloth& cloth, const NxActor& actor) const;
    const NxMaterial& materialOrDefault(NxMaterialIndex index) const;
    void collectSubStepContacts();  // after each sub-step: which pairs touch, with what forces
    void prepareCollision();        // before each collision pass: trigger objects follow their actors
    void filterContacts();          // after each collision pass: per-shape groups and materials
    NxU32 nextSerial() { return ++m_Serial; }
    // A rigid body is about to be deleted: cloths anchored to it move to the replacement, or let go.
    void replaceClothAnchors(const btRigidBody* old, btRigidBody* replacement);
    // A collision shape is about to be deleted: the cloths' distance cache forgets it, so a shape
    // that later gets the same address is not taken for it.
    void forgetShape(btCollisionShape* shape);

private:
    friend class NxPhysicsSDK;
    NxScene(NxPhysicsSDK* sdk, const NxSceneDesc& desc);
    void refreshFilters();
    void runStep(NxReal elapsed);
    void deliverReports(NxReal stepTime);
    bool castShape(const NxRay& ray, NxReal maxDist, NxShape& shape, NxRaycastHit& hit) const;
    std::vector<NxRaycastHit> castAll(const NxRay& ray, NxShapesType type, NxU32 groups, NxReal maxDist,
                                      bool stopAtFirst);

    NxPhysicsSDK* m_Sdk;
    NxBulletWorld* m_World = nullptr;
    std::vector<std::unique_ptr<NxMaterial>> m_Materials;
    NxU32 m_GroupCollision[32];
    std::map<NxU32, NxU32> m_ActorGroupPairFlags;
    std::set<std::pair<const NxActor*, const NxActor*>> m_IgnoredPairs;
    std::vector<NxActor*> m_Actors;
    std::vector<NxActor*> m_ReleasedActors;  // kept inert until the scene goes, so stale calls are harmless
    std::vector<NxCloth*> m_Cloths;
    std::vector<NxCloth*> m_ReleasedCloths;
    NxUserContactReport* m_ContactReport = nullptr;
    NxUserTriggerReport* m_TriggerReport = nullptr;
    NxUserNotify* m_Notify = nullptr;
    NxVec3 m_Gravity;
    NxReal m_MaxTimestep = 1.0f / 60.0f;
    NxU32 m_MaxIter = 8;
    NxTimeStepMethod m_Method = NX_TIMESTEP_FIXED;
    NxReal m_Accumulator = 0;
    NxU32 m_LastSubSteps = 0;
    bool m_Simulating = false;
    NxReal m_PendingTime = 0;
    bool m_FiltersDirty = false;
    std::set<NxActor*, NxActorOrder> m_DirtyActors;
    NxU32 m_SubStep = 0;
    NxU32 m_Serial = 0;
    NxContactState m_Contacts;
};
