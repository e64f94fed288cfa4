#include "Platform/gfx_d3dx/ImageFile.h"

// libjpeg's header needs size_t and FILE declared ahead of it.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <png.h>
#include <stb/stb_image.h>

#include <climits>
#include <csetjmp>
#include <cstring>
#include <vector>

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

bool ExtentFits(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= ImageData::MaxExtent && height <= ImageData::MaxExtent &&
           width * height * 4 <= ImageData::MaxBytes;
}

void SetInfo(ImageData* info, uint32_t width, uint32_t height, bool alpha)
{
    info->kind = ImageKind::Texture2D;
    info->format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    info->width = width;
    info->height = height;
    info->depth = info->levels = info->faces = 1;
    info->subs.clear();
}

// PNG through libpng's simplified reader, which decodes straight into the level as BGRA. A colour key
// (tRNS) shows as alpha in the format it reports.
bool ReadPng(const uint8_t* p, size_t size, ImageData* image, bool decode)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, p, size))
        return false;
    if (!ExtentFits(png.width, png.height))
    {
        png_image_free(&png);
        return false;
    }
    SetInfo(image, png.width, png.height, (png.format & PNG_FORMAT_FLAG_ALPHA) != 0);
    if (!decode)
    {
        png_image_free(&png);
        return true;
    }
    if (!image->Layout())
    {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_BGRA;
    ImageLevel& level = image->subs[0];
    // The reader frees its state on return, whatever the outcome.
    if (!png_image_finish_read(&png, nullptr, level.bytes.data(), png_int_32(level.rowPitch), nullptr))
    {
        image->subs.clear();
        return false;
    }
    return true;
}

// A progressive JPEG may hold any number of scans, each a pass over the whole image: past this many the
// file is refused rather than decoded for minutes.
constexpr int MaxJpegScans = 256;

struct JpegFailure
{
    jpeg_error_mgr manager;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    bool damaged;
};

[[noreturn]] void JpegError(j_common_ptr common)
{
    std::longjmp(reinterpret_cast<JpegFailure*>(common->err)->jump, 1);
}

// libjpeg reports damaged data as warnings and goes on with grey: any warning fails the file.
void JpegMessage(j_common_ptr common, int level)
{
    if (level < 0)
        reinterpret_cast<JpegFailure*>(common->err)->damaged = true;
}

void JpegProgress(j_common_ptr common)
{
    if (common->is_decompressor && reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > MaxJpegScans)
        JpegError(common);
}

// The header checks and the decode, between the error exit's setjmp and its cleanup.
bool JpegBody(jpeg_decompress_struct* jpeg, JpegFailure* failure, const uint8_t* p, size_t size, ImageData* image,
              bool decode)
{
    jpeg_create_decompress(jpeg);
    jpeg->progress = &failure->progress;
    jpeg_mem_src(jpeg, p, static_cast<unsigned long>(size));
    if (jpeg_read_header(jpeg, TRUE) != JPEG_HEADER_OK || !ExtentFits(jpeg->image_width, jpeg->image_height) ||
        failure->damaged)
        return false;
    // CMYK and YCCK have no conversion to RGB in the library.
    if (jpeg->jpeg_color_space != JCS_GRAYSCALE && jpeg->jpeg_color_space != JCS_YCbCr &&
        jpeg->jpeg_color_space != JCS_RGB)
        return false;
    SetInfo(image, jpeg->image_width, jpeg->image_height, false);
    if (!decode)
        return true;
    if (!image->Layout())
        return false;
    jpeg->out_color_space = JCS_EXT_BGRA;
    if (!jpeg_start_decompress(jpeg) || jpeg->output_width != image->width || jpeg->output_height != image->height ||
        jpeg->output_components != 4)
        return false;
    ImageLevel& level = image->subs[0];
    while (jpeg->output_scanline < jpeg->output_height)
    {
        JSAMPROW row = level.bytes.data() + size_t(jpeg->output_scanline) * level.rowPitch;
        if (jpeg_read_scanlines(jpeg, &row, 1) != 1)
            return false;
    }
    return jpeg_finish_decompress(jpeg) && !failure->damaged;
}

// JPEG through libjpeg-turbo, decoded straight into the level as BGRA. The error exit jumps back here out of
// the library and JpegBody, whose frames hold nothing with a destructor.
bool ReadJpeg(const uint8_t* p, size_t size, ImageData* image, bool decode)
{
    jpeg_decompress_struct jpeg;
    JpegFailure failure;
    std::memset(&jpeg, 0, sizeof jpeg);
    std::memset(&failure, 0, sizeof failure);
    jpeg.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JpegError;
    failure.manager.emit_message = JpegMessage;
    failure.progress.progress_monitor = JpegProgress;
    if (setjmp(failure.jump))
    {
        jpeg_destroy_decompress(&jpeg);
        image->subs.clear();
        return false;
    }
    if (!JpegBody(&jpeg, &failure, p, size, image, decode))
    {
        jpeg_destroy_decompress(&jpeg);
        image->subs.clear();
        return false;
    }
    jpeg_destroy_decompress(&jpeg);
    return true;
}

