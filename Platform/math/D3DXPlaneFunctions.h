#pragma once
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXPLANE.h"
#include "Platform/math/D3DXVECTOR3.h"
#include "Platform/math/D3DXVECTOR4.h"

// Plane functions. Every function writing through pOut returns pOut and accepts pOut aliasing an input.

// a*x + b*y + c*z + d*w.
float D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV);
// a*x + b*y + c*z + d: signed distance for a normalized plane.
float D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// a*x + b*y + c*z.
float D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
D3DXPLANE* D3DXPlaneScale(D3DXPLANE* pOut, const D3DXPLANE* pP, float s);
// Divides all four by the normal's length; a zero normal gives a zero plane.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP);
// Where the infinite line through V1 and V2 meets the plane; null when the line is parallel to it.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                    const D3DXVECTOR3* pV2);
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal);
// Normal = normalize((V2 - V1) x (V3 - V1)): clockwise points seen from the front in a left-handed system.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3);
// (a, b, c, d) * M; to move a plane by a transform T, pass the inverse transpose of T.
D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM);
