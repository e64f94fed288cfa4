#include "Platform/math/D3DXVectorFunctions.h"

#include <algorithm>
#include <cmath>

#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{
// Cubic Hermite basis weights for the two points and two tangents.
struct HermiteWeights
{
    float p1, t1, p2, t2;
};

HermiteWeights Hermite(float s)
{
    float s2 = s * s;
    float s3 = s2 * s;
    return {2.0f * s3 - 3.0f * s2 + 1.0f, s3 - 2.0f * s2 + s, -2.0f * s3 + 3.0f * s2, s3 - s2};
}

// Catmull-Rom weights for the four control points.
struct CatmullWeights
{
    float p0, p1, p2, p3;
};

CatmullWeights CatmullRom(float s)
{
    float s2 = s * s;
    float s3 = s2 * s;
    return {0.5f * (-s3 + 2.0f * s2 - s), 0.5f * (3.0f * s3 - 5.0f * s2 + 2.0f), 0.5f * (-3.0f * s3 + 4.0f * s2 + s),
            0.5f * (s3 - s2)};
}

template <typename V>
V* NormalizeBy(V* pOut, const V* pV, float length)
{
    if (length == 0.0f)
        *pOut = V();
    else
        *pOut = *pV / length;
    return pOut;
}
}  // namespace

// ---- 2-D

float D3DXVec2Length(const D3DXVECTOR2* pV)
{
    return std::sqrt(pV->x * pV->x + pV->y * pV->y);
}
float D3DXVec2LengthSq(const D3DXVECTOR2* pV)
{
    return pV->x * pV->x + pV->y * pV->y;
}
float D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y;
}
float D3DXVec2CCW(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    return pV1->x * pV2->y - pV1->y * pV2->x;
}

D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}

D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}

D3DXVECTOR2* D3DXVec2Minimize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = D3DXVECTOR2(std::min(pV1->x, pV2->x), std::min(pV1->y, pV2->y));
    return pOut;
}

D3DXVECTOR2* D3DXVec2Maximize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = D3DXVECTOR2(std::max(pV1->x, pV2->x), std::max(pV1->y, pV2->y));
    return pOut;
}

D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, float s)
{
    *pOut = *pV * s;
    return pOut;
}

D3DXVECTOR2* D3DXVec2Lerp(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2, float s)
{
    *pOut = D3DXVECTOR2(pV1->x + s * (pV2->x - pV1->x), pV1->y + s * (pV2->y - pV1->y));
    return pOut;
}

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV)
{
    return NormalizeBy(pOut, pV, D3DXVec2Length(pV));
}

D3DXVECTOR2* D3DXVec2Hermite(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pT1, const D3DXVECTOR2* pV2,
                             const D3DXVECTOR2* pT2, float s)
{
    HermiteWeights h = Hermite(s);
    *pOut = h.p1 * *pV1 + h.t1 * *pT1 + h.p2 * *pV2 + h.t2 * *pT2;
    return pOut;
}

D3DXVECTOR2* D3DXVec2CatmullRom(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV0, const D3DXVECTOR2* pV1,
                                const D3DXVECTOR2* pV2, const D3DXVECTOR2* pV3, float s)
{
    CatmullWeights c = CatmullRom(s);
    *pOut = c.p0 * *pV0 + c.p1 * *pV1 + c.p2 * *pV2 + c.p3 * *pV3;
    return pOut;
}

D3DXVECTOR2* D3DXVec2BaryCentric(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2,
                                 const D3DXVECTOR2* pV3, float f, float g)
{
    *pOut = *pV1 + f * (*pV2 - *pV1) + g * (*pV3 - *pV1);
    return pOut;
}

D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 v(pV->x, pV->y, 0.0f, 1.0f);
    return D3DXVec4Transform(pOut, &v, pM);
}

D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 r;
    D3DXVec2Transform(&r, pV, pM);
    *pOut = D3DXVECTOR2(r.x / r.w, r.y / r.w);
    return pOut;
}

D3DXVECTOR2* D3DXVec2TransformNormal(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM)
{
    *pOut = D3DXVECTOR2(pV->x * pM->_11 + pV->y * pM->_21, pV->x * pM->_12 + pV->y * pM->_22);
    return pOut;
}