// stb_image reads zeros past the end of a TGA, so the sizes its header gives are checked here: exactly for
// plain images, and for run-length ones by walking the packets until every texel is covered. The colour map
// and image types are checked too, which also keeps every other format stb knows away from it.
bool TgaBigEnough(const uint8_t* p, size_t size)
{
    if (size < 18)
        return false;
    uint32_t idLength = p[0], mapType = p[1], imageType = p[2];
    uint32_t mapLength = uint32_t(p[5] | (p[6] << 8)), mapBits = p[7];
    uint64_t w = uint32_t(p[12] | (p[13] << 8)), h = uint32_t(p[14] | (p[15] << 8)), bits = p[16];
    if (mapType > 1)
        return false;
    uint64_t at = 18 + idLength + (mapType ? mapLength * ((mapBits + 7) / 8) : 0);
    uint64_t texelBytes = imageType == 1 || imageType == 9 ? 1 : (bits + 7) / 8;
    if (imageType == 1 || imageType == 2 || imageType == 3)
        return size >= at + w * h * texelBytes;
    if (imageType != 9 && imageType != 10 && imageType != 11)
        return false;
    // Every packet takes at least one byte, so the walk ends within the file.
    for (uint64_t texels = 0; texels < w * h;)
    {
        if (at >= size)
            return false;
        const uint8_t header = p[at++];
        const uint64_t count = (header & 0x7Fu) + 1;
        at += header & 0x80 ? texelBytes : count * texelBytes;
        texels += count;
    }
    return at <= size;
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
    // Only plain and bit-field files are read: stb refuses run-length ones (1, 2) and reads any other value as
    // plain rows, padding what is missing with zeros, so a tiny file could claim a huge picture.
    if (compression != 0 && compression != 3 && compression != 6)
        return false;
    if (w <= 0 || h == 0 || bits == 0)
        return false;
    uint64_t rows = uint64_t(h < 0 ? -h : h);
    uint64_t stride = (uint64_t(w) * bits + 31) / 32 * 4;
    return size >= offset + stride * rows;
}

// TGA and BMP through stb_image, once their headers were checked against the bytes.
bool ReadStb(const uint8_t* p, size_t size, ImageFileType type, ImageData* image, bool decode)
{
    if (size > size_t(INT_MAX))
        return false;
    if (type == ImageFileType::Tga ? !TgaBigEnough(p, size) : !BmpBigEnough(p, size))
        return false;
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(p, int(size), &w, &h, &comp) || !ExtentFits(uint64_t(w), uint64_t(h)))
        return false;
    SetInfo(image, uint32_t(w), uint32_t(h), comp == 2 || comp == 4);
    if (!decode)
        return true;
    stbi_uc* pixels = stbi_load_from_memory(p, int(size), &w, &h, &comp, 4);
    if (!pixels)
        return false;
    if (uint32_t(w) != image->width || uint32_t(h) != image->height || !image->Layout())
    {
        stbi_image_free(pixels);
        image->subs.clear();
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

bool Read(const void* data, size_t size, ImageData* image, ImageFileType* type, bool decode)
{
    if (!data || size == 0 || !image)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (DdsFile::IsDds(data, size))
    {
        if (type)
            *type = ImageFileType::Dds;
        return decode ? DdsFile::Read(data, size, image) : DdsFile::ReadInfo(data, size, image);
    }
    ImageFileType kind = Sniff(p, size);
    bool ok = false;
    switch (kind)
    {
    case ImageFileType::Png: ok = ReadPng(p, size, image, decode); break;
    case ImageFileType::Jpg: ok = ReadJpeg(p, size, image, decode); break;
    default: ok = ReadStb(p, size, kind, image, decode); break;
    }
    if (ok && type)
        *type = kind;
    return ok;
}

}  // namespace

bool ImageFile::ReadInfo(const void* data, size_t size, ImageData* info, ImageFileType* type)
{
    return Read(data, size, info, type, false);
}

bool ImageFile::Decode(const void* data, size_t size, ImageData* image, ImageFileType* type)
{
    return Read(data, size, image, type, true);
}

bool ImageFile::WritePng(const char* path, uint32_t width, uint32_t height, const void* bgra, int32_t rowPitch)
{
    if (path == nullptr || bgra == nullptr || width == 0 || height == 0 || rowPitch < int32_t(width * 4))
        return false;
    // The fourth byte is dropped: an X8 surface leaves it undefined.
    std::vector<uint8_t> bgr(size_t(width) * height * 3);
    for (uint32_t y = 0; y < height; ++y)
    {
        const uint8_t* from = static_cast<const uint8_t*>(bgra) + size_t(y) * size_t(rowPitch);
        uint8_t* to = bgr.data() + size_t(y) * width * 3;
        for (uint32_t x = 0; x < width; ++x)
        {
            to[x * 3 + 0] = from[x * 4 + 0];
            to[x * 3 + 1] = from[x * 4 + 1];
            to[x * 3 + 2] = from[x * 4 + 2];
        }
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = PNG_FORMAT_BGR;
    const bool written = png_image_write_to_file(&png, path, 0, bgr.data(), png_int_32(width * 3), nullptr) != 0;
    png_image_free(&png);
    return written;
}
