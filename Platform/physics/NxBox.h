#pragma once
#include "Platform/physics/NxMat33.h"

// An oriented box: centre, half extents and rotation.
class NxBox
{
public:
    NxVec3 center;
    NxVec3 extents;
    NxMat33 rot;

    NxBox() = default;
    NxBox(const NxVec3& c, const NxVec3& e, const NxMat33& r) : center(c), extents(e), rot(r) {}
};