// ---- 3-D

float D3DXVec3Length(const D3DXVECTOR3* pV)
{
    return std::sqrt(D3DXVec3LengthSq(pV));
}
float D3DXVec3LengthSq(const D3DXVECTOR3* pV)
{
    return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z;
}
float D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->y * pV2->z - pV1->z * pV2->y, pV1->z * pV2->x - pV1->x * pV2->z,
                        pV1->x * pV2->y - pV1->y * pV2->x);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(std::min(pV1->x, pV2->x), std::min(pV1->y, pV2->y), std::min(pV1->z, pV2->z));
    return pOut;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(std::max(pV1->x, pV2->x), std::max(pV1->y, pV2->y), std::max(pV1->z, pV2->z));
    return pOut;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, float s)
{
    *pOut = *pV * s;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, float s)
{
    *pOut = D3DXVECTOR3(pV1->x + s * (pV2->x - pV1->x), pV1->y + s * (pV2->y - pV1->y), pV1->z + s * (pV2->z - pV1->z));
    return pOut;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV)
{
    return NormalizeBy(pOut, pV, D3DXVec3Length(pV));
}

D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pT1, const D3DXVECTOR3* pV2,
                             const D3DXVECTOR3* pT2, float s)
{
    HermiteWeights h = Hermite(s);
    *pOut = h.p1 * *pV1 + h.t1 * *pT1 + h.p2 * *pV2 + h.t2 * *pT2;
    return pOut;
}

D3DXVECTOR3* D3DXVec3CatmullRom(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV0, const D3DXVECTOR3* pV1,
                                const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3, float s)
{
    CatmullWeights c = CatmullRom(s);
    *pOut = c.p0 * *pV0 + c.p1 * *pV1 + c.p2 * *pV2 + c.p3 * *pV3;
    return pOut;
}

D3DXVECTOR3* D3DXVec3BaryCentric(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                                 const D3DXVECTOR3* pV3, float f, float g)
{
    *pOut = *pV1 + f * (*pV2 - *pV1) + g * (*pV3 - *pV1);
    return pOut;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 v(*pV, 1.0f);
    return D3DXVec4Transform(pOut, &v, pM);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, pV, pM);
    *pOut = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    float x = pV->x, y = pV->y, z = pV->z;
    *pOut = D3DXVECTOR3(x * pM->_11 + y * pM->_21 + z * pM->_31, x * pM->_12 + y * pM->_22 + z * pM->_32,
                        x * pM->_13 + y * pM->_23 + z * pM->_33);
    return pOut;
}

namespace
{
D3DXMATRIX WorldViewProjection(const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (pWorld)
        D3DXMatrixMultiply(&m, &m, pWorld);
    if (pView)
        D3DXMatrixMultiply(&m, &m, pView);
    if (pProjection)
        D3DXMatrixMultiply(&m, &m, pProjection);
    return m;
}
}  // namespace

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                             const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = WorldViewProjection(pProjection, pView, pWorld);
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, pV, &m);
    if (pViewport)
    {
        r.x = static_cast<float>(pViewport->X) + (1.0f + r.x) * static_cast<float>(pViewport->Width) * 0.5f;
        r.y = static_cast<float>(pViewport->Y) + (1.0f - r.y) * static_cast<float>(pViewport->Height) * 0.5f;
        r.z = pViewport->MinZ + r.z * (pViewport->MaxZ - pViewport->MinZ);
    }
    *pOut = r;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                               const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = WorldViewProjection(pProjection, pView, pWorld);
    if (!D3DXMatrixInverse(&m, nullptr, &m))
        return nullptr;
    D3DXVECTOR3 r = *pV;
    if (pViewport)
    {
        // A zero-sized viewport (or depth range) has no inverse along that axis: map it to the centre.
        float w = static_cast<float>(pViewport->Width);
        float h = static_cast<float>(pViewport->Height);
        float depth = pViewport->MaxZ - pViewport->MinZ;
        r.x = w != 0.0f ? 2.0f * (pV->x - static_cast<float>(pViewport->X)) / w - 1.0f : 0.0f;
        r.y = h != 0.0f ? 1.0f - 2.0f * (pV->y - static_cast<float>(pViewport->Y)) / h : 0.0f;
        r.z = depth != 0.0f ? (pV->z - pViewport->MinZ) / depth : 0.0f;
    }
    D3DXVec3TransformCoord(pOut, &r, &m);
    return pOut;
}

