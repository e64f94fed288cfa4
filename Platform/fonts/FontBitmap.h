#pragma once
#include <cstdint>
#include <vector>

// A 32-bit top-down pixel buffer (0x00RRGGBB, row 0 at the top, pitch = width) that text is drawn into.
// Starts black.
class FontBitmap
{
public:
    static constexpr int MaxSide = 8192;

    // False (and left empty) when a side is not in 1..MaxSide.
    bool Create(int width, int height);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    uint32_t* Pixels() { return m_Pixels.data(); }
    const uint32_t* Pixels() const { return m_Pixels.data(); }
    uint32_t Pixel(int x, int y) const;

    // Paints white over the pixel with the given coverage (0..255), blending with what is there, as
    // white text on a transparent background does. Outside the bitmap nothing happens.
    void BlendWhite(int x, int y, uint8_t coverage);

private:
    int m_Width = 0;
    int m_Height = 0;
    std::vector<uint32_t> m_Pixels;
};
