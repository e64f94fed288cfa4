#pragma once
#include "Platform/physics/NxVec3.h"

// A ray: origin and unit direction.
class NxRay
{
public:
    NxVec3 orig;
    NxVec3 dir;

    NxRay() = default;
    NxRay(const NxVec3& o, const NxVec3& d) : orig(o), dir(d) {}
};
