#include "Engine/world/WeAABB.h"

#include "Engine/world/WeBoundingSphere.h"

void WeAABB::Set(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum)
{
    min = minimum;
    max = maximum;
}

void WeAABB::SetCube(const D3DXVECTOR3& center, float halfSize)
{
    const D3DXVECTOR3 half(halfSize, halfSize, halfSize);
    min = center - half;
    max = center + half;
}

void WeAABB::SetFromSphere(const WeBoundingSphere& sphere)
{
    SetCube(sphere.center, sphere.radius);
}

bool WeAABB::Intersects(const WeAABB& other) const
{
    return !(min.x > other.max.x || min.y > other.max.y || min.z > other.max.z || other.min.x > max.x ||
             other.min.y > max.y || other.min.z > max.z);
}

bool WeAABB::ContainsBox(const WeAABB& other) const
{
    return other.min.x >= min.x && other.min.y >= min.y && other.min.z >= min.z && other.max.x <= max.x &&
           other.max.y <= max.y && other.max.z <= max.z;
}

bool WeAABB::ContainsPoint(const D3DXVECTOR3& p) const
{
    return min.x <= p.x && p.x <= max.x && min.y <= p.y && p.y <= max.y && min.z <= p.z && p.z <= max.z;
}
