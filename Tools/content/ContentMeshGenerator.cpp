#include "Tools/content/ContentMeshGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <utility>

#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

constexpr float Pi = 3.14159265358979323846f;
constexpr float DegreesToRadians = Pi / 180.0f;
// Faces meeting at a corner within this angle share its smooth normal: boxes and caps keep their edges.
const float SmoothCosine = 0.5f;
constexpr int32_t MaxSegments = 1024;

struct Corner
{
    D3DXVECTOR3 p;
    D3DXVECTOR2 uv;
};
using Triangle = std::array<Corner, 3>;
using Triangles = std::vector<Triangle>;

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &a, &b);
    return out;
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const D3DXVECTOR3& a)
{
    return std::sqrt(Dot(a, a));
}

D3DXVECTOR3 Unit(const D3DXVECTOR3& a)
{
    float l = Length(a);
    return l > 0.0f ? a / l : a;
}

D3DXVECTOR3 Mul(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return D3DXVECTOR3(a.x * b.x, a.y * b.y, a.z * b.z);
}

// A grid of points, columns to the right and rows downwards: quad (c, r) is clockwise seen from the side
// cross(right, down) points to; flipped, from the other side.
void Grid(const std::vector<Corner>& points, int columns, int rows, bool flip, Triangles* out)
{
    auto at = [&](int c, int r) { return points[size_t(r) * size_t(columns + 1) + size_t(c)]; };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
        {
            Corner a = at(c, r), b = at(c + 1, r), d = at(c, r + 1), e = at(c + 1, r + 1);
            if (flip)
            {
                out->push_back({a, e, b});
                out->push_back({a, d, e});
            }
            else
            {
                out->push_back({a, b, e});
                out->push_back({a, e, d});
            }
        }
}

void Box(const ContentMeshPart& part, Triangles* out)
{
    const D3DXVECTOR3 h = part.size * 0.5f;
    struct Face
    {
        D3DXVECTOR3 normal, up;
    };
    const Face faces[6] = {{{0, 0, -1}, {0, 1, 0}}, {{0, 0, 1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 1, 0}},
                           {{1, 0, 0}, {0, 1, 0}},  {{0, 1, 0}, {0, 0, 1}}, {{0, -1, 0}, {0, 0, -1}}};
    for (const Face& f : faces)
    {
        // right x up points out of the face the wrong way round: a, b, c, d run clockwise seen from outside.
        D3DXVECTOR3 right = Cross(f.normal, f.up);
        D3DXVECTOR3 c0 = Mul(f.normal, h), r = Mul(right, h), u = Mul(f.up, h);
        Corner a{c0 - r + u, {0, 0}}, b{c0 + r + u, {1, 0}}, c{c0 + r - u, {1, 1}}, d{c0 - r - u, {0, 1}};
        out->push_back({a, b, c});
        out->push_back({a, c, d});
    }
}

void Plane(const ContentMeshPart& part, int nx, int nz, Triangles* out)
{
    std::vector<Corner> points;
    for (int j = 0; j <= nz; ++j)
        for (int i = 0; i <= nx; ++i)
        {
            float u = float(i) / float(nx), v = float(j) / float(nz);
            points.push_back({{(u - 0.5f) * part.size.x, 0.0f, (0.5f - v) * part.size.z}, {u, v}});
        }
    Grid(points, nx, nz, false, out);
}

// Around the y axis: angle 0 on +x, growing towards +z, so that the grid faces outwards.
D3DXVECTOR3 Around(float angle, float radius, float y)
{
    return D3DXVECTOR3(radius * std::cos(angle), y, radius * std::sin(angle));
}

void Sphere(const ContentMeshPart& part, int around, int down, Triangles* out)
{
    std::vector<Corner> points;
    for (int j = 0; j <= down; ++j)
        for (int i = 0; i <= around; ++i)
        {
            float u = float(i) / float(around), v = float(j) / float(down);
            float phi = v * Pi;
            // The poles exactly on the axis, so that their corners meet in one point.
            float ring = j == 0 || j == down ? 0.0f : part.radius * std::sin(phi);
            float y = j == 0 ? part.radius : j == down ? -part.radius : part.radius * std::cos(phi);
            points.push_back({Around(u * 2.0f * Pi, ring, y), {u, v}});
        }
    Grid(points, around, down, false, out);
}

