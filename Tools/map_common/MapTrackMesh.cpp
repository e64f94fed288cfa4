#include "Tools/map_common/MapTrackMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Platform/math/D3DXVectorFunctions.h"
#include "Tools/map_common/MapTrack.h"

namespace
{

constexpr int32_t RoadSubset = 0;
constexpr int32_t WallSubset = 1;
constexpr float Pi = 3.14159265358979f;
// Metres of surface per texture repeat, across and along.
constexpr float UvMetres = 8.0f;

struct ProfileEdge
{
    D3DXVECTOR2 a, b;  // x across (right), y up; the front is to the left of a -> b
    int32_t subset;
    int side;  // -1 left wall, 0 road, +1 right wall
};

std::vector<ProfileEdge> Profile(const MapDescription& map)
{
    const float w = map.roadWidth * 0.5f;
    const float h = map.wallHeight;
    std::vector<ProfileEdge> edges;
    if (map.profile == "tube")
    {
        // A flat road closed by an arch of wall over it.
        edges.push_back({{-w, 0.0f}, {w, 0.0f}, RoadSubset, 0});
        const int arcs = 8;
        const float r = w;
        D3DXVECTOR2 previous(w, 0.0f);
        for (int i = 1; i <= arcs; ++i)
        {
            const float t = Pi * float(i) / float(arcs);
            const D3DXVECTOR2 p(r * std::cos(t), r * std::sin(t) * (h > 0.0f ? std::max(1.0f, h / r) : 1.0f));
            edges.push_back({previous, p, WallSubset, i <= arcs / 2 ? 1 : -1});
            previous = p;
        }
        return edges;
    }
    edges.push_back({{-w, h}, {-w, 0.0f}, WallSubset, -1});
    edges.push_back({{-w, 0.0f}, {w, 0.0f}, RoadSubset, 0});
    edges.push_back({{w, 0.0f}, {w, h}, WallSubset, 1});
    return edges;
}

D3DXVECTOR3 Place(const MapFrame& f, const D3DXVECTOR2& p)
{
    return f.position + f.right * p.x + f.up * p.y;
}

// One run of frames of a section or branch, with the walls to leave out at each frame.
struct Run
{
    std::vector<MapFrame> frames;
    std::vector<bool> noLeftWall, noRightWall;
};

float DistanceTo(const std::vector<MapFrame>& other, const D3DXVECTOR3& p, D3DXVECTOR3* towards)
{
    float best = 1e30f;
    for (const MapFrame& f : other)
    {
        const D3DXVECTOR3 d = f.position - p;
        const float l = D3DXVec3Length(&d);
        if (l < best)
        {
            best = l;
            *towards = d;
        }
    }
    return best;
}

// Where the branches run close, the wall facing the other branch goes; where they overlap, both.
void OpenBetweenBranches(Run& run, const std::vector<MapFrame>& other, float roadWidth)
{
    for (size_t i = 0; i < run.frames.size(); ++i)
    {
        const MapFrame& f = run.frames[i];
        D3DXVECTOR3 towards(0.0f, 0.0f, 0.0f);
        const float d = DistanceTo(other, f.position, &towards);
        if (d < roadWidth * 1.25f)
        {
            run.noLeftWall[i] = true;
            run.noRightWall[i] = true;
        }
        else if (d < roadWidth * 2.5f)
        {
            if (D3DXVec3Dot(&towards, &f.right) > 0.0f)
                run.noRightWall[i] = true;
            else
                run.noLeftWall[i] = true;
        }
    }
}

Run MakeRun(const MapSection& section, float step)
{
    Run run;
    run.frames = SampleSection(section, step);
    run.noLeftWall.assign(run.frames.size(), false);
    run.noRightWall.assign(run.frames.size(), false);
    return run;
}

// Appends the quads between frames i and i + 1 to the geometry; the along coordinate continues `along`.
void AddStrip(const Run& run, size_t i, const std::vector<ProfileEdge>& profile, float along, float length,
              ContentMeshGeometry& g)
{
    const MapFrame& f0 = run.frames[i];
    const MapFrame& f1 = run.frames[i + 1];
    for (const ProfileEdge& e : profile)
    {
        if (e.side < 0 && (run.noLeftWall[i] || run.noLeftWall[i + 1]))
            continue;
        if (e.side > 0 && (run.noRightWall[i] || run.noRightWall[i + 1]))
            continue;
        const D3DXVECTOR2 d = e.b - e.a;
        const float edgeLength = std::sqrt(d.x * d.x + d.y * d.y);
        if (edgeLength <= 0.0f)
            continue;
        const D3DXVECTOR2 n(-d.y / edgeLength, d.x / edgeLength);
        const uint32_t base = uint32_t(g.vertices.size());
        const MapFrame* frames[2] = {&f0, &f1};
        const float v[2] = {along / UvMetres, (along + length) / UvMetres};
        for (int k = 0; k < 2; ++k)
        {
            const MapFrame& f = *frames[k];
            D3DXVECTOR3 normal = f.right * n.x + f.up * n.y;
            D3DXVec3Normalize(&normal, &normal);
            ContentMeshVertex a, b;
            a.position = Place(f, e.a);
            b.position = Place(f, e.b);
            a.normal = b.normal = normal;
            a.uv0 = D3DXVECTOR2(0.0f, v[k]);
            b.uv0 = D3DXVECTOR2(edgeLength / UvMetres, v[k]);
            a.uv1 = a.uv0;
            b.uv1 = b.uv0;
            g.vertices.push_back(a);
            g.vertices.push_back(b);
        }
        // base: a at i, base + 1: b at i, base + 2: a at i + 1, base + 3: b at i + 1.
        ContentMeshFace t1, t2;
        t1.index[0] = base;
        t1.index[1] = base + 2;
        t1.index[2] = base + 1;
        t2.index[0] = base + 1;
        t2.index[1] = base + 2;
        t2.index[2] = base + 3;
        t1.subset = t2.subset = e.subset;
        g.faces.push_back(t1);
        g.faces.push_back(t2);
    }
}

}  // namespace

