#pragma once
#include "Platform/math/D3DXVECTOR3.h"

struct WeAABB;

struct WeBoundingSphere
{
    D3DXVECTOR3 center;
    float radius = 0.0f;

    void Set(float x, float y, float z, float r);
    // The sphere through the box's corners.
    void FromBox(const WeAABB& box);
    // Whether the infinite line through both points passes within the radius; the part of the line
    // behind the origin counts too.
    bool IntersectsLine(const D3DXVECTOR3& origin, const D3DXVECTOR3& target) const;
};
