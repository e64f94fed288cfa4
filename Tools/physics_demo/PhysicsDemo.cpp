// Drops a stack of boxes onto a cooked triangle mesh, prints every contact and sleep report the scene
// delivers, and ends when all boxes sleep (exit 0) or after a minute of simulated time (exit 1).
#include <cstdio>
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

namespace
{

const char* eventName(NxU32 events)
{
    if (events & NX_NOTIFY_ON_START_TOUCH)
        return "start-touch";
    if (events & NX_NOTIFY_ON_END_TOUCH)
        return "end-touch";
    return "touch";
}

class Reports : public NxUserContactReport, public NxUserNotify
{
public:
    float time = 0;
    int touches = 0;
    void onContactNotify(NxContactPair& pair, NxU32 events) override
    {
        if (events == NX_NOTIFY_ON_TOUCH)
        {
            ++touches;  // steady touches are counted, not printed
            return;
        }
        NxVec3 point;
        NxContactStreamIterator it(pair.stream);
        if (it.goNextPair() && it.goNextPatch() && it.goNextPoint())
            point = it.getPoint();
        std::printf("%6.3f s  contact %-11s %s / %s  normal force (%.1f, %.1f, %.1f)  point (%.2f, %.2f, %.2f)\n", time,
                    eventName(events), pair.actors[0]->getName(), pair.actors[1]->getName(), pair.sumNormalForce.x,
                    pair.sumNormalForce.y, pair.sumNormalForce.z, point.x, point.y, point.z);
    }
    bool onJointBreak(NxReal, NxJoint&) override { return true; }
    void onWake(NxActor** actors, NxU32 n) override
    {
        for (NxU32 i = 0; i < n; ++i)
            std::printf("%6.3f s  wake  %s\n", time, actors[i]->getName());
    }
    void onSleep(NxActor** actors, NxU32 n) override
    {
        for (NxU32 i = 0; i < n; ++i)
            std::printf("%6.3f s  sleep %s\n", time, actors[i]->getName());
    }
};

NxTriangleMesh* cookGround(NxPhysicsSDK& sdk)
{
    // A shallow bowl of 8 x 8 quads, so the boxes land on a real mesh rather than a plane.
    const int n = 9;
    std::vector<float> points;
    std::vector<NxU16> triangles;
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x)
        {
            const float px = -8.0f + 2.0f * x, pz = -8.0f + 2.0f * z;
            points.insert(points.end(), {px, 0.01f * (px * px + pz * pz), pz});
        }
    for (int z = 0; z + 1 < n; ++z)
        for (int x = 0; x + 1 < n; ++x)
        {
            const NxU16 i = static_cast<NxU16>(z * n + x);
            triangles.insert(triangles.end(),
                             {i, static_cast<NxU16>(i + n), static_cast<NxU16>(i + 1), static_cast<NxU16>(i + 1),
                              static_cast<NxU16>(i + n), static_cast<NxU16>(i + n + 1)});
        }
    NxTriangleMeshDesc desc;
    desc.numVertices = static_cast<NxU32>(points.size() / 3);
    desc.numTriangles = static_cast<NxU32>(triangles.size() / 3);
    desc.pointStrideBytes = 12;
    desc.triangleStrideBytes = 6;
    desc.points = points.data();
    desc.triangles = triangles.data();
    desc.flags = NX_MF_16_BIT_INDICES | NX_MF_HARDWARE_MESH;
    NxInitCooking();
    NxCookingParams params;
    params.skinWidth = 0.3f;
    NxSetCookingParams(params);
    NxMemoryStream cooked;
    const bool ok = NxCookTriangleMesh(desc, cooked);
    NxCloseCooking();
    std::printf("cooked ground: %u vertices, %u triangles, %zu bytes\n", desc.numVertices, desc.numTriangles,
                cooked.bytes().size());
    return ok ? sdk.createTriangleMesh(cooked) : nullptr;
}

}  // namespace

int main()
{
    NxPhysicsSDK* sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION);
    if (!sdk)
    {
        std::fprintf(stderr, "physics_demo: no SDK\n");
        return 1;
    }
    Reports reports;
    NxSceneDesc sceneDesc;
    sceneDesc.gravity.set(0, -9.81f, 0);
    sceneDesc.userContactReport = &reports;
    sceneDesc.userNotify = &reports;
    NxScene* scene = sdk->createScene(sceneDesc);
    scene->setTiming(1.0f / 60.0f, 8, NX_TIMESTEP_FIXED);
    for (NxActorGroup i = 0; i < 32; ++i)
        for (NxActorGroup j = i; j < 32; ++j)
            scene->setActorGroupPairFlags(i, j, 0x7FE);

    NxTriangleMesh* mesh = cookGround(*sdk);
    if (!mesh)
    {
        std::fprintf(stderr, "physics_demo: cooking failed\n");
        sdk->release();
        return 1;
    }
    NxTriangleMeshShapeDesc groundShape;
    groundShape.meshData = mesh;
    groundShape.meshPagingMode = NX_MESH_PAGING_AUTO;
    NxActorDesc groundDesc;
    groundDesc.shapes.pushBack(&groundShape);
    NxActor* ground = scene->createActor(groundDesc);
    ground->setName("ground");

    std::vector<NxActor*> boxes;
    static char names[5][8];
    for (int i = 0; i < 5; ++i)
    {
        NxBoxShapeDesc shape;
        shape.dimensions.set(0.5f, 0.5f, 0.5f);
        NxBodyDesc body;
        body.mass = 10;
        NxActorDesc desc;
        desc.shapes.pushBack(&shape);
        desc.body = &body;
        desc.globalPose.t.set(0.1f * static_cast<float>(i % 2), 1.0f + 1.2f * static_cast<float>(i), 0);
        NxActor* b = scene->createActor(desc);
        std::snprintf(names[i], sizeof names[i], "box%d", i + 1);
        b->setName(names[i]);
        boxes.push_back(b);
    }

    bool allAsleep = false;
    int step = 0;
    for (; step < 3600 && !allAsleep; ++step)
    {
        reports.time = static_cast<float>(step + 1) / 60.0f;
        scene->simulate(1.0f / 60.0f);
        scene->flushStream();
        scene->fetchResults(NX_RIGID_BODY_FINISHED, true);
        allAsleep = true;
        for (NxActor* b : boxes)
            allAsleep = allAsleep && b->isSleeping();
    }
    std::printf("%d steady touch reports\n", reports.touches);
    for (NxActor* b : boxes)
    {
        const NxVec3 p = b->getGlobalPosition();
        std::printf("%s at (%.2f, %.2f, %.2f) %s\n", b->getName(), p.x, p.y, p.z, b->isSleeping() ? "asleep" : "awake");
    }
    std::printf(allAsleep ? "every box asleep after %.2f s\n" : "boxes still awake after %.2f s\n",
                static_cast<float>(step) / 60.0f);
    sdk->release();
    return allAsleep ? 0 : 1;
}
