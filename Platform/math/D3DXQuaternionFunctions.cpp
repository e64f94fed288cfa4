#include "Platform/math/D3DXQuaternionFunctions.h"

#include <cmath>

#include "Platform/math/D3DXVectorFunctions.h"

float D3DXQuaternionLength(const D3DXQUATERNION* pQ)
{
    return std::sqrt(D3DXQuaternionLengthSq(pQ));
}

float D3DXQuaternionLengthSq(const D3DXQUATERNION* pQ)
{
    return pQ->x * pQ->x + pQ->y * pQ->y + pQ->z * pQ->z + pQ->w * pQ->w;
}

float D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2)
{
    return pQ1->x * pQ2->x + pQ1->y * pQ2->y + pQ1->z * pQ2->z + pQ1->w * pQ2->w;
}

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut)
{
    *pOut = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

bool D3DXQuaternionIsIdentity(const D3DXQUATERNION* pQ)
{
    return *pQ == D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
}

D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    *pOut = D3DXQUATERNION(-pQ->x, -pQ->y, -pQ->z, pQ->w);
    return pOut;
}

void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pQ, D3DXVECTOR3* pAxis, float* pAngle)
{
    if (pAxis)
        *pAxis = D3DXVECTOR3(pQ->x, pQ->y, pQ->z);
    if (pAngle)
    {
        // Rounding can push w a hair outside -1..1 for a normalized quaternion.
        float w = pQ->w > 1.0f ? 1.0f : (pQ->w < -1.0f ? -1.0f : pQ->w);
        *pAngle = 2.0f * std::acos(w);
    }
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM)
{
    const D3DXMATRIX& m = *pM;
    float trace = m._11 + m._22 + m._33;
    D3DXQUATERNION q;
    if (trace > 0.0f)
    {
        float s = 2.0f * std::sqrt(trace + 1.0f);  // 4 w
        q = D3DXQUATERNION((m._23 - m._32) / s, (m._31 - m._13) / s, (m._12 - m._21) / s, 0.25f * s);
    }
    else if (m._11 >= m._22 && m._11 >= m._33)
    {
        float s = 2.0f * std::sqrt(1.0f + m._11 - m._22 - m._33);  // 4 x
        q = D3DXQUATERNION(0.25f * s, (m._12 + m._21) / s, (m._13 + m._31) / s, (m._23 - m._32) / s);
    }
    else if (m._22 >= m._33)
    {
        float s = 2.0f * std::sqrt(1.0f + m._22 - m._11 - m._33);  // 4 y
        q = D3DXQUATERNION((m._12 + m._21) / s, 0.25f * s, (m._23 + m._32) / s, (m._31 - m._13) / s);
    }
    else
    {
        float s = 2.0f * std::sqrt(1.0f + m._33 - m._11 - m._22);  // 4 z
        q = D3DXQUATERNION((m._13 + m._31) / s, (m._23 + m._32) / s, 0.25f * s, (m._12 - m._21) / s);
    }
    *pOut = q;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    float s = std::sin(angle * 0.5f);
    *pOut = D3DXQUATERNION(v.x * s, v.y * s, v.z * s, std::cos(angle * 0.5f));
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, float yaw, float pitch, float roll)
{
    float sy = std::sin(yaw * 0.5f), cy = std::cos(yaw * 0.5f);
    float sp = std::sin(pitch * 0.5f), cp = std::cos(pitch * 0.5f);
    float sr = std::sin(roll * 0.5f), cr = std::cos(roll * 0.5f);
    // Roll, then pitch, then yaw, like the matrix of the same name.
    *pOut = D3DXQUATERNION(sy * cp * sr + cy * sp * cr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                           cy * cp * cr + sy * sp * sr);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2)
{
    const D3DXQUATERNION a = *pQ1;
    const D3DXQUATERNION b = *pQ2;
    *pOut =
        D3DXQUATERNION(b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
                       b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    float length = D3DXQuaternionLength(pQ);
    if (length == 0.0f)
        *pOut = D3DXQUATERNION();
    else
        *pOut = *pQ / length;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    float lengthSq = D3DXQuaternionLengthSq(pQ);
    if (lengthSq == 0.0f)
    {
        *pOut = D3DXQUATERNION();
        return pOut;
    }
    D3DXQUATERNION c;
    D3DXQuaternionConjugate(&c, pQ);
    *pOut = c / lengthSq;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2, float t)
{
    float dot = D3DXQuaternionDot(pQ1, pQ2);
    // q and -q are the same rotation: flip the second to take the shorter arc.
    float sign = 1.0f;
    if (dot < 0.0f)
    {
        sign = -1.0f;
        dot = -dot;
    }
    float w1 = 1.0f - t;
    float w2 = t;
    if (1.0f - dot > 0.001f)
    {
        float theta = std::acos(dot);
        float sinTheta = std::sin(theta);
        w1 = std::sin((1.0f - t) * theta) / sinTheta;
        w2 = std::sin(t * theta) / sinTheta;
    }
    *pOut = w1 * *pQ1 + (sign * w2) * *pQ2;
    return pOut;
}
