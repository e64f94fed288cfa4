#include "Tools/movie/MovieScene.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

constexpr double Pi = 3.14159265358979323846;

struct GlyphEntry
{
    char c;
    uint8_t rows[7];
};

// Five columns by seven rows, bit 4 the leftmost column.
const GlyphEntry Font[] = {
    {' ', {0, 0, 0, 0, 0, 0, 0}},        {'-', {0, 0, 0, 31, 0, 0, 0}},       {'.', {0, 0, 0, 0, 0, 12, 12}},
    {':', {0, 12, 12, 0, 12, 12, 0}},    {'!', {4, 4, 4, 4, 4, 0, 4}},        {'0', {14, 17, 19, 21, 25, 17, 14}},
    {'1', {4, 12, 4, 4, 4, 4, 14}},      {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},   {'6', {6, 8, 16, 30, 17, 17, 14}},
    {'7', {31, 1, 2, 4, 8, 8, 8}},       {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}}, {'C', {14, 17, 16, 16, 16, 17, 14}},
    {'D', {30, 17, 17, 17, 17, 17, 30}}, {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}}, {'I', {14, 4, 4, 4, 4, 4, 14}},
    {'J', {7, 2, 2, 2, 2, 18, 12}},      {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}}, {'O', {14, 17, 17, 17, 17, 17, 14}},
    {'P', {30, 17, 17, 30, 16, 16, 16}}, {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},       {'U', {17, 17, 17, 17, 17, 17, 14}},
    {'V', {17, 17, 17, 17, 17, 10, 4}},  {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 10, 4, 4, 4, 4}},     {'Z', {31, 1, 2, 4, 8, 16, 31}},
};

// A fixed hash of the layer's seed and an item's number: the same description draws the same frames.
double Hash(uint32_t seed, uint32_t item, uint32_t salt)
{
    uint32_t x = seed * 0x9E3779B1u ^ item * 0x85EBCA77u ^ salt * 0xC2B2AE3Du;
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return double(x) / 4294967296.0;
}

double Frac(double v)
{
    return v - std::floor(v);
}

float Radians(double degrees)
{
    return float(degrees * Pi / 180.0);
}

}  // namespace

const uint8_t* MovieScene::Glyph(char c)
{
    if (c >= 'a' && c <= 'z')
        c = char(c - 'a' + 'A');
    for (const GlyphEntry& entry : Font)
        if (entry.c == c)
            return entry.rows;
    return nullptr;
}

double MovieScene::Brightness(double time) const
{
    // The first frame starts from black and the last one ends there.
    const double last = double(m_Script.FrameCount() - 1) / m_Script.rate;
    double brightness = 1.0;
    if (m_Script.fadeIn > 0.0)
        brightness = std::min(brightness, time / m_Script.fadeIn);
    if (m_Script.fadeOut > 0.0)
        brightness = std::min(brightness, (last - time) / m_Script.fadeOut);
    brightness = std::clamp(brightness, 0.0, 1.0);
    return brightness * brightness * (3.0 - 2.0 * brightness);
}

void MovieScene::Draw(double time, MoviePainter& painter) const
{
    painter.Clear();
    for (const MovieLayer& layer : m_Script.layers)
        if (time >= layer.start && time <= layer.end)
            DrawLayer(layer, time, painter);
}

const std::vector<uint32_t>* MovieScene::FootageFrame(const MovieLayer& layer, double local, int& width,
                                                      int& height) const
{
    const std::string& folder = layer.text.empty() ? m_Script.footageDir : layer.text;
    if (folder.empty())
        return nullptr;
    // The last frame there is holds once the footage runs out.
    for (int frame = std::max(0, int(std::floor(local * m_Script.rate + 1e-6))); frame >= 0; --frame)
    {
        char name[32];
        std::snprintf(name, sizeof(name), "/frame-%05d.png", frame);
        const std::string path = folder + name;
        if (path == m_FootagePath)
            break;
        int w = 0, h = 0, channels = 0;
        stbi_uc* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
        if (data == nullptr)
        {
            if (frame == 0)
                return nullptr;
            continue;
        }
        m_Footage.resize(size_t(w) * h);
        for (size_t i = 0; i < m_Footage.size(); ++i)
            m_Footage[i] = 0xFF000000u | uint32_t(data[i * 4]) << 16 | uint32_t(data[i * 4 + 1]) << 8 | data[i * 4 + 2];
        stbi_image_free(data);
        m_FootagePath = path;
        m_FootageWidth = w;
        m_FootageHeight = h;
        break;
    }
    width = m_FootageWidth;
    height = m_FootageHeight;
    return m_FootagePath.empty() ? nullptr : &m_Footage;
}

