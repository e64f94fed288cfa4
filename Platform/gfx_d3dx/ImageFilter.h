#pragma once
// Resizing RGBA float images (four floats per texel) and building mip chains of decoded images.
#include <cstdint>
#include <vector>

#include "Platform/gfx_d3dx/ImageData.h"

class ImageFilter
{
public:
    // Area-averaging when shrinking, linear when enlarging, axis by axis (depth too for volumes).
    static std::vector<float> Resize(const std::vector<float>& src, uint32_t width, uint32_t height, uint32_t depth,
                                     uint32_t newWidth, uint32_t newHeight, uint32_t newDepth);
    // A new image of the given size, format and level count from level 0 of every face of `src`: resized,
    // converted and its mips rebuilt (levels 0 means the full chain). False for formats that do not convert.
    static bool Rebuild(const ImageData& src, uint32_t width, uint32_t height, uint32_t depth, D3DFORMAT format,
                        uint32_t levels, ImageData* out);
    // Regenerates levels from `first` + 1 on of every face from level `first`.
    static bool BuildMips(ImageData* image, uint32_t first);
};
