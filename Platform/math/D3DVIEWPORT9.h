#pragma once
#include <cstdint>

// Viewport rectangle in pixels with its depth range; projection maps clip depth 0..1 onto MinZ..MaxZ.
struct D3DVIEWPORT9
{
    uint32_t X;
    uint32_t Y;
    uint32_t Width;
    uint32_t Height;
    float MinZ;
    float MaxZ;

    bool operator==(const D3DVIEWPORT9& o) const
    {
        return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height && MinZ == o.MinZ && MaxZ == o.MaxZ;
    }
    bool operator!=(const D3DVIEWPORT9& o) const { return !(*this == o); }
};

static_assert(sizeof(D3DVIEWPORT9) == 24);