void MovieScene::DrawLayer(const MovieLayer& layer, double time, MoviePainter& painter) const
{
    const double local = time - layer.start;
    double u = std::clamp(local / (layer.end - layer.start), 0.0, 1.0);
    if (layer.ease)
        u = u * u * (3.0 - 2.0 * u);
    double strength = 1.0;
    if (layer.fade > 0.0)
        strength = std::clamp(std::min(local, layer.end - time) / layer.fade, 0.0, 1.0);
    if (layer.pulse > 0.0)
        strength *= 1.0 - layer.pulseDepth * (0.5 - 0.5 * std::cos(2.0 * Pi * local / layer.pulse));
    MovieColour colour = layer.colour.At(u);
    colour.a *= float(strength);

    const float w = float(painter.Width());
    const float h = float(painter.Height());
    const float x = float(layer.x.At(u)) * w;
    const float y = float(layer.y.At(u)) * h;
    const float rotation = Radians(layer.angle.At(u) + layer.spin * local);
    const float glow = float(layer.glow.At(u)) * h;
    const float diagonal = std::hypot(w, h);

    switch (layer.kind)
    {
    case MovieLayerKind::Fill: painter.Fill(colour, layer.blend); break;
    case MovieLayerKind::Footage:
    {
        int fw = 0, fh = 0;
        if (const std::vector<uint32_t>* frame = FootageFrame(layer, local, fw, fh))
            painter.Picture(frame->data(), fw, fh, float(strength));
        break;
    }
    case MovieLayerKind::Gradient:
    {
        MovieColour far = layer.colour2.At(u);
        far.a *= float(strength);
        painter.Gradient(colour, far, Radians(layer.angle.At(u)));
        break;
    }
    case MovieLayerKind::Rect:
        painter.Box(x, y, float(layer.w.At(u)) * h * 0.5f, float(layer.h.At(u)) * h * 0.5f, rotation,
                    float(layer.outline.At(u)) * h, colour, glow, layer.blend);
        break;
    case MovieLayerKind::Polygon:
        painter.Polygon(x, y, float(layer.radius.At(u)) * h, layer.sides, rotation, float(layer.outline.At(u)) * h,
                        colour, glow, layer.blend);
        break;
    case MovieLayerKind::Line:
        painter.Segment(x, y, float(layer.x2.At(u)) * w, float(layer.y2.At(u)) * h, float(layer.width.At(u)) * h,
                        colour, glow, layer.blend);
        break;
    case MovieLayerKind::Tunnel:
    {
        // Ring i stands at depth i + 1 - the cycle's progress, so the rings move one place per cycle and
        // the picture repeats with every cycle. Drawn from the far end, fading in out of the distance.
        const double progress = Frac(layer.rate * local);
        const float radius = float(layer.radius.At(u)) * h;
        const float width = float(layer.width.At(u)) * h;
        for (int i = layer.count - 1; i >= 0; --i)
        {
            const float depth = float(i + 1 - progress);
            const float ring = radius / depth;
            if (ring * std::cos(float(Pi) / float(std::max(layer.sides, 3))) - width / depth > diagonal)
                continue;
            MovieColour tint = colour;
            const float nearness = 1.0f - depth / float(layer.count);
            tint.a *= nearness * std::sqrt(nearness);
            painter.Polygon(x, y, ring, layer.sides, rotation + Radians(layer.twist.At(u)) * depth,
                            std::max(width / depth, 0.75f), tint, glow / std::sqrt(depth), layer.blend);
        }
        break;
    }
    case MovieLayerKind::Streaks:
    {
        const float inner = float(layer.radius.At(u)) * h;
        const float length = float(layer.length.At(u)) * h;
        const float width = float(layer.width.At(u)) * h;
        for (int k = 0; k < layer.count; ++k)
        {
            const float bearing = float(2.0 * Pi * Hash(layer.seed, uint32_t(k), 0)) + rotation;
            const float s = float(Frac(Hash(layer.seed, uint32_t(k), 1) + layer.rate * local));
            const float from = inner + s * s * diagonal;
            const float to = from + length * s;
            const float dx = std::cos(bearing), dy = std::sin(bearing);
            MovieColour tint = colour;
            tint.a *= s;
            painter.Segment(x + dx * from, y + dy * from, x + dx * to, y + dy * to, width * (0.3f + s), tint, glow * s,
                            layer.blend);
        }
        break;
    }
    case MovieLayerKind::Dots:
    {
        // Each light rises through the frame once or twice a cycle and twinkles a whole number of times,
        // so the cycle repeats exactly.
        const float radius = float(layer.radius.At(u)) * h;
        for (int k = 0; k < layer.count; ++k)
        {
            const double speed = 1.0 + k % 2;
            const float dx = float(Hash(layer.seed, uint32_t(k), 0)) * w;
            const float dy =
                float(1.0 - Frac(Hash(layer.seed, uint32_t(k), 1) + speed * layer.rate * local)) * (h + 4.0f * radius) -
                2.0f * radius;
            MovieColour tint = colour;
            const double twinkle =
                std::sin(2.0 * Pi * (Hash(layer.seed, uint32_t(k), 2) + layer.rate * local * double(1 + k % 3)));
            tint.a *= float(0.65 + 0.35 * twinkle);
            painter.Polygon(dx, dy, radius * float(0.5 + Hash(layer.seed, uint32_t(k), 3)), 0, 0.0f, 0.0f, tint, glow,
                            layer.blend);
        }
        break;
    }
    case MovieLayerKind::Text:
    {
        const float cell = float(layer.size.At(u)) * h / 7.0f;
        const float half = cell * float(0.5 - 0.5 * layer.gap.At(u));
        const float total = (6.0f * float(layer.text.size()) - 1.0f) * cell;
        std::vector<MoviePainter::Cell> cells;
        for (size_t i = 0; i < layer.text.size(); ++i)
        {
            const uint8_t* rows = Glyph(layer.text[i]);
            if (!rows)
                continue;
            for (int row = 0; row < 7; ++row)
                for (int column = 0; column < 5; ++column)
                    if (rows[row] >> (4 - column) & 1)
                        cells.push_back({x - total * 0.5f + (6.0f * float(i) + float(column) + 0.5f) * cell,
                                         y + (float(row) - 3.0f) * cell, half, half});
        }
        painter.Cells(cells, colour, glow, layer.blend);
        break;
    }
    }
}
