#pragma once
#include <vector>

#include "Platform/physics/NxVec3.h"

class NxStream;
class btBvhTriangleMeshShape;
class btCollisionShape;
class btTriangleIndexVertexArray;

// A triangle mesh created from cooked bytes. Shapes share its Bullet BVH; a dynamic body uses the
// convex hull of its points, because Bullet moves no concave shape.
class NxTriangleMesh
{
public:
    ~NxTriangleMesh();
    NxTriangleMesh(const NxTriangleMesh&) = delete;
    NxTriangleMesh& operator=(const NxTriangleMesh&) = delete;

    // Reads what NxCookTriangleMesh wrote; null on a wrong tag, absurd counts or indices out of range.
    static NxTriangleMesh* load(const NxStream& stream);

    NxU32 getNbVertices() const { return static_cast<NxU32>(m_Vertices.size()); }
    NxU32 getNbTriangles() const { return static_cast<NxU32>(m_Indices.size() / 3); }
    const NxVec3* getVertices() const { return m_Vertices.data(); }
    const NxU32* getTriangles() const { return m_Indices.data(); }
    NxU32 getReferenceCount() const { return m_References; }

    // Internal to the layer.
    btBvhTriangleMeshShape* bulletMesh() const { return m_Bvh; }
    btCollisionShape* bulletHull();
    void addReference() { ++m_References; }
    void removeReference()
    {
        if (m_References)
            --m_References;
    }

private:
    NxTriangleMesh() = default;

    std::vector<NxVec3> m_Vertices;
    std::vector<NxU32> m_Indices;
    btTriangleIndexVertexArray* m_Arrays = nullptr;
    btBvhTriangleMeshShape* m_Bvh = nullptr;
    btCollisionShape* m_Hull = nullptr;
    NxU32 m_References = 0;
};
