#include "Tools/hud/HudPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>

namespace
{

constexpr float Pi = 3.14159265358979f;
constexpr int MaxSize = 4096;
constexpr int Samples = 4;

struct Colour
{
    float a, r, g, b;
};

bool ParseColour(const std::string& text, Colour* out)
{
    if (text.size() != 9 || text[0] != '#')
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str() + 1, &end, 16);
    if (*end != 0)
        return false;
    *out = {float((v >> 24) & 0xFF) / 255.0f, float((v >> 16) & 0xFF) / 255.0f, float((v >> 8) & 0xFF) / 255.0f,
            float(v & 0xFF) / 255.0f};
    return true;
}

uint32_t Pack(const Colour& c)
{
    auto byte = [](float f) { return uint32_t(std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f)); };
    return (byte(c.a) << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
}

Colour Unpack(uint32_t p)
{
    return {float(p >> 24) / 255.0f, float((p >> 16) & 0xFF) / 255.0f, float((p >> 8) & 0xFF) / 255.0f,
            float(p & 0xFF) / 255.0f};
}

// Source-over of c at coverage cover onto the pixel.
void Blend(uint32_t& pixel, const Colour& c, float cover)
{
    const Colour d = Unpack(pixel);
    const float a = c.a * std::clamp(cover, 0.0f, 1.0f);
    const float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f)
    {
        pixel = 0;
        return;
    }
    pixel = Pack({outA, (c.r * a + d.r * d.a * (1.0f - a)) / outA, (c.g * a + d.g * d.a * (1.0f - a)) / outA,
                  (c.b * a + d.b * d.a * (1.0f - a)) / outA});
}

// A hash of a pixel and a seed: the noise is the same on every run and machine.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

// Angle of (x, y) about the centre in degrees 0..360, 0 at the top, growing clockwise.
float AngleOf(float x, float y)
{
    float a = std::atan2(x, -y) * 180.0f / Pi;
    return a < 0.0f ? a + 360.0f : a;
}

bool InArc(float angle, float a0, float a1)
{
    if (a1 - a0 >= 360.0f)
        return true;
    float t = std::fmod(angle - a0, 360.0f);
    if (t < 0.0f)
        t += 360.0f;
    return t <= a1 - a0;
}

float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len = dx * dx + dy * dy;
    const float t = len > 0.0f ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len, 0.0f, 1.0f) : 0.0f;
    const float ex = x0 + t * dx - px, ey = y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

bool InPolygon(const std::vector<float>& p, float x, float y)
{
    bool inside = false;
    const size_t n = p.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const float xi = p[i * 2], yi = p[i * 2 + 1], xj = p[j * 2], yj = p[j * 2 + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
    }
    return inside;
}

// The cell being painted: coordinates relative to its top-left corner.
class CellCanvas
{
public:
    CellCanvas(HudPicture& picture, const HudPicture::Cell& cell)
        : m_Picture(picture), m_X(cell.left), m_Y(cell.top), m_W(cell.right - cell.left), m_H(cell.bottom - cell.top)
    {
    }
    int Width() const { return m_W; }
    int Height() const { return m_H; }
    uint32_t& At(int x, int y) { return m_Picture.pixels[size_t(m_Y + y) * size_t(m_Picture.width) + size_t(m_X + x)]; }

    // Blends c over the pixels by the share of each pixel's samples inside the shape, within the box.
    void Shape(const Colour& c, float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& in)
    {
        const int left = std::max(0, int(std::floor(x0)) - 1), top = std::max(0, int(std::floor(y0)) - 1);
        const int right = std::min(m_W, int(std::ceil(x1)) + 1), bottom = std::min(m_H, int(std::ceil(y1)) + 1);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
            {
                int hits = 0;
                for (int sy = 0; sy < Samples; ++sy)
                    for (int sx = 0; sx < Samples; ++sx)
                        hits += in(float(x) + (float(sx) + 0.5f) / Samples, float(y) + (float(sy) + 0.5f) / Samples);
                if (hits == 0)
                    continue;
                const float cover = float(hits) / float(Samples * Samples);
                if (c.a == 0.0f && c.r == 0.0f && c.g == 0.0f && c.b == 0.0f)
                {
                    // #00000000 cuts the shape out of what is painted.
                    Colour k = Unpack(At(x, y));
                    k.a *= 1.0f - cover;
                    At(x, y) = Pack(k);
                }
                else
                    Blend(At(x, y), c, cover);
            }
    }
    void Each(const std::function<void(int, int, uint32_t&)>& f)
    {
        for (int y = 0; y < m_H; ++y)
            for (int x = 0; x < m_W; ++x)
                f(x, y, At(x, y));
    }

private:
    HudPicture& m_Picture;
    int m_X, m_Y, m_W, m_H;
};

