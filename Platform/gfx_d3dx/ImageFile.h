#pragma once
// Image files of any kind the layer reads: DDS by our own reader, PNG through libpng, JPEG through
// libjpeg-turbo, TGA and BMP through stb_image once their headers were checked against the bytes (as
// A8R8G8B8, or X8R8G8B8 when the file has no alpha). A damaged file fails whole: no partial image.
#include <cstddef>
#include <cstdint>

#include "Platform/gfx_d3dx/ImageData.h"

enum class ImageFileType : uint8_t
{
    Bmp = 0,
    Jpg = 1,
    Tga = 2,
    Png = 3,
    Dds = 4
};  // D3DXIMAGE_FILEFORMAT numbers

class ImageFile
{
public:
    // Size, format, kind and levels without decoding the pixels.
    static bool ReadInfo(const void* data, size_t size, ImageData* info, ImageFileType* type);
    static bool Decode(const void* data, size_t size, ImageData* image, ImageFileType* type);
    // An RGB PNG of 32-bit BGRA rows (the alpha byte dropped); false when it cannot be written whole.
    static bool WritePng(const char* path, uint32_t width, uint32_t height, const void* bgra, int32_t rowPitch);
};
