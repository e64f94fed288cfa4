// wehud: the heads-up display's atlases and full-screen overlays from their text description.
//
//   wehud <description> <output Packages folder> [--previews <folder>]
//
// Paints every texture of the description cell by cell and writes each as a texture member (A8R8G8B8, one
// level) through the engine's texture writer over the recording backend; with --previews, a PNG of each
// over a dark checker for people to look at. The same description gives the same bytes.
#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Engine/foundation/WeFileSystem.h"
#include "Tools/content/ContentDevice.h"
#include "Tools/hud/HudPainter.h"

namespace fs = std::filesystem;

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: wehud <description> <output Packages folder> [--previews <folder>]\n");
    return 2;
}

bool WriteTextures(const std::vector<HudPicture>& pictures, const fs::path& packages, std::string* failed)
{
    ContentDevice device;
    if (!device.Open())
        return false;
    WeFileSystem tree;
    tree.SetRoot(WeString(packages.string().c_str()));
    for (const HudPicture& picture : pictures)
        if (!device.WriteSingleLevelTexture(tree, picture.name, picture.width, picture.height, picture.pixels))
        {
            *failed = picture.name;
            return false;
        }
    return true;
}

// Over a dark checker, so the white signs and the translucent panels read as the display shows them.
bool WritePreview(const HudPicture& picture, const fs::path& path)
{
    std::vector<uint8_t> rgb(picture.pixels.size() * 3);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const size_t i = size_t(y) * size_t(picture.width) + size_t(x);
            const uint32_t p = picture.pixels[i];
            const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
            const uint32_t back[3] = {dark ? 0x0Bu : 0x2Au, dark ? 0x10u : 0x31u, dark ? 0x20u : 0x40u};
            const uint32_t a = p >> 24;
            const uint32_t c[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            for (int k = 0; k < 3; ++k)
                rgb[i * 3 + size_t(k)] = uint8_t((c[k] * a + back[k] * (255 - a) + 127) / 255);
        }
    return stbi_write_png(path.string().c_str(), picture.width, picture.height, 3, rgb.data(), picture.width * 3) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* previews = nullptr;
    if (argc == 5 && std::strcmp(argv[3], "--previews") == 0)
        previews = argv[4];
    else if (argc != 3)
        return Usage();
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "wehud: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    HudPainter painter;
    std::string error;
    if (!painter.Parse(text.str(), argv[1], &error))
    {
        std::fprintf(stderr, "wehud: %s\n", error.c_str());
        return 1;
    }
    std::string failed;
    if (!WriteTextures(painter.Pictures(), argv[2], &failed))
    {
        std::fprintf(stderr, "wehud: cannot write the texture %s\n", failed.c_str());
        return 1;
    }
    if (previews != nullptr)
    {
        std::error_code ec;
        fs::create_directories(previews, ec);
        for (const HudPicture& picture : painter.Pictures())
            if (!WritePreview(picture, fs::path(previews) / (picture.name + ".png")))
            {
                std::fprintf(stderr, "wehud: cannot write the preview of %s\n", picture.name.c_str());
                return 1;
            }
    }
    return 0;
}
