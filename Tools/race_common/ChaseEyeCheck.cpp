#include "Tools/race_common/ChaseEyeCheck.h"

#include <cmath>

#include "Engine/render/WeCameraScreen.h"
#include "Engine/world/WePhysics.h"
#include "Engine/world/WeRaycastHit.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameCameraPreset.h"
#include "Platform/math/D3DXVECTOR4.h"
#include "Platform/math/D3DXVectorFunctions.h"
#include "Platform/physics/NxTypes.h"

namespace
{
D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// Any static shape, either face, on the segment.
bool SegmentMeetsGeometry(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    const D3DXVECTOR3 d = to - from;
    const float length = D3DXVec3Length(&d);
    WeRaycastHit hit;
    return length > 1e-5f && g_Physics.RaycastClosest(from, d / length, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, length, 0);
}
}  // namespace

const char* ChaseEyeName(ChaseEye state)
{
    switch (state)
    {
    case ChaseEye::NotChasing: return "not chasing";
    case ChaseEye::Clear: return "clear";
    case ChaseEye::CraftInGeometry: return "craft against a wall";
    case ChaseEye::CraftHidden: return "craft hidden behind a wall";
    case ChaseEye::NearPlaneCut: return "near plane in the geometry";
    case ChaseEye::CraftOffScreen: return "craft off screen";
    }
    return "?";
}

ChaseEye CheckChaseEye(const CGameCamera& camera, const D3DXVECTOR3& craft)
{
    const CGameCameraPreset* p = camera.m_ActivePreset;
    // Only the chase keeps itself off walls; the centred and finishing cameras stand where the path puts them.
    if (camera.m_Active == 0 || p == nullptr || p->m_NoHitCheck || p->m_Centered || p->m_Stopping)
        return ChaseEye::NotChasing;
    const D3DXVECTOR3 right = Row(camera.m_Basis, 0), up = Row(camera.m_Basis, 1), ahead = Row(camera.m_Basis, 2);
    const float aspect = camera.m_Aspect == 0.0f ? g_CameraScreen.aspect : camera.m_Aspect;
    const float halfHeight = camera.m_Near * std::tan(camera.m_Fov * 0.5f);
    const float halfWidth = halfHeight * aspect;
    const float reach = std::sqrt(camera.m_Near * camera.m_Near + halfHeight * halfHeight + halfWidth * halfWidth);
    // The near rectangle's corners lie this far from the eye: a craft as close to a surface puts it within
    // reach of every eye at the craft.
    const D3DXVECTOR3 axes[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const D3DXVECTOR3& axis : axes)
        if (SegmentMeetsGeometry(craft, craft + axis * reach))
            return ChaseEye::CraftInGeometry;
    const D3DXVECTOR3 eye = camera.m_Position;
    const D3DXVECTOR3 toEye = eye - craft;
    const float distance = D3DXVec3Length(&toEye);
    WeRaycastHit hit;
    // A wall seen from behind by the eye; back faces on the way belong to geometry the craft itself is in.
    if (distance > 0.01f &&
        g_Physics.RaycastClosest(craft, toEye / distance, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, distance, 0) &&
        D3DXVec3Dot(&hit.normal, &toEye) < 0.0f)
        return ChaseEye::CraftHidden;
    // A surface that crosses the near rectangle crosses a segment from the eye to one of its corners.
    const D3DXVECTOR3 centre = eye + ahead * camera.m_Near;
    for (const float sx : {-1.0f, 1.0f})
        for (const float sy : {-1.0f, 1.0f})
            if (SegmentMeetsGeometry(eye, centre + right * (sx * halfWidth) + up * (sy * halfHeight)))
                return ChaseEye::NearPlaneCut;
    D3DXVECTOR4 clip;
    D3DXVec3Transform(&clip, &craft, &camera.m_ViewProjection);
    if (!(clip.w > 0.0f) || std::fabs(clip.x) > clip.w || std::fabs(clip.y) > clip.w)
        return ChaseEye::CraftOffScreen;
    return ChaseEye::Clear;
}

float ChaseEyeClearance(const CGameCamera& camera, float reach)
{
    const D3DXVECTOR3 axes[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    float nearest = reach;
    for (const D3DXVECTOR3& axis : axes)
    {
        WeRaycastHit hit;
        if (g_Physics.RaycastClosest(camera.m_Position, axis, NX_STATIC_SHAPES, hit, 0xFFFFFFFFu, nearest, 0))
            nearest = std::fmin(nearest, hit.distance);
    }
    return nearest;
}
