#pragma once
#include "Platform/physics/NxTypes.h"

class NxClothMeshDesc;
class NxStream;
class NxTriangleMeshDesc;
class NxUserAllocator;
class NxUserOutputStream;

class NxCookingParams
{
public:
    NxCookingPlatform targetPlatform = PLATFORM_PC;
    NxReal skinWidth = 0.025f;
    bool hintCollisionSpeed = false;
};

// Cooking writes the layer's own byte format (see NxCookedFormat.h) into the stream; the SDK's
// createTriangleMesh and createClothMesh read it back. Cooking checks every index against the vertex
// count and fails on bad input instead of writing it.
bool NxInitCooking(NxUserAllocator* allocator = nullptr, NxUserOutputStream* outputStream = nullptr);
void NxCloseCooking();
bool NxSetCookingParams(const NxCookingParams& params);
const NxCookingParams& NxGetCookingParams();
bool NxCookTriangleMesh(const NxTriangleMeshDesc& desc, NxStream& stream);
bool NxCookClothMesh(const NxClothMeshDesc& desc, NxStream& stream);

// The same operations as an interface object, as the cooking library hands it out.
class NxCookingInterface
{
public:
    virtual bool NxSetCookingParams(const NxCookingParams& params);
    virtual const NxCookingParams& NxGetCookingParams();
    virtual bool NxCookTriangleMesh(const NxTriangleMeshDesc& desc, NxStream& stream);
    virtual bool NxCookClothMesh(const NxClothMeshDesc& desc, NxStream& stream);
    virtual bool NxInitCooking(NxUserAllocator* allocator = nullptr, NxUserOutputStream* outputStream = nullptr);
    virtual void NxCloseCooking();
    virtual ~NxCookingInterface() = default;
};

// Null unless the version is NX_PHYSICS_SDK_VERSION.
NxCookingInterface* NxGetCookingLib(NxU32 sdkVersion);
