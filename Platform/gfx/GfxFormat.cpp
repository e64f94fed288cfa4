#include "Platform/gfx/GfxFormat.h"

#include <GL/glcorearb.h>

#ifndef GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
#define GL_COMPRESSED_RGBA_S3TC_DXT1_EXT 0x83F1
#define GL_COMPRESSED_RGBA_S3TC_DXT3_EXT 0x83F2
#define GL_COMPRESSED_RGBA_S3TC_DXT5_EXT 0x83F3
#endif

namespace
{

// Little-endian ARGB words are B, G, R, A bytes in memory: GL_BGRA with the reversed packed types.
const GfxFormatInfo Formats[] = {
    {D3DFMT_A8R8G8B8, 4, false, false, true, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 0},
    // No alpha channel is stored, so destination alpha reads as one, as it does for these formats.
    {D3DFMT_X8R8G8B8, 4, false, false, true, GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 1},
    {D3DFMT_A8B8G8R8, 4, false, false, true, GL_RGBA8, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, 0},
    {D3DFMT_X8B8G8R8, 4, false, false, true, GL_RGB8, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, 1},
    {D3DFMT_R5G6B5, 2, false, false, true, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 0},
    {D3DFMT_X1R5G5B5, 2, false, false, true, GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 1},
    {D3DFMT_A1R5G5B5, 2, false, false, true, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 0},
    {D3DFMT_A4R4G4B4, 2, false, false, false, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 0},
    {D3DFMT_X4R4G4B4, 2, false, false, false, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 1},
    {D3DFMT_A2B10G10R10, 4, false, false, true, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, 0},
    {D3DFMT_A2R10G10B10, 4, false, false, true, GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, 0},
    {D3DFMT_G16R16, 4, false, false, true, GL_RG16, GL_RG, GL_UNSIGNED_SHORT, 0},
    {D3DFMT_A16B16G16R16, 8, false, false, true, GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, 0},
    {D3DFMT_A8, 1, false, false, false, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 2},
    {D3DFMT_L8, 1, false, false, false, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 3},
    {D3DFMT_L16, 2, false, false, false, GL_R16, GL_RED, GL_UNSIGNED_SHORT, 3},
    {D3DFMT_A8L8, 2, false, false, false, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 4},
    {D3DFMT_R16F, 2, false, false, true, GL_R16F, GL_RED, GL_HALF_FLOAT, 0},
    {D3DFMT_G16R16F, 4, false, false, true, GL_RG16F, GL_RG, GL_HALF_FLOAT, 0},
    {D3DFMT_A16B16G16R16F, 8, false, false, true, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 0},
    {D3DFMT_R32F, 4, false, false, true, GL_R32F, GL_RED, GL_FLOAT, 0},
    {D3DFMT_G32R32F, 8, false, false, true, GL_RG32F, GL_RG, GL_FLOAT, 0},
    {D3DFMT_A32B32G32R32F, 16, false, false, true, GL_RGBA32F, GL_RGBA, GL_FLOAT, 0},
    {D3DFMT_DXT1, 8, true, false, false, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, 0},
    // Premultiplied DXT2 and DXT4 decode exactly like DXT3 and DXT5.
    {D3DFMT_DXT2, 16, true, false, false, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0},
    {D3DFMT_DXT3, 16, true, false, false, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, 0},
    {D3DFMT_DXT4, 16, true, false, false, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0},
    {D3DFMT_DXT5, 16, true, false, false, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, 0},
    {D3DFMT_D24S8, 4, false, true, true, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 0},
    {D3DFMT_D24X8, 4, false, true, true, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 0},
    {D3DFMT_D16, 2, false, true, true, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 0},
    {D3DFMT_D32, 4, false, true, true, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 0},
};

}  // namespace

const GfxFormatInfo* GfxFormat::Find(D3DFORMAT format)
{
    for (const GfxFormatInfo& info : Formats)
    {
        if (info.format == format)
            return &info;
    }
    return nullptr;
}

UINT GfxFormat::RowPitch(const GfxFormatInfo& info, UINT width)
{
    if (info.block)
        return ((width + 3) / 4) * info.bytes;
    return width * info.bytes;
}

UINT GfxFormat::RowCount(const GfxFormatInfo& info, UINT height)
{
    return info.block ? (height + 3) / 4 : height;
}

UINT GfxFormat::FullChain(UINT width, UINT height, UINT depth)
{
    UINT largest = width > height ? width : height;
    if (depth > largest)
        largest = depth;
    UINT levels = 1;
    while (largest > 1)
    {
        largest >>= 1;
        ++levels;
    }
    return levels;
}
