#include "Platform/fonts/FontBitmap.h"

#include <cstddef>

bool FontBitmap::Create(int width, int height)
{
    m_Width = 0;
    m_Height = 0;
    m_Pixels.clear();
    if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
        return false;
    m_Width = width;
    m_Height = height;
    m_Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    return true;
}

uint32_t FontBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
        return 0;
    return m_Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width) + static_cast<std::size_t>(x)];
}

void FontBitmap::BlendWhite(int x, int y, uint8_t coverage)
{
    if (coverage == 0 || x < 0 || y < 0 || x >= m_Width || y >= m_Height)
        return;
    uint32_t& p =
        m_Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width) + static_cast<std::size_t>(x)];
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const uint32_t c = (p >> shift) & 0xFFu;
        const uint32_t v = c + ((255u - c) * coverage + 127u) / 255u;
        out |= v << shift;
    }
    p = out;
}
