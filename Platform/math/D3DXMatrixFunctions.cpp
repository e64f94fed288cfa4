#include "Platform/math/D3DXMatrixFunctions.h"

#include <cmath>

#include "Platform/math/D3DXPlaneFunctions.h"
#include "Platform/math/D3DXQuaternionFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{
D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}
}  // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut)
{
    *pOut = Identity();
    return pOut;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* pM)
{
    return *pM == Identity();
}

float D3DXMatrixDeterminant(const D3DXMATRIX* pM)
{
    const float(&m)[4][4] = pM->m;
    // Expansion along the first row with 2x2 minors of the lower two rows.
    float s0 = m[2][2] * m[3][3] - m[2][3] * m[3][2];
    float s1 = m[2][1] * m[3][3] - m[2][3] * m[3][1];
    float s2 = m[2][1] * m[3][2] - m[2][2] * m[3][1];
    float s3 = m[2][0] * m[3][3] - m[2][3] * m[3][0];
    float s4 = m[2][0] * m[3][2] - m[2][2] * m[3][0];
    float s5 = m[2][0] * m[3][1] - m[2][1] * m[3][0];
    return m[0][0] * (m[1][1] * s0 - m[1][2] * s1 + m[1][3] * s2) -
           m[0][1] * (m[1][0] * s0 - m[1][2] * s3 + m[1][3] * s4) +
           m[0][2] * (m[1][0] * s1 - m[1][1] * s3 + m[1][3] * s5) -
           m[0][3] * (m[1][0] * s2 - m[1][1] * s4 + m[1][2] * s5);
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pM->m[j][i];
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pM1->m[i][0] * pM2->m[0][j] + pM1->m[i][1] * pM2->m[1][j] + pM1->m[i][2] * pM2->m[2][j] +
                        pM1->m[i][3] * pM2->m[3][j];
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    D3DXMatrixMultiply(pOut, pM1, pM2);
    return D3DXMatrixTranspose(pOut, pOut);
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, float* pDeterminant, const D3DXMATRIX* pM)
{
    const float(&m)[4][4] = pM->m;
    // 2x2 minors of the upper and lower row pairs (Laplace expansion).
    float a0 = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    float a1 = m[0][0] * m[1][2] - m[0][2] * m[1][0];
    float a2 = m[0][0] * m[1][3] - m[0][3] * m[1][0];
    float a3 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    float a4 = m[0][1] * m[1][3] - m[0][3] * m[1][1];
    float a5 = m[0][2] * m[1][3] - m[0][3] * m[1][2];
    float b0 = m[2][0] * m[3][1] - m[2][1] * m[3][0];
    float b1 = m[2][0] * m[3][2] - m[2][2] * m[3][0];
    float b2 = m[2][0] * m[3][3] - m[2][3] * m[3][0];
    float b3 = m[2][1] * m[3][2] - m[2][2] * m[3][1];
    float b4 = m[2][1] * m[3][3] - m[2][3] * m[3][1];
    float b5 = m[2][2] * m[3][3] - m[2][3] * m[3][2];
    float det = a0 * b5 - a1 * b4 + a2 * b3 + a3 * b2 - a4 * b1 + a5 * b0;
    if (pDeterminant)
        *pDeterminant = det;
    if (det == 0.0f || !std::isfinite(det))
        return nullptr;
    float inv = 1.0f / det;
    D3DXMATRIX r;
    r.m[0][0] = (m[1][1] * b5 - m[1][2] * b4 + m[1][3] * b3) * inv;
    r.m[0][1] = (-m[0][1] * b5 + m[0][2] * b4 - m[0][3] * b3) * inv;
    r.m[0][2] = (m[3][1] * a5 - m[3][2] * a4 + m[3][3] * a3) * inv;
    r.m[0][3] = (-m[2][1] * a5 + m[2][2] * a4 - m[2][3] * a3) * inv;
    r.m[1][0] = (-m[1][0] * b5 + m[1][2] * b2 - m[1][3] * b1) * inv;
    r.m[1][1] = (m[0][0] * b5 - m[0][2] * b2 + m[0][3] * b1) * inv;
    r.m[1][2] = (-m[3][0] * a5 + m[3][2] * a2 - m[3][3] * a1) * inv;
    r.m[1][3] = (m[2][0] * a5 - m[2][2] * a2 + m[2][3] * a1) * inv;
    r.m[2][0] = (m[1][0] * b4 - m[1][1] * b2 + m[1][3] * b0) * inv;
    r.m[2][1] = (-m[0][0] * b4 + m[0][1] * b2 - m[0][3] * b0) * inv;
    r.m[2][2] = (m[3][0] * a4 - m[3][1] * a2 + m[3][3] * a0) * inv;
    r.m[2][3] = (-m[2][0] * a4 + m[2][1] * a2 - m[2][3] * a0) * inv;
    r.m[3][0] = (-m[1][0] * b3 + m[1][1] * b1 - m[1][2] * b0) * inv;
    r.m[3][1] = (m[0][0] * b3 - m[0][1] * b1 + m[0][2] * b0) * inv;
    r.m[3][2] = (-m[3][0] * a3 + m[3][1] * a1 - m[3][2] * a0) * inv;
    r.m[3][3] = (m[2][0] * a3 - m[2][1] * a1 + m[2][2] * a0) * inv;
    *pOut = r;
    return pOut;
}