void Cap(float y, float radius, int around, bool top, Triangles* out)
{
    Corner centre{{0.0f, y, 0.0f}, {0.5f, 0.5f}};
    for (int i = 0; i < around; ++i)
    {
        float a0 = float(i) / float(around) * 2.0f * Pi, a1 = float(i + 1) / float(around) * 2.0f * Pi;
        Corner p0{Around(a0, radius, y), {0.5f + 0.5f * std::cos(a0), 0.5f - 0.5f * std::sin(a0)}};
        Corner p1{Around(a1, radius, y), {0.5f + 0.5f * std::cos(a1), 0.5f - 0.5f * std::sin(a1)}};
        if (top)
            out->push_back({centre, p1, p0});
        else
            out->push_back({centre, p0, p1});
    }
}

// Cylinder (apex false) or cone (apex true): radius at the bottom, the top radius 0 for a cone.
void Tube(const ContentMeshPart& part, int around, bool cone, Triangles* out)
{
    const float h = part.height * 0.5f;
    std::vector<Corner> points;
    for (int j = 0; j <= 1; ++j)
        for (int i = 0; i <= around; ++i)
        {
            float u = float(i) / float(around);
            float radius = cone && j == 0 ? 0.0f : part.radius;
            points.push_back({Around(u * 2.0f * Pi, radius, j == 0 ? h : -h), {u, float(j)}});
        }
    Grid(points, around, 1, false, out);
    if (!part.caps)
        return;
    if (!cone)
        Cap(h, part.radius, around, true, out);
    Cap(-h, part.radius, around, false, out);
}

void Torus(const ContentMeshPart& part, int around, int tube, Triangles* out)
{
    std::vector<Corner> points;
    for (int j = 0; j <= tube; ++j)
        for (int i = 0; i <= around; ++i)
        {
            float u = float(i) / float(around), v = float(j) / float(tube);
            float theta = u * 2.0f * Pi, alpha = 0.5f * Pi - v * 2.0f * Pi;
            D3DXVECTOR3 radial(std::cos(theta), 0.0f, std::sin(theta));
            D3DXVECTOR3 p = radial * (part.radius + part.tube * std::cos(alpha));
            p.y = part.tube * std::sin(alpha);
            points.push_back({p, {u, v}});
        }
    Grid(points, around, tube, false, out);
}

bool Sweep(const ContentMeshPart& part, Triangles* out, std::string* reason)
{
    const size_t n = part.path.size();
    if (part.profile.size() < 2)
        return *reason = "a sweep needs 2 profile points or more", false;
    if (n < 2 || (part.closed && n < 3))
        return *reason =
                   part.closed ? "a closed sweep needs 3 path points or more" : "a sweep needs 2 path points or more",
               false;
    if (!part.roll.empty() && part.roll.size() != 1 && part.roll.size() != n)
        return *reason = "roll takes one value or one per path point", false;
    // A frame per path point: along the path, right and up across it; the previous up is the reference,
    // so that vertical stretches and loops keep turning smoothly.
    std::vector<D3DXVECTOR3> rights(n), ups(n);
    D3DXVECTOR3 reference(0.0f, 1.0f, 0.0f);
    for (size_t i = 0; i < n; ++i)
    {
        D3DXVECTOR3 prev = i > 0 ? part.path[i - 1] : (part.closed ? part.path[n - 1] : part.path[i]);
        D3DXVECTOR3 next = i + 1 < n ? part.path[i + 1] : (part.closed ? part.path[0] : part.path[i]);
        D3DXVECTOR3 along = Unit(next - prev);
        if (Length(next - prev) <= 0.0f)
            return *reason = "path points " + std::to_string(i) + " and its neighbours coincide", false;
        D3DXVECTOR3 right = Cross(reference, along);
        if (Length(right) < 1e-6f)
            right = Cross(D3DXVECTOR3(0.0f, 0.0f, -1.0f), along);
        right = Unit(right);
        D3DXVECTOR3 up = Unit(Cross(along, right));
        reference = up;
        float roll = part.roll.empty() ? 0.0f : part.roll[part.roll.size() == 1 ? 0 : i] * DegreesToRadians;
        // A positive roll raises the right side.
        rights[i] = right * std::cos(roll) + up * std::sin(roll);
        ups[i] = up * std::cos(roll) - right * std::sin(roll);
    }
    const size_t columns = part.profile.size() - (part.profileClosed ? 0 : 1);
    const size_t rows = n - (part.closed ? 0 : 1);
    std::vector<float> across(columns + 1, 0.0f);
    for (size_t c = 1; c <= columns; ++c)
    {
        D3DXVECTOR2 d = part.profile[c % part.profile.size()] - part.profile[c - 1];
        across[c] = across[c - 1] + std::sqrt(d.x * d.x + d.y * d.y);
    }
    std::vector<Corner> points;
    float distance = 0.0f;
    for (size_t r = 0; r <= rows; ++r)
    {
        size_t i = r % n;
        if (r > 0)
            distance += Length(part.path[i] - part.path[r - 1]);
        for (size_t c = 0; c <= columns; ++c)
        {
            const D3DXVECTOR2& q = part.profile[c % part.profile.size()];
            points.push_back({part.path[i] + rights[i] * q.x + ups[i] * q.y, {across[c], distance}});
        }
    }
    // Columns run right along the profile, rows forwards along the path: the front is the flipped side.
    Grid(points, int(columns), int(rows), true, out);
    return true;
}

