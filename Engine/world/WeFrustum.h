#pragma once
#include "Engine/world/WeBoundingSphere.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXPLANE.h"
#include "Platform/math/D3DXVECTOR3.h"

// The camera's view volume: six normalised planes whose normals point inwards, its eight corners,
// the screen centre on the near and far planes, and a sphere around it all.
class WeFrustum
{
public:
    enum Plane
    {
        Left = 0,
        Right,
        Bottom,
        Top,
        Far,
        Near,
        PlaneCount
    };

    // Corners and centres are unprojected through the render device's viewport (the start screen
    // without a device).
    void Build(const D3DXVECTOR3& eye, const D3DXMATRIX& view, const D3DXMATRIX& projection);
    // A sphere touching a plane from outside is still visible.
    bool IsSphereVisible(const WeBoundingSphere& sphere) const;

    D3DXVECTOR3 m_Eye;
    D3DXMATRIX m_View;
    D3DXMATRIX m_Projection;
    D3DXMATRIX m_ViewProjection;
    D3DXPLANE m_Planes[PlaneCount];
    // x outer, y, depth inner: [0] is the near corner at screen (0, 0), [7] the far one at (w, h).
    D3DXVECTOR3 m_Corners[8];
    D3DXVECTOR3 m_NearCenter;
    D3DXVECTOR3 m_FarCenter;
    WeBoundingSphere m_Sphere;
};
