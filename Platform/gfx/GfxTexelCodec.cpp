#include "Platform/gfx/GfxTexelCodec.h"

#include <algorithm>
#include <cstring>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_DXT_STATIC
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>
#pragma GCC diagnostic pop

namespace {

// Packed layouts as (shift, bits) of r, g, b, a in a little-endian word; bits 0 means absent.
struct Packed {
  D3DFORMAT format;
  UINT bytes;
  int rs, rb, gs, gb, bs, bb, as, ab;
};

const Packed kPacked[] = {
    {D3DFMT_A8R8G8B8, 4, 16, 8, 8, 8, 0, 8, 24, 8}, {D3DFMT_X8R8G8B8, 4, 16, 8, 8, 8, 0, 8, 0, 0},
    {D3DFMT_A8B8G8R8, 4, 0, 8, 8, 8, 16, 8, 24, 8}, {D3DFMT_X8B8G8R8, 4, 0, 8, 8, 8, 16, 8, 0, 0},
    {D3DFMT_R5G6B5, 2, 11, 5, 5, 6, 0, 5, 0, 0},    {D3DFMT_X1R5G5B5, 2, 10, 5, 5, 5, 0, 5, 0, 0},
    {D3DFMT_A1R5G5B5, 2, 10, 5, 5, 5, 0, 5, 15, 1}, {D3DFMT_A4R4G4B4, 2, 8, 4, 4, 4, 0, 4, 12, 4},
    {D3DFMT_X4R4G4B4, 2, 8, 4, 4, 4, 0, 4, 0, 0},
};

const Packed* FindPacked(D3DFORMAT format) {
  for (const Packed& p : kPacked)
    if (p.format == format) return &p;
  return nullptr;
}

uint8_t Expand(uint32_t value, int bits) {
  if (bits == 8) return uint8_t(value);
  uint32_t max = (1u << bits) - 1;
  return uint8_t((value * 255 + max / 2) / max);
}

uint32_t Shrink(uint8_t value, int bits) {
  uint32_t max = (1u << bits) - 1;
  return (uint32_t(value) * max + 127) / 255;
}

void Color565(uint16_t c, uint8_t out[3]) {
  out[0] = Expand((c >> 11) & 31, 5);
  out[1] = Expand((c >> 5) & 63, 6);
  out[2] = Expand(c & 31, 5);
}

// The colour part of a DXT block; `opaque` forces the four-colour mode (DXT3 and DXT5 blocks).
void DecodeColourBlock(const uint8_t* block, bool opaque, uint8_t texels[16][4]) {
  uint16_t c0 = uint16_t(block[0] | block[1] << 8), c1 = uint16_t(block[2] | block[3] << 8);
  uint8_t palette[4][4];
  Color565(c0, palette[0]);
  Color565(c1, palette[1]);
  palette[0][3] = palette[1][3] = 255;
  if (c0 > c1 || opaque) {
    for (int i = 0; i < 3; ++i) {
      palette[2][i] = uint8_t((2 * palette[0][i] + palette[1][i] + 1) / 3);
      palette[3][i] = uint8_t((palette[0][i] + 2 * palette[1][i] + 1) / 3);
    }
    palette[2][3] = palette[3][3] = 255;
  } else {
    for (int i = 0; i < 3; ++i) palette[2][i] = uint8_t((palette[0][i] + palette[1][i]) / 2), palette[3][i] = 0;
    palette[2][3] = 255;
    palette[3][3] = 0;
  }
  uint32_t bits = uint32_t(block[4]) | uint32_t(block[5]) << 8 | uint32_t(block[6]) << 16 | uint32_t(block[7]) << 24;
  for (int i = 0; i < 16; ++i) std::memcpy(texels[i], palette[(bits >> (2 * i)) & 3], 4);
}

void DecodeBlock(D3DFORMAT format, const uint8_t* block, uint8_t texels[16][4]) {
  if (format == D3DFMT_DXT1) {
    DecodeColourBlock(block, false, texels);
    return;
  }
  DecodeColourBlock(block + 8, true, texels);
  if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
    for (int i = 0; i < 16; ++i) texels[i][3] = Expand((block[i / 2] >> (4 * (i & 1))) & 15, 4);
    return;
  }
  uint8_t a[8] = {block[0], block[1]};
  if (a[0] > a[1]) {
    for (int i = 1; i < 7; ++i) a[i + 1] = uint8_t(((7 - i) * a[0] + i * a[1] + 3) / 7);
  } else {
    for (int i = 1; i < 5; ++i) a[i + 1] = uint8_t(((5 - i) * a[0] + i * a[1] + 2) / 5);
    a[6] = 0;
    a[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) texels[i][3] = a[(bits >> (3 * i)) & 7];
}

}  // namespace

