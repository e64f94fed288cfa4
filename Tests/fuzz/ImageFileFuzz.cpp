// Feeds arbitrary bytes to the image file reader, header alone and whole. Built once per format, each
// target seeded with files of its own format. A file either decodes whole, agreeing with its header, or
// fails and leaves no image behind.
#include <cstdint>

#include "Platform/gfx_d3dx/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImageData info, image;
    ImageFileType infoType = ImageFileType::Dds, type = ImageFileType::Dds;
    const bool known = ImageFile::ReadInfo(data, size, &info, &infoType);
    if (!ImageFile::Decode(data, size, &image, &type))
    {
        if (!image.subs.empty())
            __builtin_trap();
        return 0;
    }
    if (!known || infoType != type || info.width != image.width || info.height != image.height ||
        info.format != image.format || info.levels != image.levels || info.kind != image.kind)
        __builtin_trap();
    if (image.subs.size() != size_t(image.faces) * image.levels)
        __builtin_trap();
    for (const ImageLevel& level : image.subs)
        if (level.bytes.size() != size_t(level.slicePitch) * level.depth)
            __builtin_trap();
    return 0;
}