bool D3DXMatrixDecompose(D3DXVECTOR3* pOutScale, D3DXQUATERNION* pOutRotation, D3DXVECTOR3* pOutTranslation,
                         const D3DXMATRIX* pM)
{
    D3DXVECTOR3 rows[3] = {D3DXVECTOR3(pM->_11, pM->_12, pM->_13), D3DXVECTOR3(pM->_21, pM->_22, pM->_23),
                           D3DXVECTOR3(pM->_31, pM->_32, pM->_33)};
    D3DXVECTOR3 scale(D3DXVec3Length(&rows[0]), D3DXVec3Length(&rows[1]), D3DXVec3Length(&rows[2]));
    if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f)
        return false;
    D3DXMATRIX rotation;
    D3DXMatrixIdentity(&rotation);
    const float* s = scale;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rotation.m[i][j] = rows[i][j] / s[i];
    D3DXQuaternionRotationMatrix(pOutRotation, &rotation);
    *pOutScale = scale;
    *pOutTranslation = D3DXVECTOR3(pM->_41, pM->_42, pM->_43);
    return true;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz)
{
    D3DXMATRIX r;
    r._11 = sx;
    r._22 = sy;
    r._33 = sz;
    r._44 = 1.0f;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z)
{
    D3DXMATRIX r = Identity();
    r._41 = x;
    r._42 = y;
    r._43 = z;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    D3DXMATRIX r = Identity();
    r._22 = c;
    r._23 = s;
    r._32 = -s;
    r._33 = c;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    D3DXMATRIX r = Identity();
    r._11 = c;
    r._13 = -s;
    r._31 = s;
    r._33 = c;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    D3DXMATRIX r = Identity();
    r._11 = c;
    r._12 = s;
    r._21 = -s;
    r._22 = c;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    D3DXMATRIX r = Identity();
    r._11 = t * v.x * v.x + c;
    r._12 = t * v.x * v.y + s * v.z;
    r._13 = t * v.x * v.z - s * v.y;
    r._21 = t * v.x * v.y - s * v.z;
    r._22 = t * v.y * v.y + c;
    r._23 = t * v.y * v.z + s * v.x;
    r._31 = t * v.x * v.z + s * v.y;
    r._32 = t * v.y * v.z - s * v.x;
    r._33 = t * v.z * v.z + c;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ)
{
    float x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    D3DXMATRIX r = Identity();
    r._11 = 1.0f - 2.0f * (y * y + z * z);
    r._12 = 2.0f * (x * y + z * w);
    r._13 = 2.0f * (x * z - y * w);
    r._21 = 2.0f * (x * y - z * w);
    r._22 = 1.0f - 2.0f * (x * x + z * z);
    r._23 = 2.0f * (y * z + x * w);
    r._31 = 2.0f * (x * z + y * w);
    r._32 = 2.0f * (y * z - x * w);
    r._33 = 1.0f - 2.0f * (x * x + y * y);
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, float yaw, float pitch, float roll)
{
    float cy = std::cos(yaw), sy = std::sin(yaw);
    float cp = std::cos(pitch), sp = std::sin(pitch);
    float cr = std::cos(roll), sr = std::sin(roll);
    // Rz(roll) * Rx(pitch) * Ry(yaw), multiplied out.
    D3DXMATRIX r = Identity();
    r._11 = cr * cy + sr * sp * sy;
    r._12 = sr * cp;
    r._13 = sr * sp * cy - cr * sy;
    r._21 = cr * sp * sy - sr * cy;
    r._22 = cr * cp;
    r._23 = sr * sy + cr * sp * cy;
    r._31 = cp * sy;
    r._32 = -sp;
    r._33 = cp * cy;
    *pOut = r;
    return pOut;
}

namespace
{
D3DXMATRIX TranslationOf(const D3DXVECTOR3* pV, float sign)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, sign * pV->x, sign * pV->y, sign * pV->z);
    return m;
}
}  // namespace

