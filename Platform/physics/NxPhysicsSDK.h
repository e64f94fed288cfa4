#pragma once
#include <vector>

#include "Platform/physics/NxTypes.h"

class NxCCDSkeleton;
class NxClothMesh;
class NxScene;
class NxSceneDesc;
class NxSimpleTriangleMesh;
class NxStream;
class NxTriangleMesh;
class NxUserAllocator;
class NxUserOutputStream;

// SDK description; only the hardware fields exist for the caller to fill, and none applies here.
class NxPhysicsSDKDesc
{
public:
    NxU32 hwPageSize = 65536;
    NxU32 hwMaxPages = 256;
    NxU32 hwConvexMax = 2048;
    NxU32 cookerThreadMask = 0;
    NxU32 flags = 0;
    NxU32 gpuHeapSize = 0;
    NxU32 meshCacheSize = 0;

    void setToDefault() { *this = NxPhysicsSDKDesc(); }
    bool isValid() const { return true; }
};

// The physics runtime: scenes, and the meshes and skeletons shapes share. Everything it created goes
// away with release().
class NxPhysicsSDK
{
public:
    void release();

    void setParameter(NxParameter parameter, NxReal value);
    NxReal getParameter(NxParameter parameter) const;
    // Always 0: there is no physics hardware, so every scene is simulated in software.
    NxU32 getHWVersion() const { return 0; }

    NxScene* createScene(const NxSceneDesc& desc);
    void releaseScene(NxScene& scene);
    NxU32 getNbScenes() const { return static_cast<NxU32>(m_Scenes.size()); }

    // Meshes from cooked bytes; null on bytes the cooker did not write.
    NxTriangleMesh* createTriangleMesh(const NxStream& stream);
    void releaseTriangleMesh(NxTriangleMesh& mesh);
    NxU32 getNbTriangleMeshes() const { return static_cast<NxU32>(m_Meshes.size()); }
    NxClothMesh* createClothMesh(const NxStream& stream);
    void releaseClothMesh(NxClothMesh& mesh);
    NxU32 getNbClothMeshes() const { return static_cast<NxU32>(m_ClothMeshes.size()); }

    // A skeleton stays alive while a shape uses it, whatever the program releases.
    NxCCDSkeleton* createCCDSkeleton(const NxSimpleTriangleMesh& mesh);
    void releaseCCDSkeleton(NxCCDSkeleton& skeleton);
    NxU32 getNbCCDSkeletons() const { return static_cast<NxU32>(m_Skeletons.size()); }

private:
    friend NxPhysicsSDK* NxCreatePhysicsSDK(NxU32, NxUserAllocator*, NxUserOutputStream*, const NxPhysicsSDKDesc&,
                                            NxSDKCreateError*);
    NxPhysicsSDK();
    ~NxPhysicsSDK();
    void collect();  // frees released meshes and skeletons no shape uses any more

    NxReal m_Params[NX_PARAMS_NUM_VALUES];
    std::vector<NxScene*> m_Scenes;
    std::vector<NxTriangleMesh*> m_Meshes;
    std::vector<NxClothMesh*> m_ClothMeshes;
    std::vector<NxCCDSkeleton*> m_Skeletons;
    std::vector<void*> m_ReleasedObjects;  // released by the program but still referenced
};

// Creates an SDK. Null (with NXCE_WRONG_VERSION) unless the version is NX_PHYSICS_SDK_VERSION.
NxPhysicsSDK* NxCreatePhysicsSDK(NxU32 sdkVersion, NxUserAllocator* allocator = nullptr,
                                 NxUserOutputStream* outputStream = nullptr,
                                 const NxPhysicsSDKDesc& desc = NxPhysicsSDKDesc(),
                                 NxSDKCreateError* errorCode = nullptr);
// For tests of the callers' failure paths: the next count calls of NxCreatePhysicsSDK fail as if no
// runtime were installed (null, NXCE_RUNTIME_NOT_FOUND).
void NxFailNextPhysicsSDKCreations(NxU32 count);
// Likewise for scenes: the next count calls of NxPhysicsSDK::createScene return null.
void NxFailNextSceneCreations(NxU32 count);
