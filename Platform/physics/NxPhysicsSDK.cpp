#include "Platform/physics/NxPhysicsSDK.h"

#include <algorithm>
#include <cstddef>

#include "Platform/physics/NxCCDSkeleton.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxTriangleMesh.h"

namespace
{

template <typename T>
bool erase(std::vector<T*>& v, T* p)
{
    auto it = std::find(v.begin(), v.end(), p);
    if (it == v.end())
        return false;
    v.erase(it);
    return true;
}

NxU32 g_FailCreations = 0;

}  // namespace

void NxFailNextPhysicsSDKCreations(NxU32 count)
{
    g_FailCreations = count;
}

NxPhysicsSDK* NxCreatePhysicsSDK(NxU32 sdkVersion, NxUserAllocator*, NxUserOutputStream*, const NxPhysicsSDKDesc& desc,
                                 NxSDKCreateError* errorCode)
{
    NxSDKCreateError error = NXCE_NO_ERROR;
    if (g_FailCreations > 0)
    {
        --g_FailCreations;
        error = NXCE_RUNTIME_NOT_FOUND;
    }
    else if (sdkVersion != NX_PHYSICS_SDK_VERSION)
        error = NXCE_WRONG_VERSION;
    else if (!desc.isValid())
        error = NXCE_DESCRIPTOR_INVALID;
    if (errorCode)
        *errorCode = error;
    return error == NXCE_NO_ERROR ? new NxPhysicsSDK() : nullptr;
}

NxPhysicsSDK::NxPhysicsSDK()
{
    std::fill(std::begin(params_), std::end(params_), 0.0f);
    params_[NX_SKIN_WIDTH] = 0.025f;
    params_[NX_DEFAULT_SLEEP_LIN_VEL_SQUARED] = 0.15f * 0.15f;
    params_[NX_DEFAULT_SLEEP_ANG_VEL_SQUARED] = 0.14f * 0.14f;
    params_[NX_BOUNCE_THRESHOLD] = -2;
    params_[NX_DYN_FRICT_SCALING] = 1;
    params_[NX_STA_FRICT_SCALING] = 1;
    params_[NX_MAX_ANGULAR_VELOCITY] = 7;
    params_[NX_CCD_EPSILON] = 0.01f;
}

NxPhysicsSDK::~NxPhysicsSDK()
{
    for (NxScene* s : scenes_)
        delete s;
    for (NxTriangleMesh* m : meshes_)
        delete m;
    for (NxClothMesh* m : clothMeshes_)
        delete m;
    for (NxCCDSkeleton* s : skeletons_)
        delete s;
}

void NxPhysicsSDK::release()
{
    delete this;
}

void NxPhysicsSDK::setParameter(NxParameter parameter, NxReal value)
{
    if (parameter < 0 || parameter >= NX_PARAMS_NUM_VALUES)
        return;
    params_[parameter] = value;
}

NxReal NxPhysicsSDK::getParameter(NxParameter parameter) const
{
    if (parameter < 0 || parameter >= NX_PARAMS_NUM_VALUES)
        return 0;
    return params_[parameter];
}

NxScene* NxPhysicsSDK::createScene(const NxSceneDesc& desc)
{
    if (!desc.isValid())
        return nullptr;
    NxScene* scene = new NxScene(this, desc);
    scenes_.push_back(scene);
    return scene;
}

void NxPhysicsSDK::releaseScene(NxScene& scene)
{
    if (!erase(scenes_, &scene))
        return;
    delete &scene;
    collect();
}

NxTriangleMesh* NxPhysicsSDK::createTriangleMesh(const NxStream& stream)
{
    NxTriangleMesh* mesh = NxTriangleMesh::load(stream);
    if (mesh)
        meshes_.push_back(mesh);
    return mesh;
}

void NxPhysicsSDK::releaseTriangleMesh(NxTriangleMesh& mesh)
{
    if (std::find(meshes_.begin(), meshes_.end(), &mesh) == meshes_.end())
        return;
    if (std::find(releasedObjects_.begin(), releasedObjects_.end(), &mesh) == releasedObjects_.end())
        releasedObjects_.push_back(&mesh);
    collect();
}

NxClothMesh* NxPhysicsSDK::createClothMesh(const NxStream& stream)
{
    NxClothMesh* mesh = NxClothMesh::load(stream);
    if (mesh)
        clothMeshes_.push_back(mesh);
    return mesh;
}

void NxPhysicsSDK::releaseClothMesh(NxClothMesh& mesh)
{
    if (std::find(clothMeshes_.begin(), clothMeshes_.end(), &mesh) == clothMeshes_.end())
        return;
    if (std::find(releasedObjects_.begin(), releasedObjects_.end(), &mesh) == releasedObjects_.end())
        releasedObjects_.push_back(&mesh);
    collect();
}

NxCCDSkeleton* NxPhysicsSDK::createCCDSkeleton(const NxSimpleTriangleMesh& mesh)
{
    NxCCDSkeleton* s = new NxCCDSkeleton(mesh);
    skeletons_.push_back(s);
    return s;
}

void NxPhysicsSDK::releaseCCDSkeleton(NxCCDSkeleton& skeleton)
{
    if (std::find(skeletons_.begin(), skeletons_.end(), &skeleton) == skeletons_.end())
        return;
    if (std::find(releasedObjects_.begin(), releasedObjects_.end(), &skeleton) == releasedObjects_.end())
        releasedObjects_.push_back(&skeleton);
    collect();
}

void NxPhysicsSDK::collect()
{
    for (size_t i = 0; i < releasedObjects_.size();)
    {
        void* p = releasedObjects_[i];
        bool freed = false;
        for (NxTriangleMesh* m : meshes_)
            if (m == p && m->getReferenceCount() == 0)
            {
                erase(meshes_, m);
                delete m;
                freed = true;
                break;
            }
        if (!freed)
            for (NxClothMesh* m : clothMeshes_)
                if (m == p && m->getReferenceCount() == 0)
                {
                    erase(clothMeshes_, m);
                    delete m;
                    freed = true;
                    break;
                }
        if (!freed)
            for (NxCCDSkeleton* s : skeletons_)
                if (s == p && s->getReferenceCount() == 0)
                {
                    erase(skeletons_, s);
                    delete s;
                    freed = true;
                    break;
                }
        if (freed)
            releasedObjects_.erase(releasedObjects_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}
