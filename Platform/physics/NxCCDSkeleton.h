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

    NxU32 getNbPoints() const { return static_cast<NxU32>(points_.size()); }
    NxU32 getNbTriangles() const { return triangles_; }
    NxReal sweptSphereRadius() const { return radius_; }
    NxU32 getReferenceCount() const { return references_; }

    void addReference() { ++references_; }
    void removeReference()
    {
        if (references_)
            --references_;
    }

private:
    std::vector<NxVec3> points_;
    NxU32 triangles_ = 0;
    NxReal radius_ = 0;
    NxU32 references_ = 0;
};