// A superellipse ring point at angle t: |x/a|^n + |y/b|^n = 1.
D3DXVECTOR3 RingPoint(const ContentLoftSection& s, float t)
{
    const float c = std::cos(t), si = std::sin(t);
    const float e = 2.0f / s.exponent;
    const float x = s.halfWidth * std::copysign(std::pow(std::fabs(c), e), c);
    const float y = s.halfHeight * std::copysign(std::pow(std::fabs(si), e), si);
    return D3DXVECTOR3(x, s.y + y, s.z);
}

// Appends a triangle turned so that its front faces along outward (slivers are dropped later).
void Facing(Corner a, Corner b, Corner c, const D3DXVECTOR3& outward, Triangles* out)
{
    // The front is the side Cross(b - a, c - a) points to.
    if (Dot(Cross(b.p - a.p, c.p - a.p), outward) < 0.0f)
        std::swap(b, c);
    out->push_back({a, b, c});
}

bool Loft(const ContentMeshPart& part, int around, Triangles* out, std::string* reason)
{
    const std::vector<ContentLoftSection>& sections = part.sections;
    if (sections.size() < 2)
        return *reason = "a loft needs 2 sections or more", false;
    for (size_t i = 0; i < sections.size(); ++i)
    {
        const ContentLoftSection& s = sections[i];
        if (!(s.halfWidth >= 0.0f) || !(s.halfHeight >= 0.0f) || !(s.exponent > 0.0f))
            return *reason = "section " + std::to_string(i) + ": sizes must be 0 or more and the exponent above 0",
                   false;
        if ((s.halfWidth == 0.0f) != (s.halfHeight == 0.0f))
            return *reason = "section " + std::to_string(i) + ": a point has width and height 0, a ring neither", false;
        if (i > 0 && !(s.z > sections[i - 1].z))
            return *reason = "sections must rise in z (section " + std::to_string(i) + ")", false;
    }
    std::vector<std::vector<Corner>> rings(sections.size());
    const float length = sections.back().z - sections.front().z;
    for (size_t r = 0; r < sections.size(); ++r)
        for (int i = 0; i <= around; ++i)
        {
            const float u = float(i) / float(around);
            // The seam's last corner lies exactly on its first, so the surface closes.
            const float t = float(i % around) / float(around) * 2.0f * Pi;
            rings[r].push_back({RingPoint(sections[r], t), {u, (sections[r].z - sections[0].z) / length}});
        }
    for (size_t r = 0; r + 1 < sections.size(); ++r)
    {
        const float z = 0.5f * (sections[r].z + sections[r + 1].z);
        const float y = 0.5f * (sections[r].y + sections[r + 1].y);
        for (int i = 0; i < around; ++i)
        {
            const Corner& a = rings[r][size_t(i)];
            const Corner& b = rings[r][size_t(i) + 1];
            const Corner& c = rings[r + 1][size_t(i)];
            const Corner& d = rings[r + 1][size_t(i) + 1];
            const D3DXVECTOR3 mid = (a.p + b.p + c.p + d.p) * 0.25f;
            const D3DXVECTOR3 outward = mid - D3DXVECTOR3(0.0f, y, z);
            Facing(a, b, d, outward, out);
            Facing(a, d, c, outward, out);
        }
    }
    if (!part.caps)
        return true;
    for (int end = 0; end < 2; ++end)
    {
        const ContentLoftSection& s = end == 0 ? sections.front() : sections.back();
        if (s.halfWidth == 0.0f)
            continue;
        const std::vector<Corner>& ring = end == 0 ? rings.front() : rings.back();
        const Corner centre{{0.0f, s.y, s.z}, {0.5f, 0.5f}};
        const D3DXVECTOR3 outward(0.0f, 0.0f, end == 0 ? -1.0f : 1.0f);
        for (int i = 0; i < around; ++i)
        {
            Corner p0 = ring[size_t(i)], p1 = ring[size_t(i) + 1];
            const float a0 = float(i) / float(around) * 2.0f * Pi;
            const float a1 = float((i + 1) % around) / float(around) * 2.0f * Pi;
            p0.uv = {0.5f + 0.5f * std::cos(a0), 0.5f - 0.5f * std::sin(a0)};
            p1.uv = {0.5f + 0.5f * std::cos(a1), 0.5f - 0.5f * std::sin(a1)};
            Facing(centre, p0, p1, outward, out);
        }
    }
    return true;
}

