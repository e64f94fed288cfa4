// Feeds arbitrary bytes, as cooked data, through the engine's read-only memory stream to the SDK's
// triangle-mesh and cloth-mesh readers, and uses what they accept.
#include <cstddef>
#include <cstdint>

#include "Engine/world/MemoryReadBuffer.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxTriangleMesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NxPhysicsSDK* sdk = NxCreatePhysicsSDK(NX_PHYSICS_SDK_VERSION);
    const NxU32 length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<NxU32>(size);
    if (NxTriangleMesh* mesh = sdk->createTriangleMesh(MemoryReadBuffer(data, length)))
    {
        float sum = 0;
        for (NxU32 i = 0; i < mesh->getNbTriangles() * 3; ++i)
            sum += mesh->getVertices()[mesh->getTriangles()[i]].x;
        (void)sum;
        sdk->releaseTriangleMesh(*mesh);
    }
    if (NxClothMesh* cloth = sdk->createClothMesh(MemoryReadBuffer(data, length)))
    {
        for (NxU32 index : cloth->indices())
            (void)cloth->vertices()[index];
        sdk->releaseClothMesh(*cloth);
    }
    return 0;
}
