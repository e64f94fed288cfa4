#pragma once
// The format table: which Direct3D formats the layer supports, how big their texels or blocks are, and how
// OpenGL stores them. Formats outside the table are refused cleanly by every creation and check.
#include "Platform/gfx/D3D9Types.h"

struct GfxFormatInfo
{
    D3DFORMAT format;
    uint8_t bytes;        // per texel, or per 4x4 block when block is set
    bool block;           // DXT1-DXT5
    bool depth;           // depth-stencil formats
    bool renderable;      // usable as a render target (colour) or depth-stencil surface
    uint32_t glInternal;  // GL internal format
    uint32_t glFormat;    // GL client format (0 for compressed)
    uint32_t glType;      // GL client type (0 for compressed)
    // Swizzle of the stored channels: 0 as stored, 1 alpha forced to one, 2 alpha only (A8),
    // 3 luminance (L8, L16), 4 luminance with alpha (A8L8).
    uint8_t swizzle;
};

class GfxFormat
{
public:
    // Null for a format the layer does not support.
    static const GfxFormatInfo* Find(D3DFORMAT format);
    // Bytes of one row of a level of the given width: a row of texels, or a row of 4x4 blocks.
    static UINT RowPitch(const GfxFormatInfo& info, UINT width);
    // Rows of a level (blocks count as one row per four texel rows).
    static UINT RowCount(const GfxFormatInfo& info, UINT height);
    // Number of mip levels of a full chain down to 1x1x1.
    static UINT FullChain(UINT width, UINT height, UINT depth);
};