bool Polygons(const ContentMeshPart& part, Triangles* out, std::string* reason)
{
    if (!part.pointUvs.empty() && part.pointUvs.size() != part.points.size())
        return *reason = "give every vertex texture coordinates or none", false;
    for (size_t f = 0; f < part.faces.size(); ++f)
    {
        const std::vector<int32_t>& face = part.faces[f];
        if (face.size() < 3)
            return *reason = "face " + std::to_string(f) + " has fewer than 3 corners", false;
        for (int32_t index : face)
            if (index < 0 || size_t(index) >= part.points.size())
                return *reason = "face " + std::to_string(f) + " names vertex " + std::to_string(index) + " of " +
                                 std::to_string(part.points.size()),
                       false;
        auto corner = [&](int32_t index)
        {
            D3DXVECTOR2 uv = part.pointUvs.empty() ? D3DXVECTOR2(0.0f, 0.0f) : part.pointUvs[size_t(index)];
            return Corner{part.points[size_t(index)], uv};
        };
        for (size_t k = 1; k + 1 < face.size(); ++k)
            out->push_back({corner(face[0]), corner(face[k]), corner(face[k + 1])});
    }
    if (part.faces.empty())
        return *reason = "no faces", false;
    return true;
}

bool Segments(const ContentMeshPart& part, int index, int fallback, int least, int* out, std::string* reason)
{
    int32_t v = part.segments[index] == 0 ? fallback : part.segments[index];
    if (v < least || v > MaxSegments)
    {
        *reason = "segments must be " + std::to_string(least) + ".." + std::to_string(MaxSegments);
        return false;
    }
    *out = v;
    return true;
}

bool MakeShape(const ContentMeshPart& part, Triangles* out, std::string* reason)
{
    int a = 0, b = 0;
    auto positive = [&](float v, const char* what)
    {
        if (!(v > 0.0f) || !std::isfinite(v))
        {
            *reason = std::string(what) + " must be above 0";
            return false;
        }
        return true;
    };
    switch (part.shape)
    {
    case ContentMeshShape::Box:
        if (!positive(part.size.x, "size") || !positive(part.size.y, "size") || !positive(part.size.z, "size"))
            return false;
        Box(part, out);
        return true;
    case ContentMeshShape::Plane:
        if (!positive(part.size.x, "size") || !positive(part.size.z, "size") || !Segments(part, 0, 1, 1, &a, reason) ||
            !Segments(part, 1, 1, 1, &b, reason))
            return false;
        Plane(part, a, b, out);
        return true;
    case ContentMeshShape::Sphere:
        if (!positive(part.radius, "radius") || !Segments(part, 0, 16, 3, &a, reason) ||
            !Segments(part, 1, 8, 2, &b, reason))
            return false;
        Sphere(part, a, b, out);
        return true;
    case ContentMeshShape::Cylinder:
    case ContentMeshShape::Cone:
        if (!positive(part.radius, "radius") || !positive(part.height, "height") ||
            !Segments(part, 0, 16, 3, &a, reason))
            return false;
        Tube(part, a, part.shape == ContentMeshShape::Cone, out);
        return true;
    case ContentMeshShape::Torus:
        if (!positive(part.radius, "radius") || !positive(part.tube, "tube") || !Segments(part, 0, 24, 3, &a, reason) ||
            !Segments(part, 1, 12, 3, &b, reason))
            return false;
        Torus(part, a, b, out);
        return true;
    case ContentMeshShape::Sweep: return Sweep(part, out, reason);
    case ContentMeshShape::Polygons: return Polygons(part, out, reason);
    case ContentMeshShape::Loft:
        if (!Segments(part, 0, 16, 3, &a, reason))
            return false;
        return Loft(part, a, out, reason);
    }
    return false;
}