std::vector<MapTrackSegment> BuildTrackSegments(const MapDescription& map)
{
    std::vector<Run> runs;
    for (const MapLoopItem& item : map.loop)
    {
        if (!item.isFork)
        {
            runs.push_back(MakeRun(item.section, map.step));
            continue;
        }
        // Each branch as its parts (a branch's jump leaves no road over its gap); the walls between the two
        // branches open where they run close.
        std::vector<Run> branchRuns[2];
        std::vector<MapFrame> branchFrames[2];
        for (int b = 0; b < 2; ++b)
            for (const MapSection& part : SplitAtGap(item.branches[b]))
            {
                branchRuns[b].push_back(MakeRun(part, map.step));
                branchFrames[b].insert(branchFrames[b].end(), branchRuns[b].back().frames.begin(),
                                       branchRuns[b].back().frames.end());
            }
        for (int b = 0; b < 2; ++b)
            for (Run& run : branchRuns[b])
            {
                OpenBetweenBranches(run, branchFrames[1 - b], map.roadWidth);
                runs.push_back(std::move(run));
            }
    }

    const std::vector<ProfileEdge> profile = Profile(map);
    const size_t edges = profile.size();
    // Each strip adds four vertices and two faces per edge.
    const size_t stripsByLimits =
        std::min((MapSegmentMaxVertices - 1) / (edges * 4), (MapSegmentMaxFaces - 1) / (edges * 2));
    std::vector<MapTrackSegment> segments;
    auto begin = [&]()
    {
        MapTrackSegment s;
        char name[32];
        std::snprintf(name, sizeof(name), "Track%02d", int(segments.size() + 1));
        s.name = "Maps." + map.SegmentFolder() + "." + name;
        segments.push_back(std::move(s));
    };
    for (const Run& run : runs)
    {
        if (run.frames.size() < 2)
            continue;
        begin();
        float along = 0.0f, inSegment = 0.0f;
        size_t strips = 0;
        for (size_t i = 0; i + 1 < run.frames.size(); ++i)
        {
            const D3DXVECTOR3 d = run.frames[i + 1].position - run.frames[i].position;
            const float length = D3DXVec3Length(&d);
            if ((inSegment >= map.segmentLength || strips >= stripsByLimits) && strips > 0)
            {
                begin();
                inSegment = 0.0f;
                strips = 0;
            }
            AddStrip(run, i, profile, along, length, segments.back().geometry);
            along += length;
            inSegment += length;
            ++strips;
        }
    }
    return segments;
}
