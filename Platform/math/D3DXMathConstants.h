#pragma once

constexpr float D3DX_PI = 3.141592654f;
constexpr float D3DX_1BYPI = 0.318309886f;

constexpr float D3DXToRadian(float degree)
{
    return degree * (D3DX_PI / 180.0f);
}
constexpr float D3DXToDegree(float radian)
{
    return radian * (180.0f / D3DX_PI);
}
