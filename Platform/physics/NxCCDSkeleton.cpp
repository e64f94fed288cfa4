#include "Platform/physics/NxCCDSkeleton.h"

#include <algorithm>

#include "Platform/physics/NxTriangleMeshDesc.h"

NxCCDSkeleton::NxCCDSkeleton(const NxSimpleTriangleMesh& mesh)
{
    const NxU32 stride = mesh.pointStrideBytes ? mesh.pointStrideBytes : 12;
    if (mesh.points)
    {
        m_Points.reserve(mesh.numVertices);
        for (NxU32 i = 0; i < mesh.numVertices; ++i)
            m_Points.emplace_back(
                reinterpret_cast<const NxReal*>(static_cast<const NxU8*>(mesh.points) + size_t(i) * stride));
    }
    m_Triangles = mesh.triangles ? mesh.numTriangles : 0;
    if (m_Points.empty())
        return;
    NxVec3 lo = m_Points[0], hi = m_Points[0];
    for (const NxVec3& p : m_Points)
    {
        lo.set(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi.set(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
    m_Radius = 0.5f * std::min({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
}
