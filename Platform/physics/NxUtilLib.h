#pragma once
#include "Platform/physics/NxBox.h"

// Geometry helpers of the SDK's utility library.
class NxUtilLib
{
public:
    // The 8 corners of the box: bit 0 of the index picks +x, bit 1 +y, bit 2 +z.
    virtual bool NxComputeBoxPoints(const NxBox& box, NxVec3* pts) const;
    // 12 outward-facing triangles (36 indices) over those corners.
    virtual const NxU32* NxGetBoxTriangles() const;
    virtual ~NxUtilLib() = default;
};

NxUtilLib* NxGetUtilLib();
