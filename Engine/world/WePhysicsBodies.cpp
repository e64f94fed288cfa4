// Body creation of WePhysics: boxes, spheres, capsules, triangle meshes and cloths.
#include <cstring>

#include "Engine/render/WeMesh.h"
#include "Engine/world/MemoryReadBuffer.h"
#include "Engine/world/MemoryWriteBuffer.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeActorHandle.h"
#include "Engine/world/WeClothHandle.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeTriangleMeshShape.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/physics/NxActor.h"
#include "Platform/physics/NxActorDesc.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxClothMesh.h"
#include "Platform/physics/NxCooking.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxScene.h"
#include "Platform/physics/NxShape.h"
#include "Platform/physics/NxShapeDesc.h"

namespace
{

// The body every dynamic primitive and mesh gets.
NxBodyDesc DefaultBody(float mass)
{
    NxBodyDesc body;
    body.mass = mass;
    body.wakeUpCounter = 0.4f;
    body.linearDamping = 0.0f;
    body.angularDamping = 0.05f;
    body.maxAngularVelocity = -1.0f;
    body.CCDMotionThreshold = 0.0f;
    body.flags = 0x900;
    body.sleepLinearVelocity = -1.0f;
    body.sleepAngularVelocity = -1.0f;
    body.solverIterationCount = 4;
    body.sleepEnergyThreshold = -1.0f;
    body.sleepDamping = 0.0f;
    body.contactReportThreshold = NX_MAX_F32;
    return body;
}

WeActorHandle* NewHandle(WeActor* owner, NxActor* actor)
{
    WeActorHandle* handle = new WeActorHandle();
    handle->m_Owner = owner;
    handle->m_Actor = actor;
    actor->userData = static_cast<WePhysicHandle*>(handle);
    return handle;
}

// Reads index i of an index buffer of the given width.
uint32_t IndexAt(const void* indices, bool wide, size_t i)
{
    if (wide)
    {
        uint32_t v;
        std::memcpy(&v, static_cast<const uint8_t*>(indices) + 4 * i, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(indices) + 2 * i, 2);
    return v;
}

}  // namespace

WeActorHandle* WePhysics::CreatePrimitiveActor(WeActor* owner, const NxMat34& pose, NxShapeDesc& main,
                                               NxShapeDesc& plain, uint16_t group, float mass, bool isStatic,
                                               uint16_t shapeFlags, bool isBox, const D3DXVECTOR3* linearVelocity,
                                               const D3DXVECTOR3* angularVelocity)
{
    if (owner)
        owner->ReleasePhysicsHandle();
    main.shapeFlags |= shapeFlags;
    NxActorDesc actorDesc;
    // A trigger body also gets a solid twin of the same size, first in the list.
    if (shapeFlags != 0)
    {
        plain.group = 1;
        actorDesc.shapes.pushBack(&plain);
    }
    actorDesc.shapes.pushBack(&main);
    actorDesc.globalPose = pose;
    actorDesc.density = 0.0f;
    NxBodyDesc body = DefaultBody(mass);
    if (linearVelocity)
        body.linearVelocity = NxVec3(linearVelocity->x, linearVelocity->y, linearVelocity->z);
    if (angularVelocity)
        body.angularVelocity = NxVec3(angularVelocity->x, angularVelocity->y, angularVelocity->z);
    if (!isStatic)
        actorDesc.body = &body;
    NxActor* actor = m_Scene->createActor(actorDesc);
    if (!actor)
        return nullptr;
    WeActorHandle* handle = NewHandle(owner, actor);
    if (actor->getNbShapes() > 0)
        actor->getShapes()[0]->setMaterial(owner ? owner->m_PhysicModel.material : 0);
    // Boxes take the group on every shape. A trigger sphere or capsule takes it on its trigger shape
    // only, and its solid twin stays in group 1, which the race pairs with nothing.
    if (isBox || shapeFlags == 0)
    {
        actor->setGroup(group);
        SetActorShapesGroup(actor, group);
    }
    else
    {
        actor->setGroup(group);
        actor->getShapes()[actor->getNbShapes() - 1]->setGroup(group);
    }
    return handle;
}

WeActorHandle* WePhysics::CreateBoxActor(WeActor* owner, const D3DXMATRIX& pose, const D3DXVECTOR3& halfExtents,
                                         uint16_t group, float mass, bool isStatic, uint16_t shapeFlags,
                                         const D3DXVECTOR3* linearVelocity, const D3DXVECTOR3* angularVelocity)
{
    if (!m_Initialised)
        return nullptr;
    NxBoxShapeDesc main, plain;
    main.dimensions = plain.dimensions = NxVec3(halfExtents.x, halfExtents.y, halfExtents.z);
    return CreatePrimitiveActor(owner, WePhysicsPoseFromMatrix(pose), main, plain, group, mass, isStatic, shapeFlags,
                                true, linearVelocity, angularVelocity);
}

WeActorHandle* WePhysics::CreateSphereActor(WeActor* owner, const D3DXVECTOR3& position, float radius, uint16_t group,
                                            float mass, bool isStatic, uint16_t shapeFlags)
{
    if (!m_Initialised)
        return nullptr;
    NxSphereShapeDesc main, plain;
    main.radius = plain.radius = radius;
    const NxMat34 pose(NxMat33(), NxVec3(position.x, position.y, position.z));
    return CreatePrimitiveActor(owner, pose, main, plain, group, mass, isStatic, shapeFlags, false, nullptr, nullptr);
}

WeActorHandle* WePhysics::CreateCapsuleActor(WeActor* owner, const D3DXVECTOR3& position, float radius, float height,
                                             uint16_t group, float mass, bool isStatic, uint16_t shapeFlags)
{
    if (!m_Initialised)
        return nullptr;
    NxCapsuleShapeDesc main, plain;
    main.radius = plain.radius = radius;
    main.height = plain.height = height;
    const NxMat34 pose(NxMat33(), NxVec3(position.x, position.y, position.z));
    return CreatePrimitiveActor(owner, pose, main, plain, group, mass, isStatic, shapeFlags, false, nullptr, nullptr);
}

WeActorHandle* WePhysics::CreateTriangleMeshActor(WeActor* owner, const D3DXMATRIX& pose, WeMesh* mesh, bool dynamic)
{
    if (!m_Initialised || !mesh)
        return nullptr;
    WeTriangleMeshShape* shape = nullptr;
    for (WeTriangleMeshShape* cached : m_CookedMeshes)
        if (cached->m_Name == mesh->m_Name)
        {
            shape = cached;
            break;
        }
    if (!shape)
    {
        shape = new WeTriangleMeshShape();
        if (!shape->Cook(mesh))
        {
            delete shape;
            return nullptr;
        }
        m_CookedMeshes.PushBack(shape);
    }
    NxActorDesc& desc = shape->m_ActorDesc;
    desc.globalPose = WePhysicsPoseFromMatrix(pose);
    NxBodyDesc body = DefaultBody(0.0f);
    desc.body = dynamic ? &body : nullptr;
    desc.density = dynamic ? 10.0f : 0.0f;
    NxActor* actor = m_Scene->createActor(desc);
    desc.body = nullptr;  // the record outlives this body description
    if (!actor)
        return nullptr;
    return NewHandle(owner, actor);
}

WeClothHandle* WePhysics::CreateCloth(WeActor* owner, const D3DXMATRIX& pose, WeMesh* mesh,
                                      const WeClothSettings& settings)
{
    if (!m_Initialised || !mesh)
        return nullptr;
    m_Scene->setGroupCollisionFlag(settings.group, settings.group, true);
    if (!m_Cooking)
        return nullptr;
    void* vertices = nullptr;
    void* indices = nullptr;
    if (!mesh->LockVertexBuffer(&vertices, D3DLOCK_READONLY))
        return nullptr;
    if (!mesh->LockIndexBuffer(&indices, D3DLOCK_READONLY))
    {
        mesh->UnlockVertexBuffer();
        return nullptr;
    }
    // The mesh is read as it is: its vertex stride and its index width (shipped meshes have 16-bit
    // indices).
    const bool wide = mesh->GetIndexSize() == 4;
    const uint32_t vertexCount = uint32_t(mesh->GetVertexCount());
    const uint32_t faceCount = uint32_t(mesh->GetFaceCount());
    const uint32_t stride = mesh->GetVertexSize();
    NxClothMeshDesc meshDesc;
    meshDesc.numVertices = vertexCount;
    meshDesc.numTriangles = faceCount;
    meshDesc.pointStrideBytes = stride;
    meshDesc.triangleStrideBytes = 3 * (wide ? 4 : 2);
    meshDesc.points = vertices;
    meshDesc.triangles = indices;
    meshDesc.flags = NX_CLOTH_MESH_WELD_VERTICES | (wide ? 0 : NX_MF_16_BIT_INDICES);
    meshDesc.vertexMassStrideBytes = 4;
    meshDesc.vertexFlagStrideBytes = 4;
    meshDesc.vertexMasses = nullptr;
    meshDesc.vertexFlags = nullptr;
    meshDesc.weldingDistance = 0.001f;
    MemoryWriteBuffer cooked;
    m_Cooking->NxInitCooking(nullptr, nullptr);
    const bool ok = m_Cooking->NxCookClothMesh(meshDesc, cooked);
    m_Cooking->NxCloseCooking();
    if (!ok)
    {
        mesh->UnlockVertexBuffer();
        mesh->UnlockIndexBuffer();
        return nullptr;
    }

    WeClothHandle* handle = new WeClothHandle();
    handle->m_Owner = owner;
    handle->m_ClothMesh = m_Sdk->createClothMesh(MemoryReadBuffer(cooked.m_Data, cooked.m_CurrentSize));
    handle->AllocateBuffers(vertexCount, faceCount);
    NxClothDesc desc;
    desc.clothMesh = handle->m_ClothMesh;
    desc.globalPose = WePhysicsPoseFromMatrix(pose);
    desc.thickness = 0.2f;
    desc.density = settings.density;
    desc.bendingStiffness = settings.bendingStiffness;
    desc.stretchingStiffness = settings.stretchingStiffness;
    desc.friction = settings.friction;
    desc.pressure = settings.pressure;
    desc.dampingCoefficient = 0.1f;
    desc.tearFactor = 1.5f;
    desc.collisionResponseCoefficient = 0.05f;
    desc.attachmentResponseCoefficient = 0.2f;
    desc.attachmentTearFactor = 1.5f;
    desc.toFluidResponseCoefficient = 1.0f;
    desc.fromFluidResponseCoefficient = 1.0f;
    desc.minAdhereVelocity = 1.0f;
    desc.solverIterations = 5;
    desc.externalAcceleration = NxVec3(0, 0, 0);
    desc.windAcceleration = NxVec3(0, 0, 0);
    desc.wakeUpCounter = 0.4f;
    desc.sleepLinearVelocity = -1.0f;
    desc.meshData = handle->m_MeshData;
    desc.collisionGroup = settings.group;
    desc.groupsMask = NxGroupsMask();
    desc.forceFieldMaterial = 0;
    desc.validBounds.setEmpty();
    desc.relativeGridSpacing = 0.25f;
    desc.flags = NX_CLF_VISUALIZATION | NX_CLF_GRAVITY | NX_CLF_BENDING | NX_CLF_DAMPING;
    if (settings.pressure > 0.0f)
        desc.flags |= NX_CLF_PRESSURE;
    handle->m_Cloth = handle->m_ClothMesh ? m_Scene->createCloth(desc) : nullptr;
    if (!handle->m_Cloth)
    {
        mesh->UnlockVertexBuffer();
        mesh->UnlockIndexBuffer();
        delete handle;
        return nullptr;
    }
    handle->m_Cloth->userData = static_cast<WePhysicHandle*>(handle);
    handle->m_Cloth->attachToCollidingShapes(1);
    // Until the first step writes them, the buffers hold the mesh as it is, in the handle's layout.
    const uint32_t copy = stride < WeClothHandle::VertexSize ? stride : WeClothHandle::VertexSize;
    for (uint32_t i = 0; i < vertexCount; ++i)
        std::memcpy(handle->m_Vertices + size_t(i) * WeClothHandle::VertexSize,
                    static_cast<const uint8_t*>(vertices) + size_t(i) * stride, copy);
    for (size_t i = 0; i < size_t(faceCount) * 3; ++i)
        handle->m_Indices[i] = IndexAt(indices, wide, i);
    handle->m_VertexCount = vertexCount;
    handle->m_IndexCount = faceCount * 3;
    mesh->UnlockVertexBuffer();
    mesh->UnlockIndexBuffer();
    return handle;
}
