#pragma once
// A decoded image in plain memory: every face (cube) or the one face, every mip level, tightly packed rows
// in a Direct3D format. Volume levels hold their slices one after the other.
#include <cstdint>
#include <vector>

#include "Platform/gfx/D3D9Types.h"

enum class ImageKind : uint8_t
{
    Texture2D,
    Cube,
    Volume
};

struct ImageLevel
{
    uint32_t width = 0, height = 0, depth = 1;
    uint32_t rowPitch = 0, slicePitch = 0;  // bytes of a row of texels (or of 4x4 blocks), of a slice
    std::vector<uint8_t> bytes;
};

class ImageData
{
public:
    ImageKind kind = ImageKind::Texture2D;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    uint32_t width = 0, height = 0, depth = 1, levels = 1, faces = 1;
    std::vector<ImageLevel> subs;  // face-major: face * levels + level

    // What any file reader accepts: the largest width or height, and all faces and levels decoded.
    static constexpr uint32_t MaxExtent = 16384;
    static constexpr uint64_t MaxBytes = 1ull << 30;

    // Sizes and zero-fills every face and level from the fields above; false for a format without a known
    // texel size or a zero extent.
    bool Layout();
    ImageLevel& Sub(uint32_t face, uint32_t level) { return subs[face * levels + level]; }
    const ImageLevel& Sub(uint32_t face, uint32_t level) const { return subs[face * levels + level]; }

    // Bytes of a texel (or of a 4x4 block) of a format, and whether it is block-compressed; 0 when unknown.
    static uint32_t TexelBytes(D3DFORMAT format, bool* block);
    static uint32_t FullChain(uint32_t width, uint32_t height, uint32_t depth);
};