// The bits of a position, so that corners at the same place are found again exactly.
using PositionKey = std::array<uint32_t, 3>;

PositionKey KeyOf(const D3DXVECTOR3& p)
{
    // Adding 0 turns -0 into +0, which compare equal but differ in their bits.
    const float values[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};
    PositionKey k;
    std::memcpy(k.data(), values, sizeof(values));
    return k;
}

struct PositionHash
{
    size_t operator()(const PositionKey& k) const
    {
        return (size_t(k[0]) * 73856093u) ^ (size_t(k[1]) * 19349663u) ^ (size_t(k[2]) * 83492791u);
    }
};

}  // namespace

bool ContentMeshGenerator::AddPart(const ContentMeshPart& part, ContentMeshGeometry* out, std::string* error)
{
    auto fail = [&](const std::string& reason)
    {
        *error = "part " + part.name + ": " + reason;
        return false;
    };
    if (part.subset < 0 || part.subset > 15)
        return fail("subset must be 0..15");
    if (part.scale.x == 0.0f || part.scale.y == 0.0f || part.scale.z == 0.0f)
        return fail("scale must not be 0");
    Triangles triangles;
    std::string reason;
    if (!MakeShape(part, &triangles, &reason))
        return fail(reason);

    D3DXMATRIX scale, turn, move, m;
    D3DXMatrixScaling(&scale, part.scale.x, part.scale.y, part.scale.z);
    D3DXMatrixRotationYawPitchRoll(&turn, part.rotation.x * DegreesToRadians, part.rotation.y * DegreesToRadians,
                                   part.rotation.z * DegreesToRadians);
    D3DXMatrixTranslation(&move, part.position.x, part.position.y, part.position.z);
    m = scale * turn * move;
    // A mirroring scale turns clockwise faces anticlockwise: swap two corners to keep the fronts.
    const bool mirrored = part.scale.x * part.scale.y * part.scale.z < 0.0f;

    // Placed corners and the faces' unscaled normals (their length is twice the area); slivers are dropped.
    std::vector<Triangle> placed;
    std::vector<D3DXVECTOR3> faceNormals;
    for (Triangle t : triangles)
    {
        for (Corner& c : t)
        {
            D3DXVECTOR3 p;
            D3DXVec3TransformCoord(&p, &c.p, &m);
            c.p = p;
            c.uv = D3DXVECTOR2(c.uv.x * part.uvScale.x, c.uv.y * part.uvScale.y);
        }
        if (mirrored)
            std::swap(t[1], t[2]);
        D3DXVECTOR3 n = Cross(t[1].p - t[0].p, t[2].p - t[0].p);
        // Slivers (against the square of their longest edge) have no trustworthy direction.
        float edge = std::max({Dot(t[1].p - t[0].p, t[1].p - t[0].p), Dot(t[2].p - t[1].p, t[2].p - t[1].p),
                               Dot(t[0].p - t[2].p, t[0].p - t[2].p)});
        if (!(Length(n) > 1e-6f * edge))
            continue;
        placed.push_back(t);
        faceNormals.push_back(n);
    }
    if (placed.empty())
        return fail("no faces with an area");

    std::unordered_map<PositionKey, std::vector<size_t>, PositionHash> facesAt;
    if (part.smooth)
        for (size_t f = 0; f < placed.size(); ++f)
            for (const Corner& c : placed[f])
                facesAt[KeyOf(c.p)].push_back(f);

    // Corners equal in position and texture coordinates share a vertex when their normals agree (rounding
    // makes the two halves of a flat quad differ in the last bits).
    std::map<std::array<uint32_t, 5>, std::vector<uint32_t>> shared;
    for (size_t f = 0; f < placed.size(); ++f)
    {
        ContentMeshFace face;
        face.subset = part.subset;
        const D3DXVECTOR3 own = Unit(faceNormals[f]);
        for (int k = 0; k < 3; ++k)
        {
            const Corner& c = placed[f][size_t(k)];
            D3DXVECTOR3 normal = own;
            if (part.smooth)
            {
                D3DXVECTOR3 sum(0.0f, 0.0f, 0.0f);
                std::vector<size_t>& around = facesAt[KeyOf(c.p)];
                std::sort(around.begin(), around.end());
                around.erase(std::unique(around.begin(), around.end()), around.end());
                for (size_t g : around)
                    if (Dot(Unit(faceNormals[g]), own) >= SmoothCosine)
                        sum += faceNormals[g];
                normal = Unit(sum);
            }
            std::array<uint32_t, 5> key;
            const float values[5] = {c.p.x + 0.0f, c.p.y + 0.0f, c.p.z + 0.0f, c.uv.x + 0.0f, c.uv.y + 0.0f};
            std::memcpy(key.data(), values, sizeof(values));
            std::vector<uint32_t>& candidates = shared[key];
            uint32_t index = UINT32_MAX;
            for (uint32_t candidate : candidates)
                if (Dot(out->vertices[candidate].normal, normal) > 0.99999f)
                    index = candidate;
            if (index == UINT32_MAX)
            {
                ContentMeshVertex v;
                v.position = c.p;
                v.normal = normal;
                v.uv0 = c.uv;
                v.uv1 = c.uv;
                index = uint32_t(out->vertices.size());
                candidates.push_back(index);
                out->vertices.push_back(v);
            }
            face.index[k] = index;
        }
        out->faces.push_back(face);
    }
    return true;
}