D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* pOut, const D3DXVECTOR3* pScalingCenter,
                                     const D3DXQUATERNION* pScalingRotation, const D3DXVECTOR3* pScaling,
                                     const D3DXVECTOR3* pRotationCenter, const D3DXQUATERNION* pRotation,
                                     const D3DXVECTOR3* pTranslation)
{
    D3DXMATRIX r = Identity();
    if (pScaling)
    {
        D3DXMATRIX sr = Identity(), srInv = Identity();
        if (pScalingRotation)
        {
            D3DXMatrixRotationQuaternion(&sr, pScalingRotation);
            D3DXMatrixTranspose(&srInv, &sr);  // a pure rotation's inverse
        }
        D3DXMATRIX s;
        D3DXMatrixScaling(&s, pScaling->x, pScaling->y, pScaling->z);
        if (pScalingCenter)
            r = TranslationOf(pScalingCenter, -1.0f);
        r = r * srInv * s * sr;
        if (pScalingCenter)
            r = r * TranslationOf(pScalingCenter, 1.0f);
    }
    if (pRotation)
    {
        D3DXMATRIX rot;
        D3DXMatrixRotationQuaternion(&rot, pRotation);
        if (pRotationCenter)
            r = r * TranslationOf(pRotationCenter, -1.0f) * rot * TranslationOf(pRotationCenter, 1.0f);
        else
            r = r * rot;
    }
    if (pTranslation)
        r = r * TranslationOf(pTranslation, 1.0f);
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixAffineTransformation(D3DXMATRIX* pOut, float scaling, const D3DXVECTOR3* pRotationCenter,
                                           const D3DXQUATERNION* pRotation, const D3DXVECTOR3* pTranslation)
{
    D3DXVECTOR3 s(scaling, scaling, scaling);
    return D3DXMatrixTransformation(pOut, nullptr, nullptr, &s, pRotationCenter, pRotation, pTranslation);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp)
{
    D3DXVECTOR3 zAxis = *pAt - *pEye;
    D3DXVec3Normalize(&zAxis, &zAxis);
    D3DXVECTOR3 xAxis;
    D3DXVec3Cross(&xAxis, pUp, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVECTOR3 yAxis;
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *pOut = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0.0f, xAxis.y, yAxis.y, zAxis.y, 0.0f, xAxis.z, yAxis.z, zAxis.z,
                       0.0f, -D3DXVec3Dot(&xAxis, pEye), -D3DXVec3Dot(&yAxis, pEye), -D3DXVec3Dot(&zAxis, pEye), 1.0f);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf)
{
    D3DXMATRIX r;
    r._11 = 2.0f * zn / w;
    r._22 = 2.0f * zn / h;
    r._33 = zf / (zf - zn);
    r._34 = 1.0f;
    r._43 = zn * zf / (zn - zf);
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn, float zf)
{
    float yScale = 1.0f / std::tan(fovy * 0.5f);
    D3DXMATRIX r;
    r._11 = yScale / aspect;
    r._22 = yScale;
    r._33 = zf / (zf - zn);
    r._34 = 1.0f;
    r._43 = zn * zf / (zn - zf);
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* pOut, float l, float r, float b, float t, float zn, float zf)
{
    D3DXMATRIX m;
    m._11 = 2.0f * zn / (r - l);
    m._22 = 2.0f * zn / (t - b);
    m._31 = (l + r) / (l - r);
    m._32 = (t + b) / (b - t);
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = zn * zf / (zn - zf);
    *pOut = m;
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf)
{
    D3DXMATRIX r;
    r._11 = 2.0f / w;
    r._22 = 2.0f / h;
    r._33 = 1.0f / (zf - zn);
    r._43 = zn / (zn - zf);
    r._44 = 1.0f;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float l, float r, float b, float t, float zn, float zf)
{
    D3DXMATRIX m;
    m._11 = 2.0f / (r - l);
    m._22 = 2.0f / (t - b);
    m._33 = 1.0f / (zf - zn);
    m._41 = (l + r) / (l - r);
    m._42 = (t + b) / (b - t);
    m._43 = zn / (zn - zf);
    m._44 = 1.0f;
    *pOut = m;
    return pOut;
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane)
{
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, pPlane);
    *pOut = D3DXMATRIX(1.0f - 2.0f * p.a * p.a, -2.0f * p.a * p.b, -2.0f * p.a * p.c, 0.0f, -2.0f * p.b * p.a,
                       1.0f - 2.0f * p.b * p.b, -2.0f * p.b * p.c, 0.0f, -2.0f * p.c * p.a, -2.0f * p.c * p.b,
                       1.0f - 2.0f * p.c * p.c, 0.0f, -2.0f * p.d * p.a, -2.0f * p.d * p.b, -2.0f * p.d * p.c, 1.0f);
    return pOut;
}
