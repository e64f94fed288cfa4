#pragma once
#include <vector>

#include "Platform/physics/NxVec3.h"

class NxSimpleTriangleMesh;

// A closed mesh that stands for a shape during continuous collision. Bullet sweeps a sphere, so the
// skeleton only decides the sphere's radius: the largest sphere around the skeleton's centre that
// fits inside its bounds.
class NxCCDSkeleton
{
public:
    explicit NxCCDSkeleton(const NxSimpleTriangleMesh& mesh);

    NxU32 getNbPoints() const { return static_cast<NxU32>(m_Points.size()); }
    NxU32 getNbTriangles() const { return m_Triangles; }
    NxReal sweptSphereRadius() const { return m_Radius; }
    NxU32 getReferenceCount() const { return m_References; }

    void addReference() { ++m_References; }
    void removeReference()
    {
        if (m_References)
            --m_References;
    }

private:
    std::vector<NxVec3> m_Points;
    NxU32 m_Triangles = 0;
    NxReal m_Radius = 0;
    NxU32 m_References = 0;
};
