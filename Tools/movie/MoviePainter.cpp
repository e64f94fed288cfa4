#include "Tools/movie/MoviePainter.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr float Pi = 3.14159265358979f;

// How bright a glow is next to its shape, as a part of the shape's own colour.
constexpr float GlowStrength = 0.55f;

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

// For shapes without a cheaper test.
bool NoSkip(float, float, float)
{
    return false;
}

float BoxDistance(float px, float py, float halfW, float halfH)
{
    float qx = std::fabs(px) - halfW;
    float qy = std::fabs(py) - halfH;
    float ox = std::max(qx, 0.0f);
    float oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f);
}

}  // namespace

MoviePainter::MoviePainter(int width, int height)
    : m_Width(width), m_Height(height), m_Rgb(size_t(width) * size_t(height) * 3, 0.0f)
{
}

void MoviePainter::Clear()
{
    std::fill(m_Rgb.begin(), m_Rgb.end(), 0.0f);
}

void MoviePainter::Fill(const MovieColour& colour, MovieBlend blend)
{
    const float a = colour.a;
    const float c[3] = {colour.r, colour.g, colour.b};
    for (size_t i = 0; i < m_Rgb.size(); i += 3)
        for (int k = 0; k < 3; ++k)
            m_Rgb[i + k] = blend == MovieBlend::Add ? m_Rgb[i + k] + c[k] * a : m_Rgb[i + k] * (1.0f - a) + c[k] * a;
}

void MoviePainter::Picture(const uint32_t* argb, int width, int height, float alpha)
{
    if (argb == nullptr || width <= 0 || height <= 0 || alpha <= 0.0f)
        return;
    for (int y = 0; y < m_Height; ++y)
    {
        const int sy = int(int64_t(y) * height / m_Height);
        for (int x = 0; x < m_Width; ++x)
        {
            const int sx = int(int64_t(x) * width / m_Width);
            const uint32_t p = argb[size_t(sy) * width + sx];
            const float c[3] = {float(p >> 16 & 0xFF) / 255.0f, float(p >> 8 & 0xFF) / 255.0f,
                                float(p & 0xFF) / 255.0f};
            float* out = &m_Rgb[(size_t(y) * m_Width + x) * 3];
            for (int k = 0; k < 3; ++k)
                out[k] = out[k] * (1.0f - alpha) + c[k] * alpha;
        }
    }
}

void MoviePainter::Gradient(const MovieColour& from, const MovieColour& to, float angle)
{
    const float dx = std::cos(angle);
    const float dy = std::sin(angle);
    // The projections of the frame's corners give the span the gradient runs over.
    float low = 1e30f, high = -1e30f;
    for (float cx : {0.0f, float(m_Width)})
        for (float cy : {0.0f, float(m_Height)})
        {
            float p = cx * dx + cy * dy;
            low = std::min(low, p);
            high = std::max(high, p);
        }
    const float span = std::max(high - low, 1.0f);
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
        {
            float u = ((x + 0.5f) * dx + (y + 0.5f) * dy - low) / span;
            float a = from.a + (to.a - from.a) * u;
            float c[3] = {from.r + (to.r - from.r) * u, from.g + (to.g - from.g) * u, from.b + (to.b - from.b) * u};
            float* p = &m_Rgb[(size_t(y) * m_Width + x) * 3];
            for (int k = 0; k < 3; ++k)
                p[k] = p[k] * (1.0f - a) + c[k] * a;
        }
}

template <typename Distance, typename Skip>
void MoviePainter::Shape(float minX, float minY, float maxX, float maxY, const Distance& distance, const Skip& skip,
                         float outline, const MovieColour& colour, float glow, MovieBlend blend)
{
    if (colour.a <= 0.0f)
        return;
    // Past 2.5 glow radii a halo is below a thousandth of its colour.
    const float pad = glow * 2.5f + outline + 2.0f;
    const int x0 = std::max(0, int(std::floor(minX - pad)));
    const int y0 = std::max(0, int(std::floor(minY - pad)));
    const int x1 = std::min(m_Width, int(std::ceil(maxX + pad)));
    const int y1 = std::min(m_Height, int(std::ceil(maxY + pad)));
    const float c[3] = {colour.r, colour.g, colour.b};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            if (skip(x + 0.5f, y + 0.5f, pad))
                continue;
            float d = distance(x + 0.5f, y + 0.5f);
            if (outline > 0.0f)
                d = std::fabs(d) - outline * 0.5f;
            float cover = Clamp01(0.5f - d) * colour.a;
            float halo = 0.0f;
            if (glow > 0.0f && d > -0.5f)
            {
                float r = std::max(d, 0.0f) / glow;
                halo = GlowStrength * colour.a * std::exp(-2.0f * r * r) * (1.0f - Clamp01(0.5f - d));
            }
            if (cover <= 0.0f && halo <= 1e-4f)
                continue;
            float* p = &m_Rgb[(size_t(y) * m_Width + x) * 3];
            for (int k = 0; k < 3; ++k)
            {
                if (blend == MovieBlend::Over)
                    p[k] = p[k] * (1.0f - cover) + c[k] * cover;
                else
                    p[k] += c[k] * cover;
                p[k] += c[k] * halo;
            }
        }
}

