#pragma once
#include "Platform/math/D3DXVECTOR3.h"

struct WeBoundingSphere;

// Axis-aligned box. Comparisons are inclusive, so boxes that share a face intersect.
struct WeAABB
{
    D3DXVECTOR3 min;
    D3DXVECTOR3 max;

    void Set(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum);
    void SetCube(const D3DXVECTOR3& center, float halfSize);
    void SetFromSphere(const WeBoundingSphere& sphere);
    bool Intersects(const WeAABB& other) const;
    bool ContainsBox(const WeAABB& other) const;
    bool ContainsPoint(const D3DXVECTOR3& point) const;
};
