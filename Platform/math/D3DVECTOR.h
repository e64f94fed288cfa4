#pragma once

// Plain three-float vector record, the shape device records (lights, etc.) embed.
struct D3DVECTOR
{
    float x;
    float y;
    float z;
};

static_assert(sizeof(D3DVECTOR) == 12);
