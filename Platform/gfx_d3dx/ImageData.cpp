#include "Platform/gfx_d3dx/ImageData.h"

namespace
{

// The largest decoded image kept in memory, all faces and levels.
constexpr uint64_t MaxBytes = 1ull << 30;

}  // namespace

uint32_t ImageData::TexelBytes(D3DFORMAT format, bool* block)
{
    if (block)
        *block = false;
    switch (format)
    {
    case D3DFMT_DXT1:
        if (block)
            *block = true;
        return 8;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        if (block)
            *block = true;
        return 16;
    case D3DFMT_A8:
    case D3DFMT_L8:
    case D3DFMT_P8:
    case D3DFMT_R3G3B2: return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8L8:
    case D3DFMT_L16:
    case D3DFMT_R16F:
    case D3DFMT_V8U8: return 2;
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_A2R10G10B10:
    case D3DFMT_G16R16:
    case D3DFMT_G16R16F:
    case D3DFMT_R32F:
    case D3DFMT_Q8W8V8U8: return 4;
    case D3DFMT_A16B16G16R16:
    case D3DFMT_A16B16G16R16F:
    case D3DFMT_G32R32F: return 8;
    case D3DFMT_A32B32G32R32F: return 16;
    default: return 0;
    }
}

uint32_t ImageData::FullChain(uint32_t width, uint32_t height, uint32_t depth)
{
    uint32_t largest = width > height ? width : height;
    if (depth > largest)
        largest = depth;
    uint32_t levels = 1;
    while (largest > 1)
    {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

bool ImageData::Layout()
{
    bool block = false;
    uint32_t texel = TexelBytes(format, &block);
    if (!texel || !width || !height || !depth || !levels || !faces)
        return false;
    if (kind != ImageKind::Volume)
        depth = 1;
    if (kind == ImageKind::Cube && width != height)
        return false;
    if (levels > FullChain(width, height, depth))
        return false;
    // Pitches are 32 bits: sizes are summed wide first, and an image past what the file readers take is refused.
    uint64_t total = 0;
    for (uint32_t l = 0; l < levels; ++l)
    {
        uint64_t w = width >> l ? width >> l : 1, h = height >> l ? height >> l : 1, d = depth >> l ? depth >> l : 1;
        total += (block ? (w + 3) / 4 * ((h + 3) / 4) : w * h) * texel * d;
    }
    if (total * faces > MaxBytes)
        return false;
    subs.assign(size_t(faces) * levels, ImageLevel{});
    for (uint32_t f = 0; f < faces; ++f)
    {
        for (uint32_t l = 0; l < levels; ++l)
        {
            ImageLevel& s = Sub(f, l);
            s.width = width >> l ? width >> l : 1;
            s.height = height >> l ? height >> l : 1;
            s.depth = depth >> l ? depth >> l : 1;
            uint32_t rows = block ? (s.height + 3) / 4 : s.height;
            s.rowPitch = block ? (s.width + 3) / 4 * texel : s.width * texel;
            s.slicePitch = s.rowPitch * rows;
            s.bytes.assign(size_t(s.slicePitch) * s.depth, 0);
        }
    }
    return true;
}