bool GfxTexelCodec::Supports(D3DFORMAT format) {
  if (FindPacked(format)) return true;
  switch (format) {
    case D3DFMT_A8:
    case D3DFMT_L8:
    case D3DFMT_A8L8:
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return true;
    default: return false;
  }
}

bool GfxTexelCodec::Decode(D3DFORMAT format, const uint8_t* source, UINT width, UINT height, UINT pitch,
                           std::vector<uint8_t>& rgba) {
  rgba.assign(size_t(width) * height * 4, 255);
  if (const Packed* p = FindPacked(format)) {
    for (UINT y = 0; y < height; ++y) {
      const uint8_t* row = source + size_t(y) * pitch;
      for (UINT x = 0; x < width; ++x) {
        uint32_t v = 0;
        std::memcpy(&v, row + size_t(x) * p->bytes, p->bytes);
        uint8_t* out = &rgba[(size_t(y) * width + x) * 4];
        out[0] = Expand((v >> p->rs) & ((1u << p->rb) - 1), p->rb);
        out[1] = Expand((v >> p->gs) & ((1u << p->gb) - 1), p->gb);
        out[2] = Expand((v >> p->bs) & ((1u << p->bb) - 1), p->bb);
        out[3] = p->ab ? Expand((v >> p->as) & ((1u << p->ab) - 1), p->ab) : 255;
      }
    }
    return true;
  }
  if (format == D3DFMT_A8 || format == D3DFMT_L8 || format == D3DFMT_A8L8) {
    for (UINT y = 0; y < height; ++y)
      for (UINT x = 0; x < width; ++x) {
        uint8_t* out = &rgba[(size_t(y) * width + x) * 4];
        const uint8_t* in = source + size_t(y) * pitch + size_t(x) * (format == D3DFMT_A8L8 ? 2 : 1);
        if (format == D3DFMT_A8)
          out[0] = out[1] = out[2] = 0, out[3] = in[0];
        else
          out[0] = out[1] = out[2] = in[0], out[3] = format == D3DFMT_A8L8 ? in[1] : 255;
      }
    return true;
  }
  const GfxFormatInfo* info = GfxFormat::Find(format);
  if (!info || !info->block) return false;
  for (UINT by = 0; by < (height + 3) / 4; ++by)
    for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
      uint8_t texels[16][4];
      DecodeBlock(format, source + size_t(by) * pitch + size_t(bx) * info->bytes, texels);
      for (UINT i = 0; i < 16; ++i) {
        UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
        if (x < width && y < height) std::memcpy(&rgba[(size_t(y) * width + x) * 4], texels[i], 4);
      }
    }
  return true;
}

