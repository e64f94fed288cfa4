#include "Platform/gfx/GfxDds.h"

#include <cstring>

namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr uint32_t kFlagCaps = 0x1, kFlagHeight = 0x2, kFlagWidth = 0x4, kFlagPitch = 0x8, kFlagPixelFormat = 0x1000,
                   kFlagMipCount = 0x20000, kFlagLinearSize = 0x80000, kFlagDepth = 0x800000;
constexpr uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCC = 0x4, kPfRgb = 0x40, kPfLuminance = 0x20000;
constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipmap = 0x400000;
constexpr uint32_t kCaps2Cube = 0x200, kCaps2AllFaces = 0xFC00, kCaps2Volume = 0x200000;
constexpr size_t kHeaderBytes = 4 + 124;
constexpr UINT kMaxSize = 16384;

struct Masks {
  D3DFORMAT format;
  uint32_t flags, bits, r, g, b, a;
};

// Channel masks of the uncompressed formats; the flags say which bits of the pixel-format flags matter.
const Masks kMasks[] = {
    {D3DFMT_A8R8G8B8, kPfRgb | kPfAlphaPixels, 32, 0xff0000, 0xff00, 0xff, 0xff000000},
    {D3DFMT_X8R8G8B8, kPfRgb, 32, 0xff0000, 0xff00, 0xff, 0},
    {D3DFMT_A8B8G8R8, kPfRgb | kPfAlphaPixels, 32, 0xff, 0xff00, 0xff0000, 0xff000000},
    {D3DFMT_X8B8G8R8, kPfRgb, 32, 0xff, 0xff00, 0xff0000, 0},
    {D3DFMT_R5G6B5, kPfRgb, 16, 0xf800, 0x7e0, 0x1f, 0},
    {D3DFMT_A1R5G5B5, kPfRgb | kPfAlphaPixels, 16, 0x7c00, 0x3e0, 0x1f, 0x8000},
    {D3DFMT_X1R5G5B5, kPfRgb, 16, 0x7c00, 0x3e0, 0x1f, 0},
    {D3DFMT_A4R4G4B4, kPfRgb | kPfAlphaPixels, 16, 0xf00, 0xf0, 0xf, 0xf000},
    {D3DFMT_X4R4G4B4, kPfRgb, 16, 0xf00, 0xf0, 0xf, 0},
    {D3DFMT_A2B10G10R10, kPfRgb | kPfAlphaPixels, 32, 0x3ff, 0xffc00, 0x3ff00000, 0xc0000000},
    {D3DFMT_A2R10G10B10, kPfRgb | kPfAlphaPixels, 32, 0x3ff00000, 0xffc00, 0x3ff, 0xc0000000},
    {D3DFMT_G16R16, kPfRgb, 32, 0xffff, 0xffff0000, 0, 0},
    {D3DFMT_L8, kPfLuminance, 8, 0xff, 0, 0, 0},
    {D3DFMT_A8L8, kPfLuminance | kPfAlphaPixels, 16, 0xff, 0, 0, 0xff00},
    {D3DFMT_L16, kPfLuminance, 16, 0xffff, 0, 0, 0},
    {D3DFMT_A8, kPfAlpha, 8, 0, 0, 0, 0xff},
};

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

void Put(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

bool IsFourCC(D3DFORMAT format) {
  // Compressed formats by their codes, float and 64-bit formats by their format numbers, as D3DX writes them.
  switch (format) {
    case D3DFMT_DXT1: case D3DFMT_DXT2: case D3DFMT_DXT3: case D3DFMT_DXT4: case D3DFMT_DXT5:
    case D3DFMT_A16B16G16R16: case D3DFMT_R16F: case D3DFMT_G16R16F: case D3DFMT_A16B16G16R16F:
    case D3DFMT_R32F: case D3DFMT_G32R32F: case D3DFMT_A32B32G32R32F: return true;
    default: return false;
  }
}

}  // namespace