// ---- 4-D

float D3DXVec4Length(const D3DXVECTOR4* pV)
{
    return std::sqrt(D3DXVec4LengthSq(pV));
}
float D3DXVec4LengthSq(const D3DXVECTOR4* pV)
{
    return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z + pV->w * pV->w;
}
float D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z + pV1->w * pV2->w;
}

D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}

D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}

D3DXVECTOR4* D3DXVec4Minimize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = D3DXVECTOR4(std::min(pV1->x, pV2->x), std::min(pV1->y, pV2->y), std::min(pV1->z, pV2->z),
                        std::min(pV1->w, pV2->w));
    return pOut;
}

D3DXVECTOR4* D3DXVec4Maximize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = D3DXVECTOR4(std::max(pV1->x, pV2->x), std::max(pV1->y, pV2->y), std::max(pV1->z, pV2->z),
                        std::max(pV1->w, pV2->w));
    return pOut;
}

D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, float s)
{
    *pOut = *pV * s;
    return pOut;
}

D3DXVECTOR4* D3DXVec4Lerp(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2, float s)
{
    *pOut = D3DXVECTOR4(pV1->x + s * (pV2->x - pV1->x), pV1->y + s * (pV2->y - pV1->y), pV1->z + s * (pV2->z - pV1->z),
                        pV1->w + s * (pV2->w - pV1->w));
    return pOut;
}

D3DXVECTOR4* D3DXVec4Cross(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2, const D3DXVECTOR4* pV3)
{
    // Cofactor expansion of the 4x4 determinant whose first row is the basis.
    const D3DXVECTOR4& a = *pV1;
    const D3DXVECTOR4& b = *pV2;
    const D3DXVECTOR4& c = *pV3;
    float zw = b.z * c.w - b.w * c.z;
    float yw = b.y * c.w - b.w * c.y;
    float yz = b.y * c.z - b.z * c.y;
    float xw = b.x * c.w - b.w * c.x;
    float xz = b.x * c.z - b.z * c.x;
    float xy = b.x * c.y - b.y * c.x;
    *pOut = D3DXVECTOR4(a.y * zw - a.z * yw + a.w * yz, -(a.x * zw - a.z * xw + a.w * xz),
                        a.x * yw - a.y * xw + a.w * xy, -(a.x * yz - a.y * xz + a.z * xy));
    return pOut;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV)
{
    return NormalizeBy(pOut, pV, D3DXVec4Length(pV));
}

D3DXVECTOR4* D3DXVec4Hermite(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pT1, const D3DXVECTOR4* pV2,
                             const D3DXVECTOR4* pT2, float s)
{
    HermiteWeights h = Hermite(s);
    *pOut = h.p1 * *pV1 + h.t1 * *pT1 + h.p2 * *pV2 + h.t2 * *pT2;
    return pOut;
}

D3DXVECTOR4* D3DXVec4CatmullRom(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV0, const D3DXVECTOR4* pV1,
                                const D3DXVECTOR4* pV2, const D3DXVECTOR4* pV3, float s)
{
    CatmullWeights c = CatmullRom(s);
    *pOut = c.p0 * *pV0 + c.p1 * *pV1 + c.p2 * *pV2 + c.p3 * *pV3;
    return pOut;
}

D3DXVECTOR4* D3DXVec4BaryCentric(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2,
                                 const D3DXVECTOR4* pV3, float f, float g)
{
    *pOut = *pV1 + f * (*pV2 - *pV1) + g * (*pV3 - *pV1);
    return pOut;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM)
{
    float x = pV->x, y = pV->y, z = pV->z, w = pV->w;
    const D3DXMATRIX& m = *pM;
    *pOut = D3DXVECTOR4(x * m._11 + y * m._21 + z * m._31 + w * m._41, x * m._12 + y * m._22 + z * m._32 + w * m._42,
                        x * m._13 + y * m._23 + z * m._33 + w * m._43, x * m._14 + y * m._24 + z * m._34 + w * m._44);
    return pOut;
}
