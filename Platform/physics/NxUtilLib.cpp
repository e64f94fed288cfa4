#include "Platform/physics/NxUtilLib.h"

bool NxUtilLib::NxComputeBoxPoints(const NxBox& box, NxVec3* pts) const
{
    if (!pts)
        return false;
    const NxVec3 ax = box.rot.getColumn(0) * box.extents.x;
    const NxVec3 ay = box.rot.getColumn(1) * box.extents.y;
    const NxVec3 az = box.rot.getColumn(2) * box.extents.z;
    for (int i = 0; i < 8; ++i)
        pts[i] = box.center + ((i & 1) ? ax : -ax) + ((i & 2) ? ay : -ay) + ((i & 4) ? az : -az);
    return true;
}

const NxU32* NxUtilLib::NxGetBoxTriangles() const
{
    // Counter-clockwise seen from outside (right-handed normals pointing out).
    static const NxU32 s_triangles[36] = {
        0, 2, 3, 0, 3, 1,  // -z
        4, 5, 7, 4, 7, 6,  // +z
        0, 4, 6, 0, 6, 2,  // -x
        1, 3, 7, 1, 7, 5,  // +x
        0, 1, 5, 0, 5, 4,  // -y
        2, 6, 7, 2, 7, 3,  // +y
    };
    return s_triangles;
}

NxUtilLib* NxGetUtilLib()
{
    static NxUtilLib s_lib;
    return &s_lib;
}