bool GfxTexelCodec::Encode(D3DFORMAT format, const std::vector<uint8_t>& rgba, UINT width, UINT height, uint8_t* dest,
                           UINT pitch) {
  if (rgba.size() < size_t(width) * height * 4) return false;
  if (const Packed* p = FindPacked(format)) {
    for (UINT y = 0; y < height; ++y)
      for (UINT x = 0; x < width; ++x) {
        const uint8_t* in = &rgba[(size_t(y) * width + x) * 4];
        uint32_t v = Shrink(in[0], p->rb) << p->rs | Shrink(in[1], p->gb) << p->gs | Shrink(in[2], p->bb) << p->bs;
        if (p->ab) v |= Shrink(in[3], p->ab) << p->as;
        else if (p->bytes == 4) v |= 0xFF000000u;  // unused bits set, as the hardware writes them
        else if (p->format == D3DFMT_X1R5G5B5) v |= 0x8000u;
        else if (p->format == D3DFMT_X4R4G4B4) v |= 0xF000u;
        std::memcpy(dest + size_t(y) * pitch + size_t(x) * p->bytes, &v, p->bytes);
      }
    return true;
  }
  if (format == D3DFMT_A8 || format == D3DFMT_L8 || format == D3DFMT_A8L8) {
    for (UINT y = 0; y < height; ++y)
      for (UINT x = 0; x < width; ++x) {
        const uint8_t* in = &rgba[(size_t(y) * width + x) * 4];
        uint8_t* out = dest + size_t(y) * pitch + size_t(x) * (format == D3DFMT_A8L8 ? 2 : 1);
        uint8_t luminance = uint8_t((in[0] * 77 + in[1] * 150 + in[2] * 29 + 128) >> 8);
        if (format == D3DFMT_A8) out[0] = in[3];
        else if (format == D3DFMT_L8) out[0] = luminance;
        else out[0] = luminance, out[1] = in[3];
      }
    return true;
  }
  const GfxFormatInfo* info = GfxFormat::Find(format);
  if (!info || !info->block) return false;
  for (UINT by = 0; by < (height + 3) / 4; ++by)
    for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
      // Blocks past the edge repeat the last texel, so that padding does not pull the colours.
      uint8_t block[16][4];
      for (UINT i = 0; i < 16; ++i) {
        UINT x = std::min(bx * 4 + i % 4, width - 1), y = std::min(by * 4 + i / 4, height - 1);
        std::memcpy(block[i], &rgba[(size_t(y) * width + x) * 4], 4);
      }
      uint8_t* out = dest + size_t(by) * pitch + size_t(bx) * info->bytes;
      if (format == D3DFMT_DXT1) {
        stb_compress_dxt_block(out, &block[0][0], 0, STB_DXT_HIGHQUAL);
      } else if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
        for (int i = 0; i < 8; ++i)
          out[i] = uint8_t(Shrink(block[2 * i][3], 4) | Shrink(block[2 * i + 1][3], 4) << 4);
        stb_compress_dxt_block(out + 8, &block[0][0], 0, STB_DXT_HIGHQUAL);
      } else {
        stb_compress_dxt_block(out, &block[0][0], 1, STB_DXT_HIGHQUAL);
      }
    }
  return true;
}

std::vector<uint8_t> GfxTexelCodec::Resize(const std::vector<uint8_t>& rgba, UINT width, UINT height, UINT newWidth,
                                           UINT newHeight) {
  if (width == newWidth && height == newHeight) return rgba;
  std::vector<uint8_t> out(size_t(newWidth) * newHeight * 4);
  for (UINT y = 0; y < newHeight; ++y) {
    UINT y0 = UINT(uint64_t(y) * height / newHeight), y1 = std::max(y0 + 1, UINT(uint64_t(y + 1) * height / newHeight));
    for (UINT x = 0; x < newWidth; ++x) {
      UINT x0 = UINT(uint64_t(x) * width / newWidth), x1 = std::max(x0 + 1, UINT(uint64_t(x + 1) * width / newWidth));
      uint32_t sum[4] = {0, 0, 0, 0};
      for (UINT sy = y0; sy < y1; ++sy)
        for (UINT sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 4; ++c) sum[c] += rgba[(size_t(sy) * width + sx) * 4 + c];
      uint32_t n = (y1 - y0) * (x1 - x0);
      for (int c = 0; c < 4; ++c) out[(size_t(y) * newWidth + x) * 4 + c] = uint8_t((sum[c] + n / 2) / n);
    }
  }
  return out;
}
