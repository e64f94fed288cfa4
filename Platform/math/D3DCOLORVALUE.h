#pragma once

// Plain four-float colour record (red, green, blue, alpha), the shape material and light records embed.
struct D3DCOLORVALUE
{
    float r;
    float g;
    float b;
    float a;
};

static_assert(sizeof(D3DCOLORVALUE) == 16);