void MoviePainter::Box(float x, float y, float halfW, float halfH, float angle, float outline,
                       const MovieColour& colour, float glow, MovieBlend blend)
{
    const float cs = std::cos(angle), sn = std::sin(angle);
    const float reach = std::sqrt(halfW * halfW + halfH * halfH);
    Shape(
        x - reach, y - reach, x + reach, y + reach,
        [=](float px, float py)
        {
            float dx = px - x, dy = py - y;
            return BoxDistance(dx * cs + dy * sn, -dx * sn + dy * cs, halfW, halfH);
        },
        NoSkip, outline, colour, glow, blend);
}

void MoviePainter::Polygon(float x, float y, float radius, int sides, float angle, float outline,
                           const MovieColour& colour, float glow, MovieBlend blend)
{
    if (sides < 3)
    {
        Shape(
            x - radius, y - radius, x + radius, y + radius,
            [=](float px, float py) { return std::hypot(px - x, py - y) - radius; }, NoSkip, outline, colour, glow,
            blend);
        return;
    }
    const float half = Pi / float(sides);
    const float cs = std::cos(angle), sn = std::sin(angle);
    const float apothemX = radius * std::cos(half);
    const float edgeY = radius * std::sin(half);
    Shape(
        x - radius, y - radius, x + radius, y + radius,
        [=](float px, float py)
        {
            // Into the polygon's own frame, then folded into one edge's sector.
            float dx = px - x, dy = py - y;
            float lx = dx * cs + dy * sn;
            float ly = -dx * sn + dy * cs;
            float bearing = std::atan2(lx, -ly);
            float sector = bearing + half - 2.0f * half * std::floor((bearing + half) / (2.0f * half)) - half;
            float length = std::sqrt(lx * lx + ly * ly);
            float qx = length * std::cos(sector) - apothemX;
            float qy = std::fabs(length * std::sin(sector));
            qy -= std::clamp(qy, 0.0f, edgeY);
            float d = std::sqrt(qx * qx + qy * qy);
            return qx < 0.0f ? -std::fabs(qx) : d;
        },
        // Between the corner radius and the edges' distance the shape's edge lies; an outline leaves
        // the middle untouched as well.
        [=](float px, float py, float reach)
        {
            float lengthSq = (px - x) * (px - x) + (py - y) * (py - y);
            float outer = radius + reach;
            float inner = apothemX - reach;
            return lengthSq > outer * outer || (outline > 0.0f && inner > 0.0f && lengthSq < inner * inner);
        },
        outline, colour, glow, blend);
}

void MoviePainter::Segment(float x1, float y1, float x2, float y2, float width, const MovieColour& colour, float glow,
                           MovieBlend blend)
{
    const float bx = x2 - x1, by = y2 - y1;
    const float lengthSq = std::max(bx * bx + by * by, 1e-6f);
    const float half = width * 0.5f;
    Shape(
        std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half, std::max(y1, y2) + half,
        [=](float px, float py)
        {
            float ax = px - x1, ay = py - y1;
            float h = std::clamp((ax * bx + ay * by) / lengthSq, 0.0f, 1.0f);
            return std::hypot(ax - bx * h, ay - by * h) - half;
        },
        NoSkip, 0.0f, colour, glow, blend);
}

void MoviePainter::Cells(const std::vector<Cell>& cells, const MovieColour& colour, float glow, MovieBlend blend)
{
    if (cells.empty())
        return;
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    for (const Cell& cell : cells)
    {
        minX = std::min(minX, cell.x - cell.halfW);
        maxX = std::max(maxX, cell.x + cell.halfW);
        minY = std::min(minY, cell.y - cell.halfH);
        maxY = std::max(maxY, cell.y + cell.halfH);
    }
    Shape(
        minX, minY, maxX, maxY,
        [&cells](float px, float py)
        {
            float best = 1e30f;
            for (const Cell& cell : cells)
                best = std::min(best, BoxDistance(px - cell.x, py - cell.y, cell.halfW, cell.halfH));
            return best;
        },
        NoSkip, 0.0f, colour, glow, blend);
}

void MoviePainter::Finish(float brightness, uint8_t* pixels) const
{
    static const float Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < m_Height; ++y)
        for (int x = 0; x < m_Width; ++x)
        {
            const float* p = &m_Rgb[(size_t(y) * m_Width + x) * 3];
            uint8_t* out = pixels + (size_t(y) * m_Width + x) * 4;
            const float dither = (Bayer[y & 3][x & 3] + 0.5f) / 16.0f;
            for (int k = 0; k < 3; ++k)
            {
                float v = Clamp01(p[k] * brightness) * 255.0f + dither;
                out[2 - k] = uint8_t(std::min(v, 255.0f));
            }
            out[3] = 255;
        }
}

void MoviePainter::Pixel(int x, int y, float rgb[3]) const
{
    const float* p = &m_Rgb[(size_t(y) * m_Width + x) * 3];
    rgb[0] = p[0];
    rgb[1] = p[1];
    rgb[2] = p[2];
}
