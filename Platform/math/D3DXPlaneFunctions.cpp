#include "Platform/math/D3DXPlaneFunctions.h"

#include <cmath>

#include "Platform/math/D3DXVectorFunctions.h"

float D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d * pV->w;
}

float D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d;
}

float D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z;
}

D3DXPLANE* D3DXPlaneScale(D3DXPLANE* pOut, const D3DXPLANE* pP, float s)
{
    *pOut = *pP * s;
    return pOut;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP)
{
    float length = std::sqrt(pP->a * pP->a + pP->b * pP->b + pP->c * pP->c);
    if (length == 0.0f)
        *pOut = D3DXPLANE();
    else
        *pOut = *pP / length;
    return pOut;
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                    const D3DXVECTOR3* pV2)
{
    D3DXVECTOR3 direction = *pV2 - *pV1;
    float along = D3DXPlaneDotNormal(pP, &direction);
    if (along == 0.0f)
        return nullptr;
    float t = -D3DXPlaneDotCoord(pP, pV1) / along;
    *pOut = *pV1 + t * direction;
    return pOut;
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal)
{
    *pOut = D3DXPLANE(pNormal->x, pNormal->y, pNormal->z, -D3DXVec3Dot(pPoint, pNormal));
    return pOut;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3)
{
    D3DXVECTOR3 edge1 = *pV2 - *pV1;
    D3DXVECTOR3 edge2 = *pV3 - *pV1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    D3DXVECTOR3 point = *pV1;
    return D3DXPlaneFromPointNormal(pOut, &point, &normal);
}

D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 v(pP->a, pP->b, pP->c, pP->d);
    D3DXVec4Transform(&v, &v, pM);
    *pOut = D3DXPLANE(v.x, v.y, v.z, v.w);
    return pOut;
}
