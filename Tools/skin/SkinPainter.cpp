#include "Tools/skin/SkinPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{

struct Colour
{
    float a, r, g, b;
};

bool ParseColour(const std::string& text, Colour* out)
{
    if (text.size() != 9 || text[0] != '#')
        return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(text.c_str() + 1, &end, 16);
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

// Source-over blend of c at coverage `cover` onto the pixel.
void Blend(uint32_t& pixel, const Colour& c, float cover)
{
    Colour d = Unpack(pixel);
    float a = c.a * std::clamp(cover, 0.0f, 1.0f);
    float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f)
    {
        pixel = 0;
        return;
    }
    Colour o{outA, (c.r * a + d.r * d.a * (1.0f - a)) / outA, (c.g * a + d.g * d.a * (1.0f - a)) / outA,
             (c.b * a + d.b * d.a * (1.0f - a)) / outA};
    pixel = Pack(o);
}

// Coverage of the pixel (px, py) by a convex polygon, by 4 x 4 supersampling.
float PolygonCover(const std::vector<std::pair<float, float>>& poly, int px, int py)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
        {
            float x = float(px) + (float(sx) + 0.5f) / 4.0f, y = float(py) + (float(sy) + 0.5f) / 4.0f;
            // Inside when on the same side of every edge, whichever way the polygon winds.
            bool left = true, right = true;
            for (size_t i = 0; i < poly.size(); ++i)
            {
                auto [x0, y0] = poly[i];
                auto [x1, y1] = poly[(i + 1) % poly.size()];
                float cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
                left = left && cross >= 0.0f;
                right = right && cross <= 0.0f;
            }
            inside += left || right;
        }
    return float(inside) / 16.0f;
}

// A painting canvas of one part.
struct Canvas
{
    int w, h;
    std::vector<uint32_t> px;
    uint32_t& At(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }

