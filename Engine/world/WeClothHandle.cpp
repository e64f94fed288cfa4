#include "Engine/world/WeClothHandle.h"

#include <cstring>

#include "Engine/world/WePhysics.h"
#include "Platform/physics/NxCloth.h"
#include "Platform/physics/NxPhysicsSDK.h"

WeClothHandle::~WeClothHandle()
{
    if (m_Cloth)
    {
        m_Cloth->userData = nullptr;
        g_Physics.ReleaseCloth(m_Cloth);
        m_Cloth = nullptr;
    }
    if (m_ClothMesh && g_Physics.m_Sdk)
        g_Physics.m_Sdk->releaseClothMesh(*m_ClothMesh);
    m_ClothMesh = nullptr;
    delete[] m_Indices;
    delete[] m_Vertices;
    delete[] m_CopiedIndices;
    delete[] m_CopiedVertices;
}

void WeClothHandle::SetCollisionGroup(uint16_t group)
{
    if (m_Cloth)
        m_Cloth->setGroup(group);
}

void WeClothHandle::PutToSleep()
{
    if (m_Cloth)
        m_Cloth->putToSleep();
}

void WeClothHandle::WakeUp(float wakeCounter)
{
    if (m_Cloth)
        m_Cloth->wakeUp(wakeCounter);
}

void WeClothHandle::AllocateBuffers(uint32_t vertexCapacity, uint32_t triangleCapacity)
{
    m_VertexCapacity = vertexCapacity;
    m_TriangleCapacity = triangleCapacity;
    const size_t vertexBytes = size_t(vertexCapacity) * VertexSize;
    const size_t indexCount = size_t(triangleCapacity) * 3;
    m_Vertices = new uint8_t[vertexBytes]();
    m_CopiedVertices = new uint8_t[vertexBytes]();
    m_Indices = new uint32_t[indexCount]();
    m_CopiedIndices = new uint32_t[indexCount]();

    m_MeshData.setToDefault();
    m_MeshData.verticesPosBegin = m_Vertices;
    m_MeshData.verticesNormalBegin = m_Vertices + NormalOffset;
    m_MeshData.verticesPosByteStride = VertexSize;
    m_MeshData.verticesNormalByteStride = VertexSize;
    m_MeshData.maxVertices = vertexCapacity;
    m_MeshData.numVerticesPtr = &m_VertexCount;
    m_MeshData.indicesBegin = m_Indices;
    m_MeshData.indicesByteStride = sizeof(uint32_t);
    m_MeshData.maxIndices = 3 * triangleCapacity;
    m_MeshData.numIndicesPtr = &m_IndexCount;
}

void WeClothHandle::CopyMeshData()
{
    // The counts come from the cloth; never copy more than the buffers hold.
    m_CopiedVertexCount = m_VertexCount < m_VertexCapacity ? m_VertexCount : m_VertexCapacity;
    m_CopiedIndexCount = m_IndexCount < 3 * m_TriangleCapacity ? m_IndexCount : 3 * m_TriangleCapacity;
    if (m_CopiedVertexCount)
        std::memcpy(m_CopiedVertices, m_Vertices, size_t(m_CopiedVertexCount) * VertexSize);
    if (m_CopiedIndexCount)
        std::memcpy(m_CopiedIndices, m_Indices, size_t(m_CopiedIndexCount) * sizeof(uint32_t));
}
