// Feeds arbitrary bytes to the DDS reader, then takes what it read through the pixel codec and the filter:
// every level to RGBA, the image rebuilt in another format (chosen by the last byte) at half its size, and
// the file written back and read again to the same bytes.
#include <cstdint>
#include <vector>

#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/ImageFilter.h"
#include "Platform/gfx_d3dx/PixelCodec.h"

namespace
{
const D3DFORMAT Targets[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,      D3DFMT_A1R5G5B5,
                             D3DFMT_A4R4G4B4, D3DFMT_L8,       D3DFMT_A8L8,        D3DFMT_DXT1,
                             D3DFMT_DXT3,     D3DFMT_DXT5,     D3DFMT_R16F,        D3DFMT_A16B16G16R16,
                             D3DFMT_G16R16,   D3DFMT_R32F,     D3DFMT_A2B10G10R10, D3DFMT_A32B32G32R32F};
// Conversions run in floats: kept to images small enough for many runs a second.
constexpr uint64_t MaxTexels = 1u << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImageData image;
    if (!DdsFile::Read(data, size, &image))
        return 0;
    std::vector<uint8_t> written;
    ImageData again;
    if (!DdsFile::Write(image, &written) || !DdsFile::Read(written.data(), written.size(), &again))
        __builtin_trap();
    for (size_t i = 0; i < image.subs.size(); ++i)
        if (again.subs[i].bytes != image.subs[i].bytes)
            __builtin_trap();
    if (uint64_t(image.width) * image.height * image.depth * image.faces > MaxTexels)
        return 0;
    std::vector<float> rgba;
    for (const ImageLevel& level : image.subs)
        PixelCodec::ToRgba(image.format, level, &rgba);
    const D3DFORMAT target = Targets[data[size - 1] % (sizeof Targets / sizeof Targets[0])];
    ImageData rebuilt;
    ImageFilter::Rebuild(image, (image.width + 1) / 2, (image.height + 1) / 2, (image.depth + 1) / 2, target, 0,
                         &rebuilt);
    return 0;
}
