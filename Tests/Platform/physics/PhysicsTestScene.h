#pragma once
// Shared set-up for the physics layer tests: an SDK with one scene, report recorders and builders
// for the bodies the tests drop on each other.
#include <gtest/gtest.h>

#include <vector>

#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxCooking.h"
#include "Platform/physics/NxMemoryStream.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxSceneDesc.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxShapeDesc.h"
#include "Platform/physics/NxTriangleMesh.h"
#include "Platform/physics/NxTriangleMeshDesc.h"
#include "Platform/physics/NxUserContactReport.h"
#include "Platform/physics/NxUserNotify.h"
#include "Platform/physics/NxUserTriggerReport.h"

struct ContactEvent
{
    NxActor* a;
    NxActor* b;
    NxU32 events;
    NxVec3 normalForce;
    NxVec3 point;
    bool hasPoint;
};

class ContactRecorder : public NxUserContactReport
{
public:
    std::vector<ContactEvent> events;
    void onContactNotify(NxContactPair& pair, NxU32 ev) override
    {
        ContactEvent e{pair.actors[0], pair.actors[1], ev, pair.sumNormalForce, NxVec3(), false};
        NxContactStreamIterator it(pair.stream);
        if (it.goNextPair() && it.goNextPatch() && it.goNextPoint())
        {
            e.point = it.getPoint();
            e.hasPoint = true;
        }
        events.push_back(e);
    }
    // Events of the pair (a, b) in either order, one entry per step they were reported.
    std::vector<NxU32> of(NxActor* a, NxActor* b) const
    {
        std::vector<NxU32> r;
        for (const auto& e : events)
            if ((e.a == a && e.b == b) || (e.a == b && e.b == a))
                r.push_back(e.events);
        return r;
    }
};

struct TriggerEvent
{
    NxShape* trigger;
    NxShape* other;
    NxU32 status;
};

class TriggerRecorder : public NxUserTriggerReport
{
public:
    std::vector<TriggerEvent> events;
    void onTrigger(NxShape& t, NxShape& o, NxTriggerFlag status) override { events.push_back({&t, &o, status}); }
    std::vector<NxU32> statuses() const
    {
        std::vector<NxU32> r;
        for (const auto& e : events)
            r.push_back(e.status);
        return r;
    }
};

class NotifyRecorder : public NxUserNotify
{
public:
    std::vector<NxActor*> woke, slept;
    int sleepBatches = 0;
    bool onJointBreak(NxReal, NxJoint&) override { return true; }
    void onWake(NxActor** actors, NxU32 n) override { woke.insert(woke.end(), actors, actors + n); }
    void onSleep(NxActor** actors, NxU32 n) override
    {
        slept.insert(slept.end(), actors, actors + n);
        ++sleepBatches;
    }
};

class PhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        contacts = ContactRecorder();
        triggers = TriggerRecorder();
        notify = NotifyRecorder();
        sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION);
        ASSERT_NE(sdk, nullptr);
        NxSceneDesc desc;
        desc.gravity.set(0, -9.81f, 0);
        scene = sdk->createScene(desc);
        ASSERT_NE(scene, nullptr);
        scene->setUserContactReport(&contacts);
        scene->setUserTriggerReport(&triggers);
        scene->setUserNotify(&notify);
    }
    void TearDown() override
    {
        if (sdk)
            sdk->release();
        sdk = nullptr;
    }

    // One engine tick: start a step and fetch it.
    void step(NxReal dt = 1.0f / 60.0f)
    {
        scene->simulate(dt);
        scene->flushStream();
        scene->fetchResults(NX_RIGID_BODY_FINISHED, true);
    }
    void steps(int n)
    {
        for (int i = 0; i < n; ++i)
            step();
    }

    NxActor* box(const NxVec3& pos, const NxVec3& half, bool dynamic, NxU32 shapeFlags = 0, NxCollisionGroup group = 0,
                 NxReal mass = 1)
    {
        NxBoxShapeDesc shape;
        shape.dimensions = half;
        shape.shapeFlags |= shapeFlags;
        shape.group = group;
        NxBodyDesc body;
        body.mass = mass;
        NxActorDesc actor;
        actor.shapes.pushBack(&shape);
        actor.body = dynamic ? &body : nullptr;
        actor.globalPose.t = pos;
        return scene->createActor(actor);
    }

    NxActor* sphere(const NxVec3& pos, NxReal radius, bool dynamic, NxU32 shapeFlags = 0, NxCollisionGroup group = 0)
    {
        NxSphereShapeDesc shape;
        shape.radius = radius;
        shape.shapeFlags |= shapeFlags;
        shape.group = group;
        NxBodyDesc body;
        body.mass = 1;
        NxActorDesc actor;
        actor.shapes.pushBack(&shape);
        actor.body = dynamic ? &body : nullptr;
        actor.globalPose.t = pos;
        return scene->createActor(actor);
    }

    // A flat square of 2 x half by 2 x half at height y, cooked with 16-bit indices.
    NxTriangleMesh* groundMesh(NxReal half = 20, NxReal y = 0)
    {
        const float points[] = {-half, y, -half, half, y, -half, half, y, half, -half, y, half};
        const NxU16 tris[] = {0, 2, 1, 0, 3, 2};
        NxTriangleMeshDesc desc;
        desc.numVertices = 4;
        desc.numTriangles = 2;
        desc.pointStrideBytes = 12;
        desc.triangleStrideBytes = 6;
        desc.points = points;
        desc.triangles = tris;
        desc.flags = NX_MF_16_BIT_INDICES | NX_MF_HARDWARE_MESH;
        NxMemoryStream stream;
        if (!NxCookTriangleMesh(desc, stream))
            return nullptr;
        return sdk->createTriangleMesh(stream);
    }

    NxActor* meshActor(NxTriangleMesh* mesh, NxCollisionGroup group = 0)
    {
        NxTriangleMeshShapeDesc shape;
        shape.meshData = mesh;
        shape.meshPagingMode = NX_MESH_PAGING_AUTO;
        shape.group = group;
        NxActorDesc actor;
        actor.shapes.pushBack(&shape);
        return scene->createActor(actor);
    }

    NxPhysicsSDK* sdk = nullptr;
    NxScene* scene = nullptr;
    ContactRecorder contacts;
    TriggerRecorder triggers;
    NotifyRecorder notify;
};
