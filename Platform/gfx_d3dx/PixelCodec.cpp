#include "Platform/gfx_d3dx/PixelCodec.h"

#include <stb/stb_dxt.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

struct Masks
{
    D3DFORMAT format;
    uint8_t bytes;
    uint32_t r, g, b, a;
    bool luminance;
};

// Channel masks of the packed formats (read as little-endian words).
const Masks MaskTable[] = {
    {D3DFMT_A8R8G8B8, 4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, false},
    {D3DFMT_X8R8G8B8, 4, 0xFF0000, 0xFF00, 0xFF, 0, false},
    {D3DFMT_A8B8G8R8, 4, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u, false},
    {D3DFMT_X8B8G8R8, 4, 0xFF, 0xFF00, 0xFF0000, 0, false},
    {D3DFMT_R8G8B8, 3, 0xFF0000, 0xFF00, 0xFF, 0, false},
    {D3DFMT_R5G6B5, 2, 0xF800, 0x7E0, 0x1F, 0, false},
    {D3DFMT_X1R5G5B5, 2, 0x7C00, 0x3E0, 0x1F, 0, false},
    {D3DFMT_A1R5G5B5, 2, 0x7C00, 0x3E0, 0x1F, 0x8000, false},
    {D3DFMT_A4R4G4B4, 2, 0xF00, 0xF0, 0xF, 0xF000, false},
    {D3DFMT_X4R4G4B4, 2, 0xF00, 0xF0, 0xF, 0, false},
    {D3DFMT_A2B10G10R10, 4, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000u, false},
    {D3DFMT_A2R10G10B10, 4, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u, false},
    {D3DFMT_G16R16, 4, 0xFFFF, 0xFFFF0000u, 0, 0, false},
    {D3DFMT_A8, 1, 0, 0, 0, 0xFF, false},
    {D3DFMT_L8, 1, 0xFF, 0, 0, 0, true},
    {D3DFMT_A8L8, 2, 0xFF, 0, 0, 0xFF00, true},
    {D3DFMT_L16, 2, 0xFFFF, 0, 0, 0, true},
};

const Masks* FindMasks(D3DFORMAT f)
{
    for (const Masks& m : MaskTable)
        if (m.format == f)
            return &m;
    return nullptr;
}

int Shift(uint32_t mask)
{
    return mask ? __builtin_ctz(mask) : 0;
}

float Channel(uint32_t v, uint32_t mask)
{
    if (!mask)
        return 0.0f;
    return float((v & mask) >> Shift(mask)) / float(mask >> Shift(mask));
}

uint32_t Pack(float f, uint32_t mask)
{
    if (!mask)
        return 0;
    uint32_t max = mask >> Shift(mask);
    float c = std::clamp(f, 0.0f, 1.0f);
    return (uint32_t(c * float(max) + 0.5f) << Shift(mask)) & mask;
}

