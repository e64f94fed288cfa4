#include "Engine/world/WeTriangleMeshShape.h"

#include "Engine/render/WeMesh.h"
#include "Engine/world/MemoryReadBuffer.h"
#include "Engine/world/MemoryWriteBuffer.h"
#include "Engine/world/WePhysics.h"
#include "Platform/physics/NxCooking.h"
#include "Platform/physics/NxPhysicsSDK.h"
#include "Platform/physics/NxTriangleMeshDesc.h"

WeTriangleMeshShape::WeTriangleMeshShape() {}

WeTriangleMeshShape::~WeTriangleMeshShape()
{
    m_ActorDesc.shapes.clear();
}

bool WeTriangleMeshShape::Cook(WeMesh* mesh)
{
    if (!mesh || !g_Physics.m_Sdk)
        return false;
    m_Name = mesh->m_Name;
    void* vertices = nullptr;
    void* indices = nullptr;
    if (!mesh->LockVertexBuffer(&vertices, D3DLOCK_READONLY))
        return false;
    if (!mesh->LockIndexBuffer(&indices, D3DLOCK_READONLY))
    {
        mesh->UnlockVertexBuffer();
        return false;
    }
    const bool wide = mesh->GetIndexSize() == 4;
    NxTriangleMeshDesc desc;
    desc.numVertices = NxU32(mesh->GetVertexCount());
    desc.numTriangles = NxU32(mesh->GetFaceCount());
    desc.pointStrideBytes = mesh->GetVertexSize();
    desc.triangleStrideBytes = 3 * (wide ? 4 : 2);
    desc.points = vertices;
    desc.triangles = indices;
    // The index flag follows the mesh, as the stride does.
    desc.flags = NX_MF_HARDWARE_MESH | (wide ? 0 : NX_MF_16_BIT_INDICES);
    desc.materialIndexStride = 0;
    desc.materialIndices = nullptr;
    desc.heightFieldVerticalAxis = NX_NOT_HEIGHTFIELD;
    desc.heightFieldVerticalExtent = 0;
    desc.pmap = nullptr;
    desc.convexEdgeThreshold = 0.001f;

    NxInitCooking(nullptr, nullptr);
    NxCookingParams params;
    params.skinWidth = 0.3f;
    NxSetCookingParams(params);
    MemoryWriteBuffer cooked;
    bool ok = NxCookTriangleMesh(desc, cooked);
    if (ok)
    {
        m_ShapeDesc.materialIndex = 0;
        m_ShapeDesc.meshPagingMode = NX_MESH_PAGING_AUTO;
        m_ShapeDesc.meshData =
            g_Physics.m_Sdk->createTriangleMesh(MemoryReadBuffer(cooked.m_Data, cooked.m_CurrentSize));
        ok = m_ShapeDesc.meshData != nullptr;
    }
    NxCloseCooking();
    mesh->UnlockVertexBuffer();
    mesh->UnlockIndexBuffer();
    if (ok)
        m_ActorDesc.shapes.pushBack(&m_ShapeDesc);
    return ok;
}
