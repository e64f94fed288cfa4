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
NxU32 g_FailSceneCreations = 0;

}  // namespace

void NxFailNextPhysicsSDKCreations(NxU32 count)
{
    g_FailCreations = count;
}

void NxFailNextSceneCreations(NxU32 count)
{
    g_FailSceneCreations = count;
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
    std::fill(std::begin(m_Params), std::end(m_Params), 0.0f);
    m_Params[NX_SKIN_WIDTH] = 0.025f;
    m_Params[NX_DEFAULT_SLEEP_LIN_VEL_SQUARED] = 0.15f * 0.15f;
    m_Params[NX_DEFAULT_SLEEP_ANG_VEL_SQUARED] = 0.14f * 0.14f;
    m_Params[NX_BOUNCE_THRESHOLD] = -2;
    m_Params[NX_DYN_FRICT_SCALING] = 1;
    m_Params[NX_STA_FRICT_SCALING] = 1;
    m_Params[NX_MAX_ANGULAR_VELOCITY] = 7;
    m_Params[NX_CCD_EPSILON] = 0.01f;
}

NxPhysicsSDK::~NxPhysicsSDK()
{
    for (NxScene* s : m_Scenes)
        delete s;
    for (NxTriangleMesh* m : m_Meshes)
        delete m;
    for (NxClothMesh* m : m_ClothMeshes)
        delete m;
    for (NxCCDSkeleton* s : m_Skeletons)
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
    m_Params[parameter] = value;
}

NxReal NxPhysicsSDK::getParameter(NxParameter parameter) const
{
    if (parameter < 0 || parameter >= NX_PARAMS_NUM_VALUES)
        return 0;
    return m_Params[parameter];
}

NxScene* NxPhysicsSDK::createScene(const NxSceneDesc& desc)
{
    if (g_FailSceneCreations > 0)
    {
        --g_FailSceneCreations;
        return nullptr;
    }
    if (!desc.isValid())
        return nullptr;
    NxScene* scene = new NxScene(this, desc);
    m_Scenes.push_back(scene);
    return scene;
}

void NxPhysicsSDK::releaseScene(NxScene& scene)
{
    if (!erase(m_Scenes, &scene))
        return;
    delete &scene;
    collect();
}

NxTriangleMesh* NxPhysicsSDK::createTriangleMesh(const NxStream& stream)
{
    NxTriangleMesh* mesh = NxTriangleMesh::load(stream);
    if (mesh)
        m_Meshes.push_back(mesh);
    return mesh;
}

void NxPhysicsSDK::releaseTriangleMesh(NxTriangleMesh& mesh)
{
    if (std::find(m_Meshes.begin(), m_Meshes.end(), &mesh) == m_Meshes.end())
        return;
    if (std::find(m_ReleasedObjects.begin(), m_ReleasedObjects.end(), &mesh) == m_ReleasedObjects.end())
        m_ReleasedObjects.push_back(&mesh);
    collect();
}

NxClothMesh* NxPhysicsSDK::createClothMesh(const NxStream& stream)
{
    NxClothMesh* mesh = NxClothMesh::load(stream);
    if (mesh)
        m_ClothMeshes.push_back(mesh);
    return mesh;
}

void NxPhysicsSDK::releaseClothMesh(NxClothMesh& mesh)
{
    if (std::find(m_ClothMeshes.begin(), m_ClothMeshes.end(), &mesh) == m_ClothMeshes.end())
        return;
    if (std::find(m_ReleasedObjects.begin(), m_ReleasedObjects.end(), &mesh) == m_ReleasedObjects.end())
        m_ReleasedObjects.push_back(&mesh);
    collect();
}

NxCCDSkeleton* NxPhysicsSDK::createCCDSkeleton(const NxSimpleTriangleMesh& mesh)
{
    NxCCDSkeleton* s = new NxCCDSkeleton(mesh);
    m_Skeletons.push_back(s);
    return s;
}

void NxPhysicsSDK::releaseCCDSkeleton(NxCCDSkeleton& skeleton)
{
    if (std::find(m_Skeletons.begin(), m_Skeletons.end(), &skeleton) == m_Skeletons.end())
        return;
    if (std::find(m_ReleasedObjects.begin(), m_ReleasedObjects.end(), &skeleton) == m_ReleasedObjects.end())
        m_ReleasedObjects.push_back(&skeleton);
    collect();
}

void NxPhysicsSDK::collect()
{
    for (size_t i = 0; i < m_ReleasedObjects.size();)
    {
        void* p = m_ReleasedObjects[i];
        bool freed = false;
        for (NxTriangleMesh* m : m_Meshes)
            if (m == p && m->getReferenceCount() == 0)
            {
                erase(m_Meshes, m);
                delete m;
                freed = true;
                break;
            }
        if (!freed)
            for (NxClothMesh* m : m_ClothMeshes)
                if (m == p && m->getReferenceCount() == 0)
                {
                    erase(m_ClothMeshes, m);
                    delete m;
                    freed = true;
                    break;
                }
        if (!freed)
            for (NxCCDSkeleton* s : m_Skeletons)
                if (s == p && s->getReferenceCount() == 0)
                {
                    erase(m_Skeletons, s);
                    delete s;
                    freed = true;
                    break;
                }
        if (freed)
            m_ReleasedObjects.erase(m_ReleasedObjects.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}
