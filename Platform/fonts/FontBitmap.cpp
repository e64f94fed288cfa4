#include "Platform/fonts/FontBitmap.h"

#include <cstddef>

bool FontBitmap::Create(int width, int height)
{
    m_width = 0;
    m_height = 0;
    m_pixels.clear();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    return true;
}

uint32_t FontBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
}

void FontBitmap::BlendWhite(int x, int y, uint8_t coverage)
{
    if (coverage == 0 || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    uint32_t& p =
        m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const uint32_t c = (p >> shift) & 0xFFu;
        const uint32_t v = c + ((255u - c) * coverage + 127u) / 255u;
        out |= v << shift;
    }
    p = out;
}
