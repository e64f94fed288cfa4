#pragma once
#include "Platform/physics/NxTypes.h"

enum NxHeightFieldAxis
{
    NX_X = 0,
    NX_Y = 1,
    NX_Z = 2,
    NX_NOT_HEIGHTFIELD = 255
};

// Raw triangle geometry: strided points (3 floats each) and strided triangles of 3 indices, 16-bit
// when flags holds NX_MF_16_BIT_INDICES, else 32-bit.
class NxSimpleTriangleMesh
{
public:
    NxU32 numVertices = 0;
    NxU32 numTriangles = 0;
    NxU32 pointStrideBytes = 0;
    NxU32 triangleStrideBytes = 0;
    const void* points = nullptr;
    const void* triangles = nullptr;
    NxU32 flags = 0;

    void setToDefault() { *this = NxSimpleTriangleMesh(); }
    bool isValid() const;
};

class NxTriangleMeshDesc : public NxSimpleTriangleMesh
{
public:
    NxU32 materialIndexStride = 0;
    const void* materialIndices = nullptr;
    NxHeightFieldAxis heightFieldVerticalAxis = NX_NOT_HEIGHTFIELD;
    NxReal heightFieldVerticalExtent = 0;
    void* pmap = nullptr;
    NxReal convexEdgeThreshold = 0.001f;

    void setToDefault() { *this = NxTriangleMeshDesc(); }
};
