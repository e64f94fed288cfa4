#pragma once
// The UI skin description and its painting: parts of a few drawing primitives, nine-part panels sliced from
// one painted panel, three-state parts whose over and clicked images are derived, and the atlas they are
// packed into with a gutter of repeated edge pixels.
#include <cstdint>
#include <string>
#include <vector>

// One painted part: its name (as the texture map names it) and ARGB pixels, top row first.
struct SkinImage
{
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Where the packer put it in the atlas.
    int x = 0;
    int y = 0;
};

struct SkinAtlas
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class SkinPainter
{
public:
    static constexpr int Gutter = 2;

    // Reads the description and paints every part; false with a "line N: reason" message on a bad line.
    bool Parse(const std::string& text, std::string* error);
    const std::vector<SkinImage>& Images() const { return m_Images; }
    // Packs the parts into one atlas of the given width (the height the smallest power of two that fits);
    // false when a part is wider than the atlas.
    bool Pack(int width, SkinAtlas* atlas);
    // The texture-map ini: [General] and one section per part.
    std::string TextureMapIni(const SkinAtlas& atlas, const std::string& imageName) const;

private:
    std::vector<SkinImage> m_Images;
};
