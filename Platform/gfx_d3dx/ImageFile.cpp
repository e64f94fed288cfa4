#include "Platform/gfx_d3dx/ImageFile.h"

#include <stb/stb_image.h>

#include <climits>
#include <cstring>

#include "Platform/gfx_d3dx/DdsFile.h"

namespace
{

ImageFileType Sniff(const uint8_t* p, size_t size)
{
    if (size >= 8 && std::memcmp(p, "\x89PNG", 4) == 0)
        return ImageFileType::Png;
    if (size >= 3 && p[0] == 0xFF && p[1] == 0xD8)
        return ImageFileType::Jpg;
    if (size >= 2 && p[0] == 'B' && p[1] == 'M')
        return ImageFileType::Bmp;
    return ImageFileType::Tga;  // TGA has no signature
}

// stb_image reads zeros past the end of a TGA, so the sizes its header gives are checked here: exactly for
// plain images, as a floor (one packet byte per 128 texels) for run-length ones.
bool TgaBigEnough(const uint8_t* p, size_t size)
{
    if (size < 18)
        return false;
    uint32_t idLength = p[0], mapType = p[1], imageType = p[2];
    uint32_t mapLength = uint32_t(p[5] | (p[6] << 8)), mapBits = p[7];
    uint64_t w = uint32_t(p[12] | (p[13] << 8)), h = uint32_t(p[14] | (p[15] << 8)), bits = p[16];
    uint64_t need = 18 + idLength + (mapType ? mapLength * ((mapBits + 7) / 8) : 0);
    uint64_t texelBytes = imageType == 1 || imageType == 9 ? 1 : (bits + 7) / 8;
    if (imageType == 1 || imageType == 2 || imageType == 3)
    {
        need += w * h * texelBytes;
    }
    else if (imageType == 9 || imageType == 10 || imageType == 11)
    {
        need += (w * h + 127) / 128 * (1 + texelBytes);
    }
    else
    {
        return false;
    }
    return size >= need;
}

// The same for uncompressed BMP: the pixel rows from the data offset must all be there.
bool BmpBigEnough(const uint8_t* p, size_t size)
{
    if (size < 34)
        return false;
    auto u32 = [&](size_t o)
    { return uint32_t(p[o] | (p[o + 1] << 8) | (p[o + 2] << 16) | (uint32_t(p[o + 3]) << 24)); };
    uint64_t offset = u32(10);
    int64_t w = int32_t(u32(18)), h = int32_t(u32(22));
    uint64_t bits = uint32_t(p[28] | (p[29] << 8)), compression = u32(30);
    // Plain and bit-field files hold whole rows; run-length ones (1, 2) have no size to check ahead.
    if (compression != 0 && compression != 3 && compression != 6)
        return true;
    if (w <= 0 || h == 0)
        return false;
    uint64_t rows = uint64_t(h < 0 ? -h : h);
    uint64_t stride = (uint64_t(w) * bits + 31) / 32 * 4;
    return size >= offset + stride * rows;
}

// A grey or RGB PNG gets its alpha from a tRNS colour key, which stb_image's header scan does not see: the
// chunks before the first IDAT are walked for one.
bool PngHasColourKey(const uint8_t* p, size_t size)
{
    size_t at = 8;
    while (at + 8 <= size)
    {
        uint64_t length = uint64_t(p[at]) << 24 | uint32_t(p[at + 1]) << 16 | uint32_t(p[at + 2]) << 8 | p[at + 3];
        if (std::memcmp(p + at + 4, "tRNS", 4) == 0)
            return true;
        if (std::memcmp(p + at + 4, "IDAT", 4) == 0)
            return false;
        if (length + 12 > size - at)
            return false;
        at += size_t(length) + 12;
    }
    return false;
}

bool StbInfo(const void* data, size_t size, ImageData* info, ImageFileType* type)
{
    if (!data || size == 0 || size > size_t(INT_MAX))
        return false;
    int w = 0, h = 0, comp = 0;
    if (Sniff(static_cast<const uint8_t*>(data), size) == ImageFileType::Tga &&
        !TgaBigEnough(static_cast<const uint8_t*>(data), size))
        return false;
    if (Sniff(static_cast<const uint8_t*>(data), size) == ImageFileType::Bmp &&
        !BmpBigEnough(static_cast<const uint8_t*>(data), size))
        return false;
    if (!stbi_info_from_memory(static_cast<const stbi_uc*>(data), int(size), &w, &h, &comp))
        return false;
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384)
        return false;
    info->kind = ImageKind::Texture2D;
    bool alpha = comp == 2 || comp == 4 ||
                 (Sniff(static_cast<const uint8_t*>(data), size) == ImageFileType::Png &&
                  PngHasColourKey(static_cast<const uint8_t*>(data), size));
    info->format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    info->width = uint32_t(w);
    info->height = uint32_t(h);
    info->depth = info->levels = info->faces = 1;
    if (type)
        *type = Sniff(static_cast<const uint8_t*>(data), size);
    return true;
}

}  // namespace

bool ImageFile::ReadInfo(const void* data, size_t size, ImageData* info, ImageFileType* type)
{
    if (DdsFile::IsDds(data, size))
    {
        if (type)
            *type = ImageFileType::Dds;
        return DdsFile::ReadInfo(data, size, info);
    }
    return StbInfo(data, size, info, type);
}

bool ImageFile::Decode(const void* data, size_t size, ImageData* image, ImageFileType* type)
{
    if (DdsFile::IsDds(data, size))
    {
        if (type)
            *type = ImageFileType::Dds;
        return DdsFile::Read(data, size, image);
    }
    if (!StbInfo(data, size, image, type))
        return false;
    int w = 0, h = 0, comp = 0;
    stbi_uc* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(data), int(size), &w, &h, &comp, 4);
    if (!pixels)
        return false;
    if (uint32_t(w) != image->width || uint32_t(h) != image->height || !image->Layout())
    {
        stbi_image_free(pixels);
        return false;
    }
    uint8_t* out = image->subs[0].bytes.data();
    bool opaque = image->format == D3DFMT_X8R8G8B8;
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
    {
        out[i * 4 + 0] = pixels[i * 4 + 2];
        out[i * 4 + 1] = pixels[i * 4 + 1];
        out[i * 4 + 2] = pixels[i * 4 + 0];
        out[i * 4 + 3] = opaque ? 0xFF : pixels[i * 4 + 3];
    }
    stbi_image_free(pixels);
    return true;
}
