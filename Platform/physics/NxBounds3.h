#pragma once
#include "Platform/physics/NxVec3.h"

// Axis-aligned bounds; empty when min > max.
class NxBounds3
{
public:
    NxVec3 min{NX_MAX_F32, NX_MAX_F32, NX_MAX_F32};
    NxVec3 max{-NX_MAX_F32, -NX_MAX_F32, -NX_MAX_F32};

    void setEmpty() { *this = NxBounds3(); }
    bool isEmpty() const { return min.x > max.x || min.y > max.y || min.z > max.z; }
};
