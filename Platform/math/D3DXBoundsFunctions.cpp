#include "Platform/math/D3DXBoundsFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Vertex buffers carry positions at any byte offset, so read them without assuming alignment.
D3DXVECTOR3 PositionAt(const D3DXVECTOR3* first, uint32_t index, uint32_t stride)
{
    float f[3];
    std::memcpy(f, reinterpret_cast<const unsigned char*>(first) + static_cast<size_t>(index) * stride, sizeof f);
    return D3DXVECTOR3(f[0], f[1], f[2]);
}
}  // namespace

bool D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, uint32_t numVertices, uint32_t stride, D3DXVECTOR3* pMin,
                            D3DXVECTOR3* pMax)
{
    if (!pFirstPosition || !pMin || !pMax || numVertices == 0)
        return false;
    D3DXVECTOR3 lo = PositionAt(pFirstPosition, 0, stride);
    D3DXVECTOR3 hi = lo;
    for (uint32_t i = 1; i < numVertices; ++i)
    {
        D3DXVECTOR3 p = PositionAt(pFirstPosition, i, stride);
        lo = D3DXVECTOR3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = D3DXVECTOR3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
    *pMin = lo;
    *pMax = hi;
    return true;
}

bool D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, uint32_t numVertices, uint32_t stride,
                               D3DXVECTOR3* pCenter, float* pRadius)
{
    if (!pFirstPosition || !pCenter || !pRadius || numVertices == 0)
        return false;
    // Sum in double so large meshes do not lose the small coordinates.
    double sum[3] = {0, 0, 0};
    for (uint32_t i = 0; i < numVertices; ++i)
    {
        D3DXVECTOR3 p = PositionAt(pFirstPosition, i, stride);
        sum[0] += p.x;
        sum[1] += p.y;
        sum[2] += p.z;
    }
    D3DXVECTOR3 centre(static_cast<float>(sum[0] / numVertices), static_cast<float>(sum[1] / numVertices),
                       static_cast<float>(sum[2] / numVertices));
    float radiusSq = 0.0f;
    for (uint32_t i = 0; i < numVertices; ++i)
    {
        D3DXVECTOR3 d = PositionAt(pFirstPosition, i, stride) - centre;
        radiusSq = std::max(radiusSq, d.x * d.x + d.y * d.y + d.z * d.z);
    }
    *pCenter = centre;
    *pRadius = std::sqrt(radiusSq);
    return true;
}
