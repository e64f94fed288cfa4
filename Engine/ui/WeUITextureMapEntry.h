#pragma once
#include <cstdint>

// A named part of the skin image: its pixel rectangle and the texture coordinates of its edges.
struct WeUITextureMapEntry
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 0.0f;
    float v1 = 0.0f;
};
