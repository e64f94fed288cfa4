#include "Engine/world/WeFrustum.h"

#include <cmath>

#include "Engine/render/WeCameraScreen.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXPlaneFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

D3DXPLANE Column(const D3DXMATRIX& m, int c)
{
    return D3DXPLANE(m.m[0][c], m.m[1][c], m.m[2][c], m.m[3][c]);
}

D3DXPLANE Add(const D3DXPLANE& a, const D3DXPLANE& b)
{
    return D3DXPLANE(a.a + b.a, a.b + b.b, a.c + b.c, a.d + b.d);
}

D3DXPLANE Sub(const D3DXPLANE& a, const D3DXPLANE& b)
{
    return D3DXPLANE(a.a - b.a, a.b - b.b, a.c - b.c, a.d - b.d);
}

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

}  // namespace

void WeFrustum::Build(const D3DXVECTOR3& eye, const D3DXMATRIX& view, const D3DXMATRIX& projection)
{
    m_Eye = eye;
    m_View = view;
    m_Projection = projection;
    D3DXMatrixMultiply(&m_ViewProjection, &view, &projection);

    // Row-vector clip coordinates are v * M, so each plane is a sum of M's columns.
    const D3DXPLANE c1 = Column(m_ViewProjection, 0), c2 = Column(m_ViewProjection, 1);
    const D3DXPLANE c3 = Column(m_ViewProjection, 2), c4 = Column(m_ViewProjection, 3);
    const D3DXPLANE raw[PlaneCount] = {Add(c4, c1), Sub(c4, c1), Add(c4, c2), Sub(c4, c2), Sub(c4, c3), c3};
    for (int i = 0; i < PlaneCount; ++i)
        D3DXPlaneNormalize(&m_Planes[i], &raw[i]);

    const D3DVIEWPORT9& viewport = g_CameraScreen.viewport;
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    const float w = static_cast<float>(viewport.Width), h = static_cast<float>(viewport.Height);
    int k = 0;
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            for (int z = 0; z < 2; ++z)
            {
                const D3DXVECTOR3 screen(x ? w : 0.0f, y ? h : 0.0f, static_cast<float>(z));
                m_Corners[k] = D3DXVECTOR3();
                D3DXVec3Unproject(&m_Corners[k], &screen, &viewport, &projection, &view, &world);
                ++k;
            }
    const D3DXVECTOR3 nearScreen(w * 0.5f, h * 0.5f, 0.0f), farScreen(w * 0.5f, h * 0.5f, 1.0f);
    m_NearCenter = m_FarCenter = D3DXVECTOR3();
    D3DXVec3Unproject(&m_NearCenter, &nearScreen, &viewport, &projection, &view, &world);
    D3DXVec3Unproject(&m_FarCenter, &farScreen, &viewport, &projection, &view, &world);

    // The centre lies on the axis between the two centre points, placed so that the near and far
    // corners are about equally far from it.
    const D3DXVECTOR3& c0 = m_Corners[0];
    const D3DXVECTOR3& c7 = m_Corners[7];
    const float nearH = Distance(m_NearCenter, c0);
    const float nearK = Distance(m_NearCenter, c7);
    float t = 0.0f;
    if (std::fabs(nearH - nearK) > 0.0001f)
        t = ((Distance(m_FarCenter, c7) - nearK) - (Distance(m_FarCenter, c0) - nearH)) / (nearH - nearK);
    m_Sphere.center = m_NearCenter + (m_FarCenter - m_NearCenter) * t;
    const float r0 = Distance(c0, m_Sphere.center), r7 = Distance(c7, m_Sphere.center);
    m_Sphere.radius = 1.01f * (r0 > r7 ? r0 : r7);
}

bool WeFrustum::IsSphereVisible(const WeBoundingSphere& sphere) const
{
    for (int i = PlaneCount - 1; i >= 0; --i)
    {
        const D3DXPLANE& p = m_Planes[i];
        if (p.a * sphere.center.x + p.b * sphere.center.y + p.c * sphere.center.z + p.d < -sphere.radius)
            return false;
    }
    return true;
}
