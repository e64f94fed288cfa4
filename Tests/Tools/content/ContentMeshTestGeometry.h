#pragma once
// Geometry the mesh tests measure generated meshes with.
#include "Platform/math/D3DXVectorFunctions.h"
#include "Tools/content/ContentMeshData.h"

namespace ContentMeshTest
{

constexpr float Pi = 3.14159265358979323846f;

inline D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

inline float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The enclosed volume, positive when every face's front (clockwise seen from it) looks outwards.
inline float Volume(const ContentMeshGeometry& g)
{
    double sum = 0.0;
    for (const ContentMeshFace& f : g.faces)
    {
        const D3DXVECTOR3& a = g.vertices[f.index[0]].position;
        const D3DXVECTOR3& b = g.vertices[f.index[1]].position;
        const D3DXVECTOR3& c = g.vertices[f.index[2]].position;
        sum += Dot(a, Cross(b - a, c - a));
    }
    return float(sum / 6.0);
}

}  // namespace ContentMeshTest
