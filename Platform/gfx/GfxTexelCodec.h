#pragma once
// Texels between the stored formats and plain RGBA bytes (r, g, b, a per texel, rows top first), and the
// CPU filters built on that: resizing and mip levels.
#include <vector>

#include "Platform/gfx/GfxFormat.h"

class GfxTexelCodec {
 public:
  // True for the formats the codec converts (8-bit and packed colour, luminance, alpha, DXT1-DXT5).
  static bool Supports(D3DFORMAT format);
  // One level of `width` x `height` texels with rows `pitch` bytes apart (block rows for DXT) into RGBA.
  static bool Decode(D3DFORMAT format, const uint8_t* source, UINT width, UINT height, UINT pitch,
                     std::vector<uint8_t>& rgba);
  // RGBA into one level of the format, rows `pitch` bytes apart.
  static bool Encode(D3DFORMAT format, const std::vector<uint8_t>& rgba, UINT width, UINT height, uint8_t* dest,
                     UINT pitch);
  // Box-filtered resize of an RGBA image (every source texel counts towards the texel it falls in).
  static std::vector<uint8_t> Resize(const std::vector<uint8_t>& rgba, UINT width, UINT height, UINT newWidth,
                                     UINT newHeight);
};