float HalfToFloat(uint16_t h)
{
    uint32_t sign = uint32_t(h >> 15) << 31;
    int exp = (h >> 10) & 0x1F;
    uint32_t man = h & 0x3FF;
    uint32_t bits;
    if (exp == 0)
    {
        if (man == 0)
        {
            bits = sign;
        }
        else
        {
            float f = std::ldexp(float(man), -24);
            std::memcpy(&bits, &f, 4);
            bits |= sign;
        }
    }
    else if (exp == 31)
    {
        bits = sign | 0x7F800000u | (man << 13);
    }
    else
    {
        bits = sign | (uint32_t(exp - 15 + 127) << 23) | (man << 13);
    }
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

uint16_t FloatToHalf(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    uint16_t sign = uint16_t((bits >> 16) & 0x8000);
    int exp = int((bits >> 23) & 0xFF) - 127 + 15;
    uint32_t man = bits & 0x7FFFFF;
    if (((bits >> 23) & 0xFF) == 0xFF)
        return uint16_t(sign | 0x7C00 | (man ? 0x200 : 0));
    if (exp >= 31)
        return uint16_t(sign | 0x7C00);
    if (exp <= 0)
    {
        if (exp < -10)
            return sign;
        man |= 0x800000;
        return uint16_t(sign | (man >> (14 - exp)));
    }
    return uint16_t(sign | (exp << 10) | (man >> 13));
}

// The four colours of a DXT colour block, RGBA 0..1.
void BlockColours(const uint8_t* b, bool dxt1, float out[4][4])
{
    uint16_t c0 = uint16_t(b[0] | (b[1] << 8)), c1 = uint16_t(b[2] | (b[3] << 8));
    auto expand = [](uint16_t c, float* o)
    {
        o[0] = float((c >> 11) & 31) / 31.0f;
        o[1] = float((c >> 5) & 63) / 63.0f;
        o[2] = float(c & 31) / 31.0f;
        o[3] = 1.0f;
    };
    expand(c0, out[0]);
    expand(c1, out[1]);
    for (int i = 0; i < 3; ++i)
    {
        if (!dxt1 || c0 > c1)
        {
            out[2][i] = (2 * out[0][i] + out[1][i]) / 3;
            out[3][i] = (out[0][i] + 2 * out[1][i]) / 3;
        }
        else
        {
            out[2][i] = (out[0][i] + out[1][i]) / 2;
            out[3][i] = 0.0f;
        }
    }
    out[2][3] = 1.0f;
    out[3][3] = (!dxt1 || c0 > c1) ? 1.0f : 0.0f;
}

void DecodeBlock(D3DFORMAT f, const uint8_t* b, float texels[16][4])
{
    const uint8_t* colour = f == D3DFMT_DXT1 ? b : b + 8;
    float pal[4][4];
    BlockColours(colour, f == D3DFMT_DXT1, pal);
    uint32_t idx =
        uint32_t(colour[4]) | (uint32_t(colour[5]) << 8) | (uint32_t(colour[6]) << 16) | (uint32_t(colour[7]) << 24);
    for (int i = 0; i < 16; ++i)
        std::memcpy(texels[i], pal[(idx >> (2 * i)) & 3], 16);
    if (f == D3DFMT_DXT2 || f == D3DFMT_DXT3)
    {
        for (int i = 0; i < 16; ++i)
            texels[i][3] = float((b[i / 2] >> (4 * (i & 1))) & 15) / 15.0f;
    }
    else if (f == D3DFMT_DXT4 || f == D3DFMT_DXT5)
    {
        float a[8];
        a[0] = b[0] / 255.0f;
        a[1] = b[1] / 255.0f;
        if (b[0] > b[1])
        {
            for (int i = 1; i < 7; ++i)
                a[i + 1] = ((7 - i) * a[0] + i * a[1]) / 7;
        }
        else
        {
            for (int i = 1; i < 5; ++i)
                a[i + 1] = ((5 - i) * a[0] + i * a[1]) / 5;
            a[6] = 0.0f;
            a[7] = 1.0f;
        }
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i)
            bits |= uint64_t(b[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i)
            texels[i][3] = a[(bits >> (3 * i)) & 7];
    }
}

bool IsDxt(D3DFORMAT f)
{
    return f == D3DFMT_DXT1 || f == D3DFMT_DXT2 || f == D3DFMT_DXT3 || f == D3DFMT_DXT4 || f == D3DFMT_DXT5;
}

uint8_t Byte(float f)
{
    return uint8_t(std::clamp(f, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

bool PixelCodec::Supports(D3DFORMAT f)
{
    return FindMasks(f) || IsDxt(f) || f == D3DFMT_R16F || f == D3DFMT_G16R16F || f == D3DFMT_A16B16G16R16F ||
           f == D3DFMT_R32F || f == D3DFMT_G32R32F || f == D3DFMT_A32B32G32R32F || f == D3DFMT_A16B16G16R16;
}

bool PixelCodec::ToRgba(D3DFORMAT f, const ImageLevel& lv, std::vector<float>* rgba)
{
    if (!Supports(f))
        return false;
    if (lv.bytes.size() < size_t(lv.slicePitch) * lv.depth)
        return false;
    rgba->assign(size_t(lv.width) * lv.height * lv.depth * 4, 0.0f);
    for (uint32_t z = 0; z < lv.depth; ++z)
    {
        const uint8_t* slice = lv.bytes.data() + size_t(z) * lv.slicePitch;
        float* out = rgba->data() + size_t(z) * lv.width * lv.height * 4;
        if (IsDxt(f))
        {
            uint32_t blockBytes = f == D3DFMT_DXT1 ? 8 : 16;
            for (uint32_t by = 0; by < (lv.height + 3) / 4; ++by)
                for (uint32_t bx = 0; bx < (lv.width + 3) / 4; ++bx)
                {
                    float t[16][4];
                    DecodeBlock(f, slice + size_t(by) * lv.rowPitch + size_t(bx) * blockBytes, t);
                    for (uint32_t i = 0; i < 16; ++i)
                    {
                        uint32_t x = bx * 4 + (i & 3), y = by * 4 + i / 4;
                        if (x < lv.width && y < lv.height)
                            std::memcpy(out + (size_t(y) * lv.width + x) * 4, t[i], 16);
                    }
                }
            continue;
        }
        for (uint32_t y = 0; y < lv.height; ++y)
        {
            const uint8_t* row = slice + size_t(y) * lv.rowPitch;
            for (uint32_t x = 0; x < lv.width; ++x)
            {
                float* o = out + (size_t(y) * lv.width + x) * 4;
                o[3] = 1.0f;
                if (const Masks* m = FindMasks(f))
                {
                    uint32_t v = 0;
                    std::memcpy(&v, row + size_t(x) * m->bytes, m->bytes);
                    o[0] = Channel(v, m->r);
                    o[1] = m->luminance ? o[0] : Channel(v, m->g);
                    o[2] = m->luminance ? o[0] : Channel(v, m->b);
                    if (m->a)
                        o[3] = Channel(v, m->a);
                    continue;
                }
                const uint8_t* t = row;
                uint32_t channels = (f == D3DFMT_R16F || f == D3DFMT_R32F)         ? 1
                                    : (f == D3DFMT_G16R16F || f == D3DFMT_G32R32F) ? 2
                                                                                   : 4;
                for (uint32_t c = 0; c < channels; ++c)
                {
                    if (f == D3DFMT_R32F || f == D3DFMT_G32R32F || f == D3DFMT_A32B32G32R32F)
                    {
                        std::memcpy(&o[c], t + (size_t(x) * channels + c) * 4, 4);
                    }
                    else
                    {
                        uint16_t h;
                        std::memcpy(&h, t + (size_t(x) * channels + c) * 2, 2);
                        o[c] = f == D3DFMT_A16B16G16R16 ? float(h) / 65535.0f : HalfToFloat(h);
                    }
                }
            }
        }
    }
    return true;
}

bool PixelCodec::FromRgba(D3DFORMAT f, const std::vector<float>& rgba, ImageLevel* lv)
{
    if (!Supports(f))
        return false;
    if (rgba.size() < size_t(lv->width) * lv->height * lv->depth * 4)
        return false;
    if (lv->bytes.size() < size_t(lv->slicePitch) * lv->depth)
        return false;
    for (uint32_t z = 0; z < lv->depth; ++z)
    {
        uint8_t* slice = lv->bytes.data() + size_t(z) * lv->slicePitch;
        const float* in = rgba.data() + size_t(z) * lv->width * lv->height * 4;
        if (IsDxt(f))
        {
            uint32_t blockBytes = f == D3DFMT_DXT1 ? 8 : 16;
            for (uint32_t by = 0; by < (lv->height + 3) / 4; ++by)
                for (uint32_t bx = 0; bx < (lv->width + 3) / 4; ++bx)
                {
                    uint8_t src[64];
                    for (uint32_t i = 0; i < 16; ++i)
                    {
                        // Texels beyond a small level repeat its edge.
                        uint32_t x = std::min(bx * 4 + (i & 3), lv->width - 1),
                                 y = std::min(by * 4 + i / 4, lv->height - 1);
                        const float* t = in + (size_t(y) * lv->width + x) * 4;
                        for (int c = 0; c < 4; ++c)
                            src[i * 4 + c] = Byte(t[c]);
                    }
                    uint8_t* dst = slice + size_t(by) * lv->rowPitch + size_t(bx) * blockBytes;
                    if (f == D3DFMT_DXT1)
                    {
                        stb_compress_dxt_block(dst, src, 0, STB_DXT_HIGHQUAL);
                    }
                    else if (f == D3DFMT_DXT4 || f == D3DFMT_DXT5)
                    {
                        stb_compress_dxt_block(dst, src, 1, STB_DXT_HIGHQUAL);
                    }
                    else
                    {
                        for (int i = 0; i < 8; ++i)
                        {
                            uint8_t lo = uint8_t((src[(2 * i) * 4 + 3] * 15 + 127) / 255);
                            uint8_t hi = uint8_t((src[(2 * i + 1) * 4 + 3] * 15 + 127) / 255);
                            dst[i] = uint8_t(lo | (hi << 4));
                        }
                        stb_compress_dxt_block(dst + 8, src, 0, STB_DXT_HIGHQUAL);
                    }
                }
            continue;
        }
        for (uint32_t y = 0; y < lv->height; ++y)
        {
            uint8_t* row = slice + size_t(y) * lv->rowPitch;
            for (uint32_t x = 0; x < lv->width; ++x)
            {
                const float* t = in + (size_t(y) * lv->width + x) * 4;
                if (const Masks* m = FindMasks(f))
                {
                    float lum = m->luminance ? 0.299f * t[0] + 0.587f * t[1] + 0.114f * t[2] : t[0];
                    uint32_t v = Pack(lum, m->r) | (m->luminance ? 0 : Pack(t[1], m->g) | Pack(t[2], m->b));
                    v |= m->a ? Pack(t[3], m->a) : 0;
                    // Unused bits of X formats read as one, as Direct3D writes them.
                    if (!m->a && m->bytes == 4 && !m->luminance && m->format != D3DFMT_G16R16)
                        v |= 0xFF000000u;
                    std::memcpy(row + size_t(x) * m->bytes, &v, m->bytes);
                    continue;
                }
                uint32_t channels = (f == D3DFMT_R16F || f == D3DFMT_R32F)         ? 1
                                    : (f == D3DFMT_G16R16F || f == D3DFMT_G32R32F) ? 2
                                                                                   : 4;
                for (uint32_t c = 0; c < channels; ++c)
                {
                    if (f == D3DFMT_R32F || f == D3DFMT_G32R32F || f == D3DFMT_A32B32G32R32F)
                    {
                        std::memcpy(row + (size_t(x) * channels + c) * 4, &t[c], 4);
                    }
                    else
                    {
                        uint16_t h = f == D3DFMT_A16B16G16R16 ? uint16_t(std::clamp(t[c], 0.0f, 1.0f) * 65535.0f + 0.5f)
                                                              : FloatToHalf(t[c]);
                        std::memcpy(row + (size_t(x) * channels + c) * 2, &h, 2);
                    }
                }
            }
        }
    }
    return true;
}