    void FillRect(int x0, int y0, int rw, int rh, const Colour& c)
    {
        for (int y = std::max(0, y0); y < std::min(h, y0 + rh); ++y)
            for (int x = std::max(0, x0); x < std::min(w, x0 + rw); ++x)
                Blend(At(x, y), c, 1.0f);
    }
    void Gradient(const Colour& top, const Colour& bottom)
    {
        for (int y = 0; y < h; ++y)
        {
            float t = h > 1 ? float(y) / float(h - 1) : 0.0f;
            Colour c{top.a + (bottom.a - top.a) * t, top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                     top.b + (bottom.b - top.b) * t};
            for (int x = 0; x < w; ++x)
                Blend(At(x, y), c, 1.0f);
        }
    }
    void Border(int n, const Colour& c)
    {
        FillRect(0, 0, w, n, c);
        FillRect(0, h - n, w, n, c);
        FillRect(0, n, n, h - 2 * n, c);
        FillRect(w - n, n, n, h - 2 * n, c);
    }
    // Clears what lies outside rounded (or bevelled) corners of radius r.
    void Corners(int r, bool round)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
                float dx = cx < float(r) ? float(r) - cx : (cx > float(w - r) ? cx - float(w - r) : 0.0f);
                float dy = cy < float(r) ? float(r) - cy : (cy > float(h - r) ? cy - float(h - r) : 0.0f);
                if (dx <= 0.0f || dy <= 0.0f)
                    continue;
                float keep = round ? std::clamp(float(r) - std::sqrt(dx * dx + dy * dy) + 0.5f, 0.0f, 1.0f)
                                   : std::clamp(float(r) - (dx + dy) + 0.5f, 0.0f, 1.0f);
                Colour c = Unpack(At(x, y));
                c.a *= keep;
                At(x, y) = Pack(c);
            }
    }
    void Alpha(float f)
    {
        for (uint32_t& p : px)
        {
            Colour c = Unpack(p);
            c.a *= f;
            p = Pack(c);
        }
    }
    void Polygon(const std::vector<std::pair<float, float>>& poly, const Colour& c)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float cover = PolygonCover(poly, x, y);
                if (cover > 0.0f)
                    Blend(At(x, y), c, cover);
            }
    }
    // A thick line from (x0, y0) to (x1, y1) as a quad.
    void Line(float x0, float y0, float x1, float y1, float width, const Colour& c)
    {
        float dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy);
        if (len <= 0.0f)
            return;
        float nx = -dy / len * width / 2.0f, ny = dx / len * width / 2.0f;
        Polygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
    }
    bool Icon(const std::string& kind, const Colour& c)
    {
        float W = float(w), H = float(h), s = std::min(W, H) * 0.28f, cx = W / 2.0f, cy = H / 2.0f;
        // Triangles listed clockwise on screen (y down) so the inside test holds.
        if (kind == "arrow-up")
            Polygon({{cx, cy - s}, {cx + s, cy + s * 0.6f}, {cx - s, cy + s * 0.6f}}, c);
        else if (kind == "arrow-down")
            Polygon({{cx - s, cy - s * 0.6f}, {cx + s, cy - s * 0.6f}, {cx, cy + s}}, c);
        else if (kind == "arrow-left")
            Polygon({{cx - s, cy}, {cx + s * 0.6f, cy - s}, {cx + s * 0.6f, cy + s}}, c);
        else if (kind == "arrow-right")
            Polygon({{cx + s, cy}, {cx - s * 0.6f, cy + s}, {cx - s * 0.6f, cy - s}}, c);
        else if (kind == "check")
        {
            float t = std::max(2.0f, std::min(W, H) * 0.14f);
            Line(W * 0.22f, H * 0.52f, W * 0.42f, H * 0.72f, t, c);
            Line(W * 0.42f, H * 0.72f, W * 0.80f, H * 0.26f, t, c);
        }
        else if (kind == "cursor")
        {
            // The arrow's tip at the top left pixel; a dark outline drawn first.
            Colour dark{c.a, 0.04f, 0.06f, 0.12f};
            std::vector<std::pair<float, float>> arrow = {
                {1, 1}, {W * 0.92f, H * 0.62f}, {W * 0.52f, H * 0.64f}, {W * 0.30f, H * 0.98f}, {1, H * 0.82f}};
            Line(1, 1, W * 0.92f, H * 0.62f, 2.5f, dark);
            Line(1, 1, 1, H * 0.82f, 2.5f, dark);
            Line(1, H * 0.82f, W * 0.52f, H * 0.64f, 2.5f, dark);
            // Not convex as a whole: painted as two convex halves.
            Polygon({{1, 1}, {W * 0.92f, H * 0.62f}, {W * 0.52f, H * 0.64f}, {1, H * 0.82f}}, c);
            Line(W * 0.30f, H * 0.62f, W * 0.46f, H * 0.94f, std::max(2.0f, W * 0.16f), c);
        }
        else if (kind == "caret")
            FillRect(int(cx) - 1, 0, 2, h, c);
        else
            return false;
        return true;
    }
};

// Over: 30 % of the way to the amber of hover. Clicked: three quarters as bright, moved one pixel down and right.
std::vector<uint32_t> Derive(const std::vector<uint32_t>& src, int w, int h, bool clicked)
{
    std::vector<uint32_t> out(src.size(), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            int sx = clicked ? std::max(0, x - 1) : x, sy = clicked ? std::max(0, y - 1) : y;
            Colour c = Unpack(src[size_t(sy) * size_t(w) + size_t(sx)]);
            if (clicked)
                c = {c.a, c.r * 0.75f, c.g * 0.75f, c.b * 0.75f};
            else
                c = {c.a, c.r + (1.0f - c.r) * 0.3f, c.g + (0.69f - c.g) * 0.3f, c.b + (0.125f - c.b) * 0.3f};
            out[size_t(y) * size_t(w) + size_t(x)] = Pack(c);
        }
    return out;
}

