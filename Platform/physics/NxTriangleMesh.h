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

    NxU32 getNbVertices() const { return static_cast<NxU32>(vertices_.size()); }
    NxU32 getNbTriangles() const { return static_cast<NxU32>(indices_.size() / 3); }
    const NxVec3* getVertices() const { return vertices_.data(); }
    const NxU32* getTriangles() const { return indices_.data(); }
    NxU32 getReferenceCount() const { return references_; }

    // Internal to the layer.
    btBvhTriangleMeshShape* bulletMesh() const { return bvh_; }
    btCollisionShape* bulletHull();
    void addReference() { ++references_; }
    void removeReference()
    {
        if (references_)
            --references_;
    }

private:
    NxTriangleMesh() = default;

    std::vector<NxVec3> vertices_;
    std::vector<NxU32> indices_;
    btTriangleIndexVertexArray* arrays_ = nullptr;
    btBvhTriangleMeshShape* bvh_ = nullptr;
    btCollisionShape* hull_ = nullptr;
    NxU32 references_ = 0;
};
