#include "Tools/content/ContentPortrait.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "Tools/content/ContentMeshGenerator.h"
#include "Tools/content/ContentMeshWriter.h"

namespace
{
constexpr float Pi = 3.14159265358979f;
// The night background, the key light's warm white and the edge cyan of the rim.
constexpr float Night[3] = {11.0f / 255.0f, 16.0f / 255.0f, 32.0f / 255.0f};
constexpr float Body[3] = {0.62f, 0.68f, 0.76f};
constexpr float Rim[3] = {53.0f / 255.0f, 224.0f / 255.0f, 1.0f};

struct Vec
{
    float x, y, z;
};

Vec Sub(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec Cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec Normalise(Vec v)
{
    const float l = std::sqrt(Dot(v, v));
    return l > 1e-12f ? Vec{v.x / l, v.y / l, v.z / l} : Vec{0.0f, 0.0f, 1.0f};
}

uint32_t Pack(const float c[3])
{
    uint32_t out = 0xFF000000u;
    for (int i = 0; i < 3; ++i)
    {
        const float v = std::min(1.0f, std::max(0.0f, c[i]));
        out |= uint32_t(std::lround(v * 255.0f)) << (16 - 8 * i);
    }
    return out;
}

// The mesh's view space: turned by the yaw about y, then tilted by the pitch about x, looking down +z.
Vec View(Vec p, float cy, float sy, float cp, float sp)
{
    const Vec a{p.x * cy - p.z * sy, p.y, p.x * sy + p.z * cy};
    return {a.x, a.y * cp - a.z * sp, a.y * sp + a.z * cp};
}
}  // namespace

bool ContentPortrait::Paint(const std::string& assets, const std::string& mesh, float yawDegrees, float pitchDegrees,
                            int width, int height, std::vector<uint32_t>* argb, std::string* error)
{
    std::string path = assets;
    std::string rest = mesh;
    for (size_t dot; (dot = rest.find('.')) != std::string::npos; rest.erase(0, dot + 1))
        path += "/" + rest.substr(0, dot);
    path += "/" + rest + ".msh";
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        *error = "no mesh description " + path;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ContentMeshDescription description;
    ContentError failure;
    ContentMeshGeometry geometry;
    if (!ContentMeshWriter::Parse(path, text, &description, &failure) ||
        !ContentMeshWriter::ResolveCopies(path, assets, &description, &failure))
    {
        *error = failure.Text();
        return false;
    }
    if (!ContentMeshGenerator::Generate(description, &geometry, error))
        return false;

    const float cy = std::cos(yawDegrees * Pi / 180.0f), sy = std::sin(yawDegrees * Pi / 180.0f);
    const float cp = std::cos(pitchDegrees * Pi / 180.0f), sp = std::sin(pitchDegrees * Pi / 180.0f);
    std::vector<Vec> points;
    points.reserve(geometry.vertices.size());
    Vec lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (const ContentMeshVertex& v : geometry.vertices)
    {
        const Vec p = View({v.position.x, v.position.y, v.position.z}, cy, sy, cp, sp);
        points.push_back(p);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    argb->assign(size_t(width) * size_t(height), Pack(Night));
    if (points.empty())
        return true;
    // Fitted with a margin of a tenth, centred, the same scale on both axes.
    const float span = std::max((hi.x - lo.x) / float(width), (hi.y - lo.y) / float(height));
    const float scale = span > 0.0f ? 0.8f / span : 1.0f;
    const float midX = (lo.x + hi.x) * 0.5f, midY = (lo.y + hi.y) * 0.5f;
    std::vector<Vec> screen(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        screen[i] = {float(width) * 0.5f + (points[i].x - midX) * scale,
                     float(height) * 0.5f - (points[i].y - midY) * scale, points[i].z};

    const Vec light = Normalise({-0.5f, 0.8f, -0.6f});
    std::vector<float> depth(argb->size(), std::numeric_limits<float>::max());
    for (const ContentMeshFace& f : geometry.faces)
    {
        const Vec a = screen[f.index[0]], b = screen[f.index[1]], c = screen[f.index[2]];
        // The face's normal in view space; faces turned away are drawn too (thin parts are open).
        Vec n =
            Normalise(Cross(Sub(points[f.index[1]], points[f.index[0]]), Sub(points[f.index[2]], points[f.index[0]])));
        if (n.z > 0.0f)
            n = {-n.x, -n.y, -n.z};
        const float lambert = std::max(0.0f, Dot(n, light));
        const float rim = std::pow(1.0f - std::min(1.0f, std::fabs(n.z)), 3.0f);
        float colour[3];
        for (int k = 0; k < 3; ++k)
            colour[k] = Body[k] * (0.18f + 0.82f * lambert) + Rim[k] * rim * 0.9f;
        const uint32_t packed = Pack(colour);
        const float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (std::fabs(area) < 1e-9f)
            continue;
        const int x0 = std::max(0, int(std::floor(std::min({a.x, b.x, c.x}))));
        const int x1 = std::min(width - 1, int(std::ceil(std::max({a.x, b.x, c.x}))));
        const int y0 = std::max(0, int(std::floor(std::min({a.y, b.y, c.y}))));
        const int y1 = std::min(height - 1, int(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
            {
                const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                const float w0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
                const float w1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
                const float w2 = 1.0f - w0 - w1;
                if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
                    continue;
                const float z = w0 * a.z + w1 * b.z + w2 * c.z;
                const size_t at = size_t(y) * size_t(width) + size_t(x);
                if (z >= depth[at])
                    continue;
                depth[at] = z;
                (*argb)[at] = packed;
            }
    }
    return true;
}
