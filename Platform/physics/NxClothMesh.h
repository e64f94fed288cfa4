#pragma once
#include <vector>

#include "Platform/physics/NxTriangleMeshDesc.h"
#include "Platform/physics/NxVec3.h"

class NxStream;

// Cloth geometry: NxSimpleTriangleMesh plus per-vertex masses and flags (read only when given) and
// the welding distance used with NX_CLOTH_MESH_WELD_VERTICES.
class NxClothMeshDesc : public NxSimpleTriangleMesh
{
public:
    NxU32 vertexMassStrideBytes = 0;
    NxU32 vertexFlagStrideBytes = 0;
    const void* vertexMasses = nullptr;
    const void* vertexFlags = nullptr;
    NxReal weldingDistance = 0;

    void setToDefault() { *this = NxClothMeshDesc(); }
};

// A cooked cloth mesh: welded points and their triangles.
class NxClothMesh
{
public:
    static NxClothMesh* load(const NxStream& stream);

    NxU32 getNbVertices() const { return static_cast<NxU32>(m_Vertices.size()); }
    NxU32 getNbTriangles() const { return static_cast<NxU32>(m_Indices.size() / 3); }
    const std::vector<NxVec3>& vertices() const { return m_Vertices; }
    const std::vector<NxU32>& indices() const { return m_Indices; }
    NxU32 getReferenceCount() const { return m_References; }
    void addReference() { ++m_References; }
    void removeReference()
    {
        if (m_References)
            --m_References;
    }

private:
    NxClothMesh() = default;
    std::vector<NxVec3> m_Vertices;
    std::vector<NxU32> m_Indices;
    NxU32 m_References = 0;
};