bool GfxDds::Read(const uint8_t* data, size_t size, GfxImage& out, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  if (!data || size < kHeaderBytes || U32(data) != kMagic) return fail("not a DDS file");
  const uint8_t* h = data + 4;
  if (U32(h) != 124 || U32(h + 72) != 32) return fail("bad header sizes");
  uint32_t flags = U32(h + 4);
  UINT height = U32(h + 8), width = U32(h + 12), depth = U32(h + 20), mips = U32(h + 24);
  uint32_t pfFlags = U32(h + 76), fourCC = U32(h + 80), bits = U32(h + 84);
  uint32_t r = U32(h + 88), g = U32(h + 92), b = U32(h + 96), a = U32(h + 100);
  uint32_t caps2 = U32(h + 108);
  (void)flags;
  if (width == 0 || height == 0 || width > kMaxSize || height > kMaxSize) return fail("bad size");
  D3DFORMAT format = D3DFMT_UNKNOWN;
  if (pfFlags & kPfFourCC) {
    format = D3DFORMAT(int32_t(fourCC));
    if (!IsFourCC(format)) return fail("unsupported compressed format");
  } else {
    for (const Masks& m : kMasks) {
      bool alpha = (pfFlags & (kPfAlphaPixels | kPfAlpha)) != 0 && a != 0;
      bool wantsAlpha = m.a != 0;
      if ((pfFlags & (kPfRgb | kPfLuminance | kPfAlpha)) != (m.flags & (kPfRgb | kPfLuminance | kPfAlpha))) continue;
      if (bits != m.bits || alpha != wantsAlpha) continue;
      if ((m.flags & kPfAlpha) ? a == m.a : (r == m.r && g == m.g && b == m.b && (!wantsAlpha || a == m.a))) {
        format = m.format;
        break;
      }
    }
    if (format == D3DFMT_UNKNOWN) return fail("unsupported pixel format");
  }
  const GfxFormatInfo* info = GfxFormat::Find(format);
  if (!info) return fail("unsupported pixel format");

  GfxImageKind kind = GfxImageKind::Texture2D;
  UINT faces = 1;
  if (caps2 & kCaps2Cube) {
    if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces) return fail("a cube map needs all six faces");
    if (width != height) return fail("a cube map must be square");
    kind = GfxImageKind::Cube;
    faces = 6;
    depth = 1;
  } else if ((caps2 & kCaps2Volume) && depth > 1) {
    if (depth > kMaxSize || info->block) return fail("bad volume");
    kind = GfxImageKind::Volume;
  } else {
    depth = 1;
  }
  UINT full = GfxFormat::FullChain(width, height, depth);
  if (mips == 0) mips = 1;
  if (mips > full) return fail("more mip levels than the size allows");

  // The bytes every face and level need, checked before anything is allocated.
  uint64_t need = 0;
  {
    UINT w = width, hh = height, d = depth;
    for (UINT level = 0; level < mips; ++level) {
      need += uint64_t(GfxFormat::RowPitch(*info, w)) * GfxFormat::RowCount(*info, hh) * d;
      w = w > 1 ? w / 2 : 1, hh = hh > 1 ? hh / 2 : 1, d = d > 1 ? d / 2 : 1;
    }
    need *= faces;
  }
  if (need > size - kHeaderBytes) return fail("the file is shorter than its header says");

  out = GfxImage();
  out.kind = kind;
  out.info = info;
  out.format = format;
  out.pool = D3DPOOL_SCRATCH;
  out.width = width;
  out.height = height;
  out.depth = depth;
  out.levels = mips;
  out.faces = faces;
  out.Layout();
  const uint8_t* p = data + kHeaderBytes;
  for (GfxSubImage& sub : out.subs) {
    std::memcpy(sub.bytes.data(), p, sub.bytes.size());
    p += sub.bytes.size();
  }
  return true;
}

bool GfxDds::Write(const GfxImage& image, std::vector<uint8_t>& out) {
  if (!image.HasCpuCopy() || image.subs.empty() || image.subs[0].bytes.empty()) return false;
  const Masks* masks = nullptr;
  if (!IsFourCC(image.format)) {
    for (const Masks& m : kMasks)
      if (m.format == image.format) masks = &m;
    if (!masks) return false;
  }
  size_t total = kHeaderBytes;
  for (const GfxSubImage& sub : image.subs) total += sub.bytes.size();
  out.assign(total, 0);
  Put(out, 0, kMagic);
  uint8_t* h = out.data() + 4;
  (void)h;
  uint32_t flags = kFlagCaps | kFlagHeight | kFlagWidth | kFlagPixelFormat;
  if (image.levels > 1) flags |= kFlagMipCount;
  if (image.kind == GfxImageKind::Volume) flags |= kFlagDepth;
  flags |= image.info->block ? kFlagLinearSize : kFlagPitch;
  Put(out, 4, 124);
  Put(out, 8, flags);
  Put(out, 12, image.height);
  Put(out, 16, image.width);
  Put(out, 20, image.info->block ? image.subs[0].slicePitch : image.subs[0].rowPitch);
  Put(out, 24, image.kind == GfxImageKind::Volume ? image.depth : 0);
  Put(out, 28, image.levels);
  Put(out, 4 + 72, 32);
  if (masks) {
    Put(out, 4 + 76, masks->flags);
    Put(out, 4 + 84, masks->bits);
    Put(out, 4 + 88, masks->r);
    Put(out, 4 + 92, masks->g);
    Put(out, 4 + 96, masks->b);
    Put(out, 4 + 100, masks->a);
  } else {
    Put(out, 4 + 76, kPfFourCC);
    Put(out, 4 + 80, uint32_t(image.format));
  }
  uint32_t caps = kCapsTexture;
  if (image.levels > 1) caps |= kCapsComplex | kCapsMipmap;
  uint32_t caps2 = 0;
  if (image.kind == GfxImageKind::Cube) caps |= kCapsComplex, caps2 = kCaps2Cube | kCaps2AllFaces;
  if (image.kind == GfxImageKind::Volume) caps |= kCapsComplex, caps2 = kCaps2Volume;
  Put(out, 4 + 104, caps);
  Put(out, 4 + 108, caps2);
  size_t at = kHeaderBytes;
  for (const GfxSubImage& sub : image.subs) {
    std::memcpy(out.data() + at, sub.bytes.data(), sub.bytes.size());
    at += sub.bytes.size();
  }
  return true;
}
