#pragma once
// DDS image files: 2-D, cube and volume images with mip chains, DXT1-5 and the uncompressed formats of the
// format table (and 24-bit RGB, read as it is). The reader checks every size against the bytes it has.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Platform/gfx_d3dx/ImageData.h"

class DdsFile
{
public:
    static bool IsDds(const void* data, size_t size);
    // The header alone: kind, format, size and levels; no pixel bytes.
    static bool ReadInfo(const void* data, size_t size, ImageData* info);
    static bool Read(const void* data, size_t size, ImageData* image);
    static bool Write(const ImageData& image, std::vector<uint8_t>* out);
};
