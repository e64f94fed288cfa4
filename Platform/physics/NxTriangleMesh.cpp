#include "Platform/physics/NxTriangleMesh.h"

#include <btBulletCollisionCommon.h>

#include "Platform/physics/NxCookedFormat.h"

NxTriangleMesh::~NxTriangleMesh()
{
    delete hull_;
    delete bvh_;
    delete arrays_;
}

NxTriangleMesh* NxTriangleMesh::load(const NxStream& stream)
{
    NxTriangleMesh* mesh = new NxTriangleMesh();
    if (!NxCookedFormat::readMesh(stream, NxCookedFormat::kTriangleMeshTag, &mesh->vertices_, &mesh->indices_))
    {
        delete mesh;
        return nullptr;
    }
    mesh->arrays_ = new btTriangleIndexVertexArray(static_cast<int>(mesh->getNbTriangles()),
                                                   reinterpret_cast<int*>(mesh->indices_.data()), 12,
                                                   static_cast<int>(mesh->getNbVertices()), &mesh->vertices_[0].x, 12);
    mesh->bvh_ = new btBvhTriangleMeshShape(mesh->arrays_, true, true);
    return mesh;
}

btCollisionShape* NxTriangleMesh::bulletHull()
{
    if (!hull_)
    {
        auto* hull = new btConvexHullShape(&vertices_[0].x, static_cast<int>(vertices_.size()), sizeof(NxVec3));
        hull->optimizeConvexHull();
        hull_ = hull;
    }
    return hull_;
}