class Parser
{
public:
    Parser(std::vector<HudPicture>& pictures, const std::string& fileName) : m_Pictures(pictures), m_File(fileName) {}

    bool Line(const std::string& raw, int number, std::string* error)
    {
        m_Number = number;
        m_Error = error;
        std::string text = raw.substr(0, raw.find(';'));
        std::istringstream in(text);
        std::vector<std::string> w;
        for (std::string word; in >> word;)
            w.push_back(word);
        if (w.empty())
            return true;
        const std::string& op = w[0];
        if (op == "texture")
            return Texture(w);
        if (op == "cell")
            return Cell(w);
        if (m_Cell < 0)
            return Fail("\"" + op + "\" before any cell");
        return Paint(w);
    }

private:
    bool Fail(const std::string& reason)
    {
        if (m_Error != nullptr)
            *m_Error = m_File + ":" + std::to_string(m_Number) + ": " + reason;
        return false;
    }

    bool Number(const std::string& text, float* out)
    {
        char* end = nullptr;
        const float v = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != 0 || !std::isfinite(v))
            return false;
        *out = v;
        return true;
    }

    bool Int(const std::string& text, int* out)
    {
        char* end = nullptr;
        const long v = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != 0 || v < -MaxSize * 4 || v > MaxSize * 4)
            return false;
        *out = int(v);
        return true;
    }

    // Reads words first..first+count-1 as numbers.
    bool Numbers(const std::vector<std::string>& w, size_t first, size_t count, float* out)
    {
        for (size_t i = 0; i < count; ++i)
            if (first + i >= w.size() || !Number(w[first + i], &out[i]))
                return false;
        return true;
    }

    bool Texture(const std::vector<std::string>& w)
    {
        int width = 0, height = 0;
        const size_t x = w.size() == 3 ? w[2].find('x') : std::string::npos;
        if (x == std::string::npos || !Int(w[2].substr(0, x), &width) || !Int(w[2].substr(x + 1), &height) ||
            width <= 0 || height <= 0 || width > MaxSize || height > MaxSize)
            return Fail("expected \"texture <Name> <W>x<H>\" with sizes 1 to 4096");
        for (const HudPicture& p : m_Pictures)
            if (p.name == w[1])
                return Fail("the texture " + w[1] + " is described twice");
        HudPicture picture;
        picture.name = w[1];
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(size_t(width) * size_t(height), 0u);
        m_Pictures.push_back(std::move(picture));
        m_Cell = -1;
        return true;
    }

    bool Cell(const std::vector<std::string>& w)
    {
        if (m_Pictures.empty())
            return Fail("a cell before any texture");
        HudPicture& picture = m_Pictures.back();
        HudPicture::Cell cell;
        if (w.size() != 6 || !Int(w[2], &cell.left) || !Int(w[3], &cell.top) || !Int(w[4], &cell.right) ||
            !Int(w[5], &cell.bottom))
            return Fail("expected \"cell <name> <left> <top> <right> <bottom>\"");
        cell.name = w[1];
        cell.line = m_Number;
        if (cell.right <= cell.left || cell.bottom <= cell.top)
            return Fail("the cell " + cell.name + " is empty");
        if (cell.left < 0 || cell.top < 0 || cell.right > picture.width || cell.bottom > picture.height)
            return Fail("the cell " + cell.name + " lies outside its " + std::to_string(picture.width) + "x" +
                        std::to_string(picture.height) + " texture");
        for (const HudPicture::Cell& other : picture.cells)
        {
            if (other.name == cell.name)
                return Fail("the cell " + cell.name + " is described twice");
            if (cell.left < other.right && other.left < cell.right && cell.top < other.bottom &&
                other.top < cell.bottom)
                return Fail("the cell " + cell.name + " overlaps the cell " + other.name + " of line " +
                            std::to_string(other.line));
        }
        picture.cells.push_back(cell);
        m_Cell = int(picture.cells.size()) - 1;
        return true;
    }

    bool Paint(const std::vector<std::string>& w)
    {
        HudPicture& picture = m_Pictures.back();
        CellCanvas c(picture, picture.cells[size_t(m_Cell)]);
        const std::string& op = w[0];
        const float cw = float(c.Width()), ch = float(c.Height());
        Colour colour{};
        float v[8] = {};
        auto colourAt = [&](size_t i) { return i < w.size() && ParseColour(w[i], &colour); };

        if (op == "fill" && w.size() == 2 && colourAt(1))
        {
            c.Each([&](int, int, uint32_t& p) { Blend(p, colour, 1.0f); });
            return true;
        }
        if (op == "gradient" && w.size() == 3)
        {
            Colour top{}, bottom{};
            if (!ParseColour(w[1], &top) || !ParseColour(w[2], &bottom))
                return Fail("expected \"gradient #top #bottom\"");
            c.Each(
                [&](int, int y, uint32_t& p)
                {
                    const float t = ch > 1.0f ? float(y) / (ch - 1.0f) : 0.0f;
                    Blend(p,
                          {top.a + (bottom.a - top.a) * t, top.r + (bottom.r - top.r) * t,
                           top.g + (bottom.g - top.g) * t, top.b + (bottom.b - top.b) * t},
                          1.0f);
                });
            return true;
        }
        if (op == "rect" && w.size() == 6 && Numbers(w, 1, 4, v) && colourAt(5))
        {
            c.Shape(colour, v[0], v[1], v[0] + v[2], v[1] + v[3],
                    [&](float x, float y) { return x >= v[0] && x < v[0] + v[2] && y >= v[1] && y < v[1] + v[3]; });
            return true;
        }
        if (op == "border" && w.size() == 3 && Numbers(w, 1, 1, v) && colourAt(2))
        {
            const float b = v[0];
            c.Shape(colour, 0, 0, cw, ch,
                    [&](float x, float y) { return x < b || y < b || x >= cw - b || y >= ch - b; });
            return true;
        }
        if (op == "round" && w.size() == 2 && Numbers(w, 1, 1, v))
        {
            // Corners outside the radius become transparent.
            const float r = v[0];
            c.Each(
                [&](int x, int y, uint32_t& p)
                {
                    const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                    const float dx = std::max({r - px, px - (cw - r), 0.0f}),
                                dy = std::max({r - py, py - (ch - r), 0.0f});
                    const float outside = std::sqrt(dx * dx + dy * dy) - r;
                    const float keep = std::clamp(0.5f - outside, 0.0f, 1.0f);
                    Colour k = Unpack(p);
                    k.a *= keep;
                    p = Pack(k);
                });
            return true;
        }
        if (op == "disc" && w.size() == 5 && Numbers(w, 1, 3, v) && colourAt(4))
        {
            c.Shape(colour, v[0] - v[2], v[1] - v[2], v[0] + v[2], v[1] + v[2],
                    [&](float x, float y) { return (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]) <= v[2] * v[2]; });
            return true;
        }
        if (op == "ring" && (w.size() == 6 || w.size() == 8 || w.size() == 10) && Numbers(w, 1, 4, v) && colourAt(5))
        {
            // ring cx cy radius width #c [from to [segments gap]]: degrees clockwise from the top.
            float a0 = 0.0f, a1 = 360.0f, segments = 0.0f, gap = 0.0f;
            if (w.size() >= 8 && (!Number(w[6], &a0) || !Number(w[7], &a1) || a1 <= a0))
                return Fail("a ring's arc runs from a smaller to a larger angle");
            if (w.size() == 10 && (!Number(w[8], &segments) || !Number(w[9], &gap) || segments < 1.0f || gap < 0.0f))
                return Fail("a ring's segments are at least 1 with a gap of 0 or more");
            const float cx = v[0], cy = v[1], r = v[2], half = v[3] * 0.5f;
            const float span = (a1 - a0) / std::max(segments, 1.0f);
            c.Shape(colour, cx - r - half, cy - r - half, cx + r + half, cy + r + half,
                    [&](float x, float y)
                    {
                        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
                        if (std::fabs(d - r) > half)
                            return false;
                        const float a = AngleOf(x - cx, y - cy);
                        if (!InArc(a, a0, a1))
                            return false;
                        if (segments < 1.0f)
                            return true;
                        float t = std::fmod(a - a0, 360.0f);
                        if (t < 0.0f)
                            t += 360.0f;
                        const float within = std::fmod(t, span);
                        return within >= gap * 0.5f && within <= span - gap * 0.5f;
                    });
            return true;
        }
        if (op == "line" && w.size() == 7 && Numbers(w, 1, 5, v) && colourAt(6))
        {
            const float half = v[4] * 0.5f;
            c.Shape(colour, std::min(v[0], v[2]) - half, std::min(v[1], v[3]) - half, std::max(v[0], v[2]) + half,
                    std::max(v[1], v[3]) + half,
                    [&](float x, float y) { return SegmentDistance(x, y, v[0], v[1], v[2], v[3]) <= half; });
            return true;
        }
        if (op == "poly" && w.size() >= 8 && w.size() % 2 == 0 && colourAt(1))
        {
            std::vector<float> points(w.size() - 2);
            if (!Numbers(w, 2, points.size(), points.data()))
                return Fail("a polygon's corners are numbers");
            float x0 = cw, y0 = ch, x1 = 0, y1 = 0;
            for (size_t i = 0; i < points.size(); i += 2)
            {
                x0 = std::min(x0, points[i]);
                x1 = std::max(x1, points[i]);
                y0 = std::min(y0, points[i + 1]);
                y1 = std::max(y1, points[i + 1]);
            }
            c.Shape(colour, x0, y0, x1, y1, [&](float x, float y) { return InPolygon(points, x, y); });
            return true;
        }
        if (op == "vignette" && w.size() == 4 && colourAt(1) && Numbers(w, 2, 2, v) && v[1] > v[0])
        {
            // Clear inside `inner`, full colour from `outer`, as fractions of the half diagonal.
            const float half = std::sqrt(cw * cw + ch * ch) * 0.5f;
            c.Each(
                [&](int x, int y, uint32_t& p)
                {
                    const float dx = float(x) + 0.5f - cw * 0.5f, dy = float(y) + 0.5f - ch * 0.5f;
                    const float t =
                        std::clamp((std::sqrt(dx * dx + dy * dy) / half - v[0]) / (v[1] - v[0]), 0.0f, 1.0f);
                    Blend(p, colour, t * t * (3.0f - 2.0f * t));
                });
            return true;
        }
        if (op == "noise" && w.size() == 4 && colourAt(1) && Numbers(w, 2, 2, v) && v[1] >= 0.0f && v[1] <= 1.0f)
        {
            const uint32_t seed = uint32_t(std::max(0.0f, v[0]));
            c.Each(
                [&](int x, int y, uint32_t& p)
                {
                    const uint32_t h = Hash(uint32_t(x), uint32_t(y), seed);
                    if (float(h & 0xFFFF) / 65535.0f < v[1])
                        Blend(p, colour, float((h >> 16) & 0xFF) / 255.0f);
                });
            return true;
        }
        if (op == "scanlines" && w.size() == 3 && Numbers(w, 1, 1, v) && v[0] >= 1.0f && colourAt(2))
        {
            c.Each(
                [&](int, int y, uint32_t& p)
                {
                    if (y % int(v[0]) == 0)
                        Blend(p, colour, 1.0f);
                });
            return true;
        }
        if (op == "fadealpha" && w.size() == 3 && Numbers(w, 1, 2, v))
        {
            // Alpha times a ramp from `top` at the first row to `bottom` at the last.
            c.Each(
                [&](int, int y, uint32_t& p)
                {
                    const float t = ch > 1.0f ? float(y) / (ch - 1.0f) : 0.0f;
                    Colour k = Unpack(p);
                    k.a *= std::clamp(v[0] + (v[1] - v[0]) * t, 0.0f, 1.0f);
                    p = Pack(k);
                });
            return true;
        }
        return Fail("cannot read \"" + op + "\" here (see the grammar at the top of the file)");
    }

    std::vector<HudPicture>& m_Pictures;
    std::string m_File;
    int m_Number = 0;
    int m_Cell = -1;
    std::string* m_Error = nullptr;
};

}  // namespace

bool HudPainter::Parse(const std::string& text, const std::string& fileName, std::string* error)
{
    m_Pictures.clear();
    Parser parser(m_Pictures, fileName);
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!parser.Line(line, ++number, error))
            return false;
    }
    if (m_Pictures.empty())
    {
        if (error != nullptr)
            *error = fileName + ": describes no texture";
        return false;
    }
    return true;
}
