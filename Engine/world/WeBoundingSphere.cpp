#include "Engine/world/WeBoundingSphere.h"

#include "Engine/world/WeAABB.h"
#include "Platform/math/D3DXVectorFunctions.h"

void WeBoundingSphere::Set(float x, float y, float z, float r)
{
    center = D3DXVECTOR3(x, y, z);
    radius = r;
}

void WeBoundingSphere::FromBox(const WeAABB& box)
{
    center = (box.min + box.max) * 0.5f;
    const D3DXVECTOR3 diagonal = box.max - box.min;
    radius = D3DXVec3Length(&diagonal) * 0.5f;
}

bool WeBoundingSphere::IntersectsLine(const D3DXVECTOR3& origin, const D3DXVECTOR3& target) const
{
    D3DXVECTOR3 d = target - origin;
    D3DXVec3Normalize(&d, &d);
    const D3DXVECTOR3 v = center - origin;
    const float along = D3DXVec3Dot(&d, &v);
    return along * along - D3DXVec3LengthSq(&v) + radius * radius >= 0.0f;
}
