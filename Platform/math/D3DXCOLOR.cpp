#include "Platform/math/D3DXCOLOR.h"

namespace
{
constexpr float Byte = 1.0f / 255.0f;

uint32_t PackChannel(float v)
{
    if (!(v > 0.0f))  // also catches NaN
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<uint32_t>(v * 255.0f + 0.5f);
}
}  // namespace

D3DXCOLOR::D3DXCOLOR(uint32_t argb)
    : r(static_cast<float>((argb >> 16) & 0xFF) * Byte), g(static_cast<float>((argb >> 8) & 0xFF) * Byte),
      b(static_cast<float>(argb & 0xFF) * Byte), a(static_cast<float>((argb >> 24) & 0xFF) * Byte)
{
}

D3DXCOLOR::operator uint32_t() const
{
    return (PackChannel(a) << 24) | (PackChannel(r) << 16) | (PackChannel(g) << 8) | PackChannel(b);
}
