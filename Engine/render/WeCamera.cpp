#include "Engine/render/WeCamera.h"

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCameraScreen.h"
#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);  // zero stays zero
    return out;
}

D3DXMATRIX BasisOf(const D3DXVECTOR3& right, const D3DXVECTOR3& up, const D3DXVECTOR3& direction)
{
    return D3DXMATRIX(right.x, right.y, right.z, 0.0f, up.x, up.y, up.z, 0.0f, direction.x, direction.y, direction.z,
                      0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
}

}  // namespace

WeCamera::WeCamera()
{
    UpdateProjection();
}

void WeCamera::UpdateProjection()
{
    if (m_Orthographic)
    {
        D3DXMatrixOrthoLH(&m_Projection, m_OrthoWidth, m_OrthoHeight, m_Near, m_Far);
        return;
    }
    const float aspect = m_Aspect == 0.0f ? g_CameraScreen.aspect : m_Aspect;
    D3DXMatrixPerspectiveFovLH(&m_Projection, m_Fov, aspect, m_Near, m_Far);
}

void WeCamera::SetFov(float radians)
{
    m_Fov = radians;
    UpdateProjection();
}

void WeCamera::SetNearPlane(float nearPlane)
{
    m_Near = nearPlane;
    UpdateProjection();
}

void WeCamera::SetFarPlane(float farPlane)
{
    m_Far = farPlane;
    UpdateProjection();
}

void WeCamera::SetProjection(float fov, float nearPlane, float farPlane, float aspect)
{
    m_Fov = fov;
    m_Near = nearPlane;
    m_Far = farPlane;
    m_Aspect = aspect;
    UpdateProjection();
}

void WeCamera::RecordHistory()
{
    const float now = g_Timer.m_TotalTimeF;
    // One state per timer time, however often the owner updates within a frame.
    if (m_HistoryNewest != m_HistoryOldest && m_History[m_HistoryNewest].time == now)
        return;
    m_HistoryNewest = (m_HistoryNewest + 1) % HistorySize;
    if (m_HistoryNewest == m_HistoryOldest)
        m_HistoryOldest = (m_HistoryOldest + 1) % HistorySize;
    WeCameraState& state = m_History[m_HistoryNewest];
    state.position = m_Position;
    state.basis = m_Basis;
    state.fov = m_Fov;
    state.nearPlane = m_Near;
    state.farPlane = m_Far;
    state.aspect = m_Aspect;
    state.time = now;
}

void WeCamera::Update()
{
    if (!m_HistoryReset)
        RecordHistory();
    m_Target = m_Position + m_Direction;
    D3DXMatrixLookAtLH(&m_View, &m_Position, &m_Target, &m_Up);
    if (g_CameraScreen.screenChanged)
        UpdateProjection();
    D3DXMatrixMultiply(&m_ViewProjection, &m_View, &m_Projection);
    if (m_HistoryReset)
    {
        m_HistoryOldest = m_HistoryNewest = 0;
        m_HistoryReset = 0;
    }
    m_Frustum.Build(m_Position, m_View, m_Projection);
    BuildBases();
}

void WeCamera::BuildBases()
{
    const D3DXVECTOR3 right = Normalized(Cross(m_Up, m_Direction));
    const D3DXVECTOR3 trueUp = Cross(m_Direction, right);
    m_Basis = BasisOf(right, trueUp, m_Direction);
    const D3DXVECTOR3 levelRight = Normalized(Cross(D3DXVECTOR3(0.0f, 1.0f, 0.0f), m_Direction));
    const D3DXVECTOR3 levelUp = Cross(m_Direction, levelRight);
    m_LevelBasis = BasisOf(levelRight, levelUp, m_Direction);
}

D3DXMATRIX WeCamera::GetWorldMatrix() const
{
    D3DXMATRIX world = m_Basis;
    world._41 = m_Position.x;
    world._42 = m_Position.y;
    world._43 = m_Position.z;
    world._44 = 1.0f;
    return world;
}
