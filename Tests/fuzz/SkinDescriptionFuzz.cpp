// Feeds arbitrary skin descriptions to weskin's painter: parsing, painting, packing and the texture map.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Tools/skin/SkinPainter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Parts are painted pixel by pixel; long inputs only repeat what short ones reach.
    if (size > 4096)
        return 0;
    SkinPainter painter;
    std::string error;
    if (painter.Parse(std::string(reinterpret_cast<const char*>(data), size), &error))
    {
        SkinAtlas atlas;
        if (painter.Pack(512, &atlas))
            painter.TextureMapIni(atlas, "Textures.UI.Skin");
    }
    return 0;
}
