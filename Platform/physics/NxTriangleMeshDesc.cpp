#include "Platform/physics/NxTriangleMeshDesc.h"

bool NxSimpleTriangleMesh::isValid() const
{
    const NxU32 indexSize = (flags & NX_MF_16_BIT_INDICES) ? 2 : 4;
    if (numVertices == 0 || numTriangles == 0 || !points || !triangles)
        return false;
    if (pointStrideBytes < 12 || triangleStrideBytes < 3 * indexSize)
        return false;
    return true;
}
