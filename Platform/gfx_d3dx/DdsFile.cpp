#include "Platform/gfx_d3dx/DdsFile.h"

#include <algorithm>
#include <cstring>

namespace
{

constexpr uint32_t Magic = 0x20534444;  // "DDS "
constexpr uint32_t HeaderBytes = 124;
constexpr uint32_t DdsdCaps = 0x1, DdsdHeight = 0x2, DdsdWidth = 0x4, DdsdPitch = 0x8, DdsdPixelFormat = 0x1000,
                   DdsdMipMapCount = 0x20000, DdsdLinearSize = 0x80000, DdsdDepth = 0x800000;
constexpr uint32_t DdpfAlphaPixels = 0x1, DdpfAlpha = 0x2, DdpfFourCC = 0x4, DdpfRgb = 0x40, DdpfLuminance = 0x20000;
constexpr uint32_t DdsCapsComplex = 0x8, DdsCapsTexture = 0x1000, DdsCapsMipMap = 0x400000;
constexpr uint32_t DdsCaps2CubeMap = 0x200, DdsCaps2AllFaces = 0xFC00, DdsCaps2Volume = 0x200000;
// A decoded image above this is refused rather than allocated.
constexpr uint64_t MaxBytes = 1ull << 30;

struct PixelFormat
{
    D3DFORMAT format;
    uint32_t flags, bits, r, g, b, a;
};

const PixelFormat MaskedFormats[] = {
    {D3DFMT_A8R8G8B8, DdpfRgb | DdpfAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u},
    {D3DFMT_X8R8G8B8, DdpfRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_A8B8G8R8, DdpfRgb | DdpfAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u},
    {D3DFMT_X8B8G8R8, DdpfRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {D3DFMT_R8G8B8, DdpfRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_R5G6B5, DdpfRgb, 16, 0xF800, 0x7E0, 0x1F, 0},
    {D3DFMT_X1R5G5B5, DdpfRgb, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {D3DFMT_A1R5G5B5, DdpfRgb | DdpfAlphaPixels, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {D3DFMT_A4R4G4B4, DdpfRgb | DdpfAlphaPixels, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {D3DFMT_X4R4G4B4, DdpfRgb, 16, 0xF00, 0xF0, 0xF, 0},
    {D3DFMT_A2B10G10R10, DdpfRgb | DdpfAlphaPixels, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000u},
    {D3DFMT_A2R10G10B10, DdpfRgb | DdpfAlphaPixels, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u},
    {D3DFMT_G16R16, DdpfRgb, 32, 0xFFFF, 0xFFFF0000u, 0, 0},
    {D3DFMT_A8, DdpfAlpha, 8, 0, 0, 0, 0xFF},
    {D3DFMT_L8, DdpfLuminance, 8, 0xFF, 0, 0, 0},
    {D3DFMT_A8L8, DdpfLuminance | DdpfAlphaPixels, 16, 0xFF, 0, 0, 0xFF00},
    {D3DFMT_L16, DdpfLuminance, 16, 0xFFFF, 0, 0, 0},
};

// Formats a DDS file names by their number in the FourCC field.
bool FourCCFormat(uint32_t code)
{
    switch (code)
    {
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
    case D3DFMT_A16B16G16R16:
    case D3DFMT_R16F:
    case D3DFMT_G16R16F:
    case D3DFMT_A16B16G16R16F:
    case D3DFMT_R32F:
    case D3DFMT_G32R32F:
    case D3DFMT_A32B32G32R32F: return true;
    default: return false;
    }
}

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

bool DdsFile::IsDds(const void* data, size_t size)
{
    return data && size >= 4 && U32(static_cast<const uint8_t*>(data)) == Magic;
}

bool DdsFile::ReadInfo(const void* data, size_t size, ImageData* img)
{
    if (!IsDds(data, size) || size < 4 + HeaderBytes)
        return false;
    const uint8_t* h = static_cast<const uint8_t*>(data) + 4;
    if (U32(h) != HeaderBytes || U32(h + 72) != 32)
        return false;
    uint32_t flags = U32(h + 4);
    uint32_t height = U32(h + 8), width = U32(h + 12), depth = U32(h + 20), mips = U32(h + 24);
    const uint8_t* pf = h + 72;
    uint32_t pfFlags = U32(pf + 4), fourCC = U32(pf + 8);
    uint32_t caps2 = U32(h + 108);
    D3DFORMAT format = D3DFMT_UNKNOWN;
    if (pfFlags & DdpfFourCC)
    {
        if (!FourCCFormat(fourCC))
            return false;  // DX10 headers and unknown codes alike
        format = D3DFORMAT(fourCC);
    }
    else
    {
        uint32_t bits = U32(pf + 12), r = U32(pf + 16), g = U32(pf + 20), b = U32(pf + 24), a = U32(pf + 28);
        for (const PixelFormat& m : MaskedFormats)
        {
            uint32_t kind = pfFlags & (DdpfRgb | DdpfLuminance | DdpfAlpha);
            bool hasAlpha = (pfFlags & (DdpfAlphaPixels | DdpfAlpha)) != 0;
            if (kind != (m.flags & (DdpfRgb | DdpfLuminance | DdpfAlpha)) || bits != m.bits || r != m.r || g != m.g ||
                b != m.b || (hasAlpha ? a : 0) != m.a)
                continue;
            format = m.format;
            break;
        }
        if (format == D3DFMT_UNKNOWN)
            return false;
    }
    img->format = format;
    img->width = width;
    img->height = height;
    img->kind = ImageKind::Texture2D;
    img->faces = 1;
    img->depth = 1;
    if (caps2 & DdsCaps2CubeMap)
    {
        if ((caps2 & DdsCaps2AllFaces) != DdsCaps2AllFaces)
            return false;  // partial cubes have no texture to become
        img->kind = ImageKind::Cube;
        img->faces = 6;
    }
    else if ((caps2 & DdsCaps2Volume) && (flags & DdsdDepth) && depth > 1)
    {
        img->kind = ImageKind::Volume;
        img->depth = depth;
    }
    img->levels = (flags & DdsdMipMapCount) && mips > 0 ? mips : 1;
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || img->depth > 2048)
        return false;
    if (img->kind == ImageKind::Cube && width != height)
        return false;
    if (img->levels > ImageData::FullChain(width, height, img->depth))
        return false;
    return true;
}

bool DdsFile::Read(const void* data, size_t size, ImageData* img)
{
    if (!ReadInfo(data, size, img))
        return false;
    // Check the whole payload before allocating any of it.
    bool block = false;
    uint64_t texel = ImageData::TexelBytes(img->format, &block);
    uint64_t need = 0;
    for (uint32_t l = 0; l < img->levels; ++l)
    {
        uint64_t w = std::max<uint64_t>(1, img->width >> l), h = std::max<uint64_t>(1, img->height >> l),
                 d = std::max<uint64_t>(1, img->depth >> l);
        need += block ? ((w + 3) / 4) * ((h + 3) / 4) * texel * d : w * h * d * texel;
    }
    need *= img->faces;
    if (need > MaxBytes || need > size - 4 - HeaderBytes)
        return false;
    if (!img->Layout())
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(data) + 4 + HeaderBytes;
    for (uint32_t f = 0; f < img->faces; ++f)
        for (uint32_t l = 0; l < img->levels; ++l)
        {
            ImageLevel& s = img->Sub(f, l);
            std::memcpy(s.bytes.data(), p, s.bytes.size());
            p += s.bytes.size();
        }
    return true;
}

bool DdsFile::Write(const ImageData& img, std::vector<uint8_t>* out)
{
    bool block = false;
    if (!ImageData::TexelBytes(img.format, &block) || img.subs.size() != size_t(img.faces) * img.levels)
        return false;
    const PixelFormat* masked = nullptr;
    for (const PixelFormat& m : MaskedFormats)
        if (m.format == img.format)
            masked = &m;
    if (!masked && !FourCCFormat(uint32_t(img.format)))
        return false;
    out->clear();
    Put(out, Magic);
    Put(out, HeaderBytes);
    uint32_t flags = DdsdCaps | DdsdHeight | DdsdWidth | DdsdPixelFormat | (block ? DdsdLinearSize : DdsdPitch);
    if (img.levels > 1)
        flags |= DdsdMipMapCount;
    if (img.kind == ImageKind::Volume)
        flags |= DdsdDepth;
    Put(out, flags);
    Put(out, img.height);
    Put(out, img.width);
    Put(out, block ? uint32_t(img.subs[0].bytes.size() / img.subs[0].depth) : img.subs[0].rowPitch);
    Put(out, img.kind == ImageKind::Volume ? img.depth : 0);
    Put(out, img.levels);
    for (int i = 0; i < 11; ++i)
        Put(out, 0);
    Put(out, 32);
    if (masked)
    {
        Put(out, masked->flags);
        Put(out, 0);
        Put(out, masked->bits);
        Put(out, masked->r);
        Put(out, masked->g);
        Put(out, masked->b);
        Put(out, masked->a);
    }
    else
    {
        Put(out, DdpfFourCC);
        Put(out, uint32_t(img.format));
        for (int i = 0; i < 5; ++i)
            Put(out, 0);
    }
    uint32_t caps = DdsCapsTexture;
    if (img.levels > 1)
        caps |= DdsCapsComplex | DdsCapsMipMap;
    if (img.kind != ImageKind::Texture2D)
        caps |= DdsCapsComplex;
    Put(out, caps);
    Put(out, img.kind == ImageKind::Cube     ? DdsCaps2CubeMap | DdsCaps2AllFaces
             : img.kind == ImageKind::Volume ? DdsCaps2Volume
                                             : 0);
    for (int i = 0; i < 3; ++i)
        Put(out, 0);
    for (const ImageLevel& s : img.subs)
        out->insert(out->end(), s.bytes.begin(), s.bytes.end());
    return true;
}
