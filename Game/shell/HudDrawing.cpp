#include "Game/shell/HudDrawing.h"

#include <cmath>

#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeTexture.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/math/D3DXCOLOR.h"
#include "Platform/math/D3DXVECTOR4.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

// Below this W a point is too close to the camera's plane to divide by.
constexpr float MinimumW = 1.0e-4f;
constexpr float FarOff = 1.0e6f;

}  // namespace

void DrawHudCell(WeTexture* atlas, const HudCell& cell, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb,
                 int32_t blend)
{
    if (atlas == nullptr)
        return;
    g_Canvas.DrawQuadUV(x, y, w, h, float(cell.left) * atlas->m_InvWidth, float(cell.top) * atlas->m_InvHeight,
                        float(cell.right) * atlas->m_InvWidth, float(cell.bottom) * atlas->m_InvHeight, argb, atlas,
                        blend);
}

void DrawHudCellRows(WeTexture* atlas, const HudCell& cell, float top, int32_t x, int32_t y, int32_t w, int32_t h,
                     uint32_t argb, int32_t blend)
{
    if (atlas == nullptr)
        return;
    g_Canvas.DrawQuadUV(x, y, w, h, float(cell.left) * atlas->m_InvWidth, top * atlas->m_InvHeight,
                        float(cell.right) * atlas->m_InvWidth, float(cell.bottom) * atlas->m_InvHeight, argb, atlas,
                        blend);
}

void DrawHudCellRotated(WeTexture* atlas, const HudCell& cell, float x, float y, float w, float h, float angle,
                        uint32_t argb, int32_t blend)
{
    if (atlas == nullptr)
        return;
    g_Canvas.DrawRotatedQuadUV(x, y, w, h, angle, float(cell.left) * atlas->m_InvWidth,
                               float(cell.top) * atlas->m_InvHeight, float(cell.right) * atlas->m_InvWidth,
                               float(cell.bottom) * atlas->m_InvHeight, argb, atlas, blend);
}

uint32_t HudColour(float r, float g, float b, float a)
{
    return uint32_t(D3DXCOLOR(r, g, b, a));
}

uint32_t HudWhite(float a)
{
    return HudColour(1.0f, 1.0f, 1.0f, a);
}

bool ProjectHudPoint(const D3DXVECTOR3& point, float& x, float& y)
{
    if (g_Game.m_Camera == nullptr)
        return false;
    D3DXVECTOR4 in;
    in.x = point.x;
    in.y = point.y;
    in.z = point.z;
    in.w = 1.0f;
    D3DXVECTOR4 out;
    D3DXVec4Transform(&out, &in, &g_Game.m_Camera->m_ViewProjection);
    if (!(out.z > 0.0f) || !(out.w > MinimumW))
        return false;
    x = (out.x / out.w + 1.0f) * 0.5f;
    y = (1.0f - out.y / out.w) * 0.5f;
    return std::isfinite(x) && std::isfinite(y);
}

int32_t HudPixel(float fraction, int32_t size)
{
    const float v = fraction * float(size);
    if (!(v > -FarOff && v < FarOff))
        return -int32_t(FarOff);
    return int32_t(v);
}
