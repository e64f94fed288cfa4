#pragma once
// The heads-up display's pictures from a text description: textures of a given size, each painted cell by
// cell at exact rectangles with a few drawing primitives. A cell outside its texture, a cell overlapping
// another and a bad line stop the painting with the file, the line and the reason.
#include <cstdint>
#include <string>
#include <vector>

struct HudPicture
{
    std::string name;  // the texture's name in the pack ("Ingame.Atlases.Hud")
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // ARGB, top row first

    struct Cell
    {
        std::string name;
        int left = 0, top = 0, right = 0, bottom = 0;
        int line = 0;
    };
    std::vector<Cell> cells;
};

class HudPainter
{
public:
    // Reads the description and paints every texture; false with "file:line: reason" on a bad line.
    bool Parse(const std::string& text, const std::string& fileName, std::string* error);
    const std::vector<HudPicture>& Pictures() const { return m_Pictures; }

private:
    std::vector<HudPicture> m_Pictures;
};
