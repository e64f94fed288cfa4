// weskin: the UI skin from its text description.
//
//   weskin <description> <output Packages folder> [--png <preview.png>]
//
// Paints every part of the description, packs them into one atlas with a gutter of repeated edge pixels
// (no bleeding under linear filtering when the layout is scaled), writes the atlas as the texture member
// Textures.UI.Skin (A8R8G8B8, one level) through the engine's texture writer over the recording backend, and
// the texture map Config/Main/UITextureMap.ini beside it. The preview PNG shows the atlas for people.
#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Engine/foundation/WeFileSystem.h"
#include "Tools/content/ContentDevice.h"
#include "Tools/skin/SkinPainter.h"

namespace fs = std::filesystem;

namespace
{

constexpr const char* ImageName = "Textures.UI.Skin";
constexpr int AtlasWidth = 512;

int Usage()
{
    std::fprintf(stderr, "usage: weskin <description> <output Packages folder> [--png <preview.png>]\n");
    return 2;
}

bool WriteTexture(const SkinAtlas& atlas, const fs::path& packages)
{
    ContentDevice device;
    WeFileSystem tree;
    tree.SetRoot(WeString(packages.string().c_str()));
    return device.Open() && device.WriteSingleLevelTexture(tree, ImageName, atlas.width, atlas.height, atlas.pixels);
}

bool WritePreview(const SkinAtlas& atlas, const char* path)
{
    std::vector<uint8_t> rgba(atlas.pixels.size() * 4);
    for (size_t i = 0; i < atlas.pixels.size(); ++i)
    {
        uint32_t p = atlas.pixels[i];
        rgba[i * 4 + 0] = uint8_t(p >> 16);
        rgba[i * 4 + 1] = uint8_t(p >> 8);
        rgba[i * 4 + 2] = uint8_t(p);
        rgba[i * 4 + 3] = uint8_t(p >> 24);
    }
    return stbi_write_png(path, atlas.width, atlas.height, 4, rgba.data(), atlas.width * 4) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* preview = nullptr;
    if (argc == 5 && std::strcmp(argv[3], "--png") == 0)
        preview = argv[4];
    else if (argc != 3)
        return Usage();
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "weskin: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    SkinPainter painter;
    std::string error;
    if (!painter.Parse(text.str(), &error))
    {
        std::fprintf(stderr, "weskin: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    SkinAtlas atlas;
    if (!painter.Pack(AtlasWidth, &atlas))
    {
        std::fprintf(stderr, "weskin: %s: a part is wider than the %d-pixel atlas\n", argv[1], AtlasWidth);
        return 1;
    }
    fs::path packages = argv[2];
    std::error_code ec;
    fs::create_directories(packages / "Config" / "Main", ec);
    if (!WriteTexture(atlas, packages))
    {
        std::fprintf(stderr, "weskin: cannot write the texture %s\n", ImageName);
        return 1;
    }
    std::ofstream ini(packages / "Config" / "Main" / "UITextureMap.ini", std::ios::binary | std::ios::trunc);
    ini << painter.TextureMapIni(atlas, ImageName);
    ini.close();
    if (!ini)
    {
        std::fprintf(stderr, "weskin: cannot write the texture map\n");
        return 1;
    }
    if (preview != nullptr && !WritePreview(atlas, preview))
    {
        std::fprintf(stderr, "weskin: cannot write the preview %s\n", preview);
        return 1;
    }
    return 0;
}
