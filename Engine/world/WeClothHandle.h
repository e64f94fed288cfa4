#pragma once
#include <cstdint>

#include "Engine/foundation/WeRecycled.h"
#include "Engine/world/WePhysicHandle.h"
#include "Platform/physics/NxClothDesc.h"

class NxCloth;
class NxClothMesh;

// The handle of a cloth. The cloth writes its positions and normals into the receive buffers after
// every step; CopyMeshData takes a snapshot of them for drawing.
class WeClothHandle : public WeRecycled<WeClothHandle, WePhysicHandle>
{
public:
    // The mesh's own vertex: position 0, normal 12, uv 24, tangent 32, second uv 44.
    static constexpr uint32_t VertexSize = 52;
    static constexpr uint32_t NormalOffset = 12;

    ~WeClothHandle() override;

    void SetCollisionGroup(uint16_t group) override;
    void PutToSleep() override;
    void WakeUp(float wakeCounter) override;

    // Zeroed receive and snapshot buffers for this many vertices and triangles, and the mesh data
    // that points the cloth at them.
    void AllocateBuffers(uint32_t vertexCapacity, uint32_t triangleCapacity);
    void CopyMeshData();

    NxCloth* m_Cloth = nullptr;
    NxClothMesh* m_ClothMesh = nullptr;
    uint32_t m_VertexCount = 0;
    uint32_t m_IndexCount = 0;
    uint32_t* m_Indices = nullptr;
    uint8_t* m_Vertices = nullptr;
    uint32_t m_CopiedVertexCount = 0;
    uint32_t m_CopiedIndexCount = 0;
    uint32_t* m_CopiedIndices = nullptr;
    uint8_t* m_CopiedVertices = nullptr;
    NxMeshData m_MeshData;
    uint32_t m_VertexCapacity = 0;
    uint32_t m_TriangleCapacity = 0;
};
