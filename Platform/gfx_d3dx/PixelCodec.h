#pragma once
// Conversion of one level between a Direct3D format and plain RGBA floats (four per texel, red first,
// rows top first), for resizing, mip building and format changes. DXT1-5 decode and encode here too.
#include <cstdint>
#include <vector>

#include "Platform/gfx/D3D9Types.h"
#include "Platform/gfx_d3dx/ImageData.h"

class PixelCodec
{
public:
    // Whether the format converts both ways.
    static bool Supports(D3DFORMAT format);
    // The level's texels (width x height x depth) as RGBA; false for an unsupported format or short bytes.
    static bool ToRgba(D3DFORMAT format, const ImageLevel& level, std::vector<float>* rgba);
    // Writes RGBA into the level (already laid out for the format); false for an unsupported format.
    static bool FromRgba(D3DFORMAT format, const std::vector<float>& rgba, ImageLevel* level);
};