SkinImage Slice(const std::string& name, const Canvas& c, int x0, int y0, int w, int h)
{
    SkinImage img{name, w, h, std::vector<uint32_t>(size_t(w) * size_t(h)), 0, 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels[size_t(y) * size_t(w) + size_t(x)] = c.px[size_t(y0 + y) * size_t(c.w) + size_t(x0 + x)];
    return img;
}

// A number of a recipe line, kept to a range in which sums of them cannot overflow.
int Number(const std::string& text)
{
    return int(std::clamp(std::strtol(text.c_str(), nullptr, 10), -4096L, 4096L));
}

bool ParseSize(const std::string& text, int* w, int* h)
{
    size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    *w = Number(text.substr(0, x));
    *h = Number(text.substr(x + 1));
    // Nothing wider than the atlas could hold.
    return *w > 0 && *h > 0 && *w <= 512 && *h <= 512;
}

}  // namespace

bool SkinPainter::Parse(const std::string& text, std::string* error)
{
    m_Images.clear();
    std::istringstream lines(text);
    std::string line;
    // The part being painted.
    std::string name, mode;
    int corner = 0;
    Canvas canvas{0, 0, {}};
    auto finish = [&]()
    {
        if (name.empty())
            return;
        if (mode == "nine")
        {
            // Corners of `corner` pixels; edges and background are slices of the panel's middle, stretched
            // when drawn.
            int c = corner, w = canvas.w, h = canvas.h, mw = w - 2 * c, mh = h - 2 * c;
            m_Images.push_back(Slice(name + "TopLeft", canvas, 0, 0, c, c));
            m_Images.push_back(Slice(name + "Top", canvas, c, 0, mw, c));
            m_Images.push_back(Slice(name + "TopRight", canvas, w - c, 0, c, c));
            m_Images.push_back(Slice(name + "Left", canvas, 0, c, c, mh));
            m_Images.push_back(Slice(name + "Background", canvas, c, c, mw, mh));
            m_Images.push_back(Slice(name + "Right", canvas, w - c, c, c, mh));
            m_Images.push_back(Slice(name + "BottomLeft", canvas, 0, h - c, c, c));
            m_Images.push_back(Slice(name + "Bottom", canvas, c, h - c, mw, c));
            m_Images.push_back(Slice(name + "BottomRight", canvas, w - c, h - c, c, c));
        }
        else if (mode == "states")
        {
            m_Images.push_back({name + "_Normal", canvas.w, canvas.h, canvas.px, 0, 0});
            m_Images.push_back(
                {name + "_Over", canvas.w, canvas.h, Derive(canvas.px, canvas.w, canvas.h, false), 0, 0});
            m_Images.push_back(
                {name + "_Clicked", canvas.w, canvas.h, Derive(canvas.px, canvas.w, canvas.h, true), 0, 0});
        }
        else
        {
            m_Images.push_back({name, canvas.w, canvas.h, canvas.px, 0, 0});
        }
        name.clear();
    };
    for (int number = 1; std::getline(lines, line); ++number)
    {
        size_t comment = line.find(';');
        if (comment != std::string::npos)
            line.resize(comment);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        auto fail = [&](const std::string& why)
        {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        Colour c{};
        if (w[0] == "part" || w[0] == "states" || w[0] == "nine")
        {
            finish();
            int pw = 0, ph = 0;
            if (w.size() < 3 || !ParseSize(w[2], &pw, &ph))
                return fail("expected '" + w[0] + " <Name> <W>x<H>'");
            mode = w[0];
            corner = 0;
            if (mode == "nine")
            {
                corner = w.size() == 4 ? Number(w[3]) : 0;
                if (corner <= 0 || 2 * corner >= std::min(pw, ph))
                    return fail("a nine-part panel needs a corner size smaller than half the panel");
            }
            for (const SkinImage& img : m_Images)
                if (img.name == w[1] || img.name.rfind(w[1] + "_", 0) == 0)
                    return fail("part " + w[1] + " twice");
            name = w[1];
            canvas = {pw, ph, std::vector<uint32_t>(size_t(pw) * size_t(ph), 0)};
            continue;
        }
        if (name.empty())
            return fail("a recipe line before any part");
        if (w[0] == "fill" && w.size() == 2 && ParseColour(w[1], &c))
            canvas.FillRect(0, 0, canvas.w, canvas.h, c);
        else if (w[0] == "gradient" && w.size() == 3 && ParseColour(w[1], &c))
        {
            Colour bottom{};
            if (!ParseColour(w[2], &bottom))
                return fail("bad colour " + w[2]);
            canvas.Gradient(c, bottom);
        }
        else if (w[0] == "border" && w.size() == 3 && ParseColour(w[2], &c))
            canvas.Border(Number(w[1]), c);
        else if ((w[0] == "round" || w[0] == "bevel") && w.size() == 2)
            canvas.Corners(Number(w[1]), w[0] == "round");
        else if (w[0] == "alpha" && w.size() == 2)
            canvas.Alpha(float(Number(w[1])) / 255.0f);
        else if (w[0] == "rect" && w.size() == 6 && ParseColour(w[5], &c))
            canvas.FillRect(Number(w[1]), Number(w[2]), Number(w[3]), Number(w[4]), c);
        else if (w[0] == "icon" && w.size() == 3 && ParseColour(w[2], &c))
        {
            if (!canvas.Icon(w[1], c))
                return fail("unknown icon " + w[1]);
        }
        else
            return fail("cannot read '" + line + "'");
    }
    finish();
    if (m_Images.empty())
    {
        *error = "no parts";
        return false;
    }
    return true;
}

bool SkinPainter::Pack(int width, SkinAtlas* atlas)
{
    // Shelves, tallest parts first; each part keeps a gutter of its own edge pixels around it.
    std::vector<SkinImage*> order;
    for (SkinImage& img : m_Images)
    {
        if (img.width + 2 * Gutter > width)
            return false;
        order.push_back(&img);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const SkinImage* a, const SkinImage* b)
                     { return a->height != b->height ? a->height > b->height : a->name < b->name; });
    int x = 0, y = 0, shelf = 0;
    for (SkinImage* img : order)
    {
        int cw = img->width + 2 * Gutter, ch = img->height + 2 * Gutter;
        if (x + cw > width)
        {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        img->x = x + Gutter;
        img->y = y + Gutter;
        x += cw;
        shelf = std::max(shelf, ch);
    }
    int used = y + shelf, height = 1;
    while (height < used)
        height *= 2;
    atlas->width = width;
    atlas->height = height;
    atlas->pixels.assign(size_t(width) * size_t(height), 0);
    for (const SkinImage& img : m_Images)
        for (int gy = -Gutter; gy < img.height + Gutter; ++gy)
            for (int gx = -Gutter; gx < img.width + Gutter; ++gx)
            {
                int sx = std::clamp(gx, 0, img.width - 1), sy = std::clamp(gy, 0, img.height - 1);
                atlas->pixels[size_t(img.y + gy) * size_t(width) + size_t(img.x + gx)] =
                    img.pixels[size_t(sy) * size_t(img.width) + size_t(sx)];
            }
    return true;
}

std::string SkinPainter::TextureMapIni(const SkinAtlas& atlas, const std::string& imageName) const
{
    std::ostringstream out;
    out << "; Written by weskin from Content/UI/Skin.txt: where each part of the skin lies in its atlas.\n";
    out << "[General]\nImagefile=" << imageName << "\nNativeHorzRes=" << atlas.width
        << "\nNativeVertRes=" << atlas.height << "\n";
    for (const SkinImage& img : m_Images)
        out << "\n[" << img.name << "]\nXPos=" << img.x << "\nYPos=" << img.y << "\nWidth=" << img.width
            << "\nHeight=" << img.height << "\n";
    return out.str();
}