void ContentMeshGenerator::MakeUv1(ContentUv1Mode mode, ContentMeshGeometry* geometry)
{
    if (geometry->vertices.empty())
        return;
    D3DXVECTOR3 lo = geometry->vertices[0].position, hi = lo;
    for (const ContentMeshVertex& v : geometry->vertices)
    {
        lo = D3DXVECTOR3(std::min(lo.x, v.position.x), std::min(lo.y, v.position.y), std::min(lo.z, v.position.z));
        hi = D3DXVECTOR3(std::max(hi.x, v.position.x), std::max(hi.y, v.position.y), std::max(hi.z, v.position.z));
    }
    // 0..1 over the bounds along an axis; a flat extent maps to 0.
    auto along = [&](float value, float a, float b) { return b > a ? (value - a) / (b - a) : 0.0f; };
    for (ContentMeshVertex& v : geometry->vertices)
    {
        const D3DXVECTOR3& p = v.position;
        const float ax = std::fabs(v.normal.x), ay = std::fabs(v.normal.y), az = std::fabs(v.normal.z);
        if (mode == ContentUv1Mode::SameAsUv0)
            v.uv1 = v.uv0;
        else if (mode == ContentUv1Mode::Planar || (ay >= ax && ay >= az))
            v.uv1 = D3DXVECTOR2(along(p.x, lo.x, hi.x), 1.0f - along(p.z, lo.z, hi.z));
        else if (ax >= az)
            v.uv1 = D3DXVECTOR2(along(p.z, lo.z, hi.z), 1.0f - along(p.y, lo.y, hi.y));
        else
            v.uv1 = D3DXVECTOR2(along(p.x, lo.x, hi.x), 1.0f - along(p.y, lo.y, hi.y));
    }
}

bool ContentMeshGenerator::Generate(const ContentMeshDescription& description, ContentMeshGeometry* out,
                                    std::string* error)
{
    out->vertices.clear();
    out->faces.clear();
    if (description.parts.empty())
    {
        *error = "no parts";
        return false;
    }
    for (const ContentMeshPart& part : description.parts)
        if (!AddPart(part, out, error))
            return false;
    MakeUv1(description.uv1, out);
    return true;
}
