#pragma once
#include "Platform/physics/NxVec3.h"

class NxShape;

// One ray hit. worldImpact = orig + distance * dir; u, v are barycentric on the hit triangle
// (impact = (1 - u - v) p0 + u p1 + v p2), zero for primitive shapes.
struct NxRaycastHit
{
    NxShape* shape = nullptr;
    NxVec3 worldImpact;
    NxVec3 worldNormal;
    NxU32 faceID = 0;
    NxU32 internalFaceID = 0;
    NxReal distance = 0;
    NxReal u = 0, v = 0;
    NxMaterialIndex materialIndex = 0;
    NxU32 flags = 0;
};

// Receives every hit of raycastAllShapes, nearest first; returning false stops the query.
class NxUserRaycastReport
{
public:
    virtual bool onHit(const NxRaycastHit& hit) = 0;
    virtual ~NxUserRaycastReport() = default;
};
