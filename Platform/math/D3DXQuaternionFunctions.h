#pragma once
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXQUATERNION.h"
#include "Platform/math/D3DXVECTOR3.h"

// Quaternion functions. Every function writing through pOut returns pOut and accepts pOut aliasing an
// input. A quaternion q and the matrix D3DXMatrixRotationQuaternion(q) rotate row vectors alike.

float D3DXQuaternionLength(const D3DXQUATERNION* pQ);
float D3DXQuaternionLengthSq(const D3DXQUATERNION* pQ);
float D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2);
D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut);
bool D3DXQuaternionIsIdentity(const D3DXQUATERNION* pQ);
D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// Axis is the vector part as it is (not normalized); angle = 2 acos(w).
void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pQ, D3DXVECTOR3* pAxis, float* pAngle);
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM);
// The axis need not be unit length.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle);
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, float yaw, float pitch, float roll);
// Rotation Q1 followed by rotation Q2 (the Hamilton product Q2 Q1).
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2);
// A zero quaternion normalizes to zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// Conjugate over squared length; the inverse of a zero quaternion is zero.
D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// Spherical blend along the shorter arc; nearly parallel inputs blend linearly.
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                    float t);
