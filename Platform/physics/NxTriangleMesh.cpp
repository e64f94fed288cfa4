#include "Platform/physics/NxTriangleMesh.h"

#include <btBulletCollisionCommon.h>

#include "Platform/physics/NxCookedFormat.h"

NxTriangleMesh::~NxTriangleMesh()
{
    delete m_Hull;
    delete m_Bvh;
    delete m_Arrays;
}

NxTriangleMesh* NxTriangleMesh::load(const NxStream& stream)
{
    NxTriangleMesh* mesh = new NxTriangleMesh();
    if (!NxCookedFormat::readMesh(stream, NxCookedFormat::TriangleMeshTag, &mesh->m_Vertices, &mesh->m_Indices))
    {
        delete mesh;
        return nullptr;
    }
    mesh->m_Arrays = new btTriangleIndexVertexArray(
        static_cast<int>(mesh->getNbTriangles()), reinterpret_cast<int*>(mesh->m_Indices.data()), 12,
        static_cast<int>(mesh->getNbVertices()), &mesh->m_Vertices[0].x, 12);
    mesh->m_Bvh = new btBvhTriangleMeshShape(mesh->m_Arrays, true, true);
    return mesh;
}

btCollisionShape* NxTriangleMesh::bulletHull()
{
    if (!m_Hull)
    {
        auto* hull = new btConvexHullShape(&m_Vertices[0].x, static_cast<int>(m_Vertices.size()), sizeof(NxVec3));
        hull->optimizeConvexHull();
        m_Hull = hull;
    }
    return m_Hull;
}
