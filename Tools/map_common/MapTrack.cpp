#include "Tools/map_common/MapTrack.h"

#include <algorithm>
#include <cmath>

#include "Platform/math/D3DXMatrixFunctions.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

constexpr float RootMin = -33792.0f;
constexpr float RootMax = 31744.0f;
constexpr float Pi = 3.14159265358979f;

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

D3DXMATRIX FrameMatrix(const MapFrame& f, float lift)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    const D3DXVECTOR3 rows[3] = {f.right, f.up, f.forward};
    for (int r = 0; r < 3; ++r)
    {
        m.m[r][0] = rows[r].x;
        m.m[r][1] = rows[r].y;
        m.m[r][2] = rows[r].z;
    }
    m._41 = f.position.x + f.up.x * lift;
    m._42 = f.position.y + f.up.y * lift;
    m._43 = f.position.z + f.up.z * lift;
    return m;
}

// Frames at arc lengths spacing apart from the start; the end itself is left out unless the section
// is shorter than one spacing (then its start alone).
std::vector<MapFrame> FramesAtSpacing(const std::vector<MapFrame>& samples, float spacing, bool skipStart)
{
    std::vector<MapFrame> out;
    std::vector<float> length(samples.size(), 0.0f);
    for (size_t i = 1; i < samples.size(); ++i)
    {
        const D3DXVECTOR3 d = samples[i].position - samples[i - 1].position;
        length[i] = length[i - 1] + D3DXVec3Length(&d);
    }
    const float total = length.back();
    if (!skipStart)
        out.push_back(samples.front());
    size_t j = 0;
    for (float s = spacing; s < total - spacing * 0.5f; s += spacing)
    {
        while (j + 1 < samples.size() && length[j + 1] < s)
            ++j;
        out.push_back(samples[j + 1 < samples.size() ? j + 1 : j]);
    }
    return out;
}

}  // namespace

std::vector<MapSection> SplitAtGap(const MapSection& section)
{
    if (section.gapAt == 0 || section.gapAt >= section.points.size())
        return {section};
    MapSection before = section, after = section;
    before.points.assign(section.points.begin(), section.points.begin() + std::ptrdiff_t(section.gapAt));
    after.points.assign(section.points.begin() + std::ptrdiff_t(section.gapAt), section.points.end());
    before.gapAt = after.gapAt = 0;
    after.jumpBefore = true;
    before.checkpoints.clear();
    after.checkpoints.clear();
    for (size_t c : section.checkpoints)
        (c < section.gapAt ? before.checkpoints : after.checkpoints)
            .push_back(c < section.gapAt ? c : c - section.gapAt);
    return {before, after};
}

std::vector<MapFrame> SampleSection(const MapSection& section, float step)
{
    std::vector<MapFrame> out;
    const std::vector<MapControlPoint>& p = section.points;
    const size_t n = p.size();
    if (n < 2)
        return out;
    auto point = [&](long i) -> D3DXVECTOR3
    {
        if (i < 0)
            return p[0].position * 2.0f - p[1].position;
        if (i >= static_cast<long>(n))
            return p[n - 1].position * 2.0f - p[n - 2].position;
        return p[static_cast<size_t>(i)].position;
    };
    struct Raw
    {
        D3DXVECTOR3 position;
        float bank;
    };
    std::vector<Raw> raw;
    for (size_t i = 0; i + 1 < n; ++i)
    {
        const D3DXVECTOR3 d = p[i + 1].position - p[i].position;
        const int k = std::max(1, static_cast<int>(std::ceil(D3DXVec3Length(&d) / step)));
        for (int j = 0; j < k; ++j)
        {
            const float t = static_cast<float>(j) / static_cast<float>(k);
            const D3DXVECTOR3 a = point(static_cast<long>(i) - 1), b = point(static_cast<long>(i)),
                              c = point(static_cast<long>(i) + 1), e = point(static_cast<long>(i) + 2);
            Raw r;
            D3DXVec3CatmullRom(&r.position, &a, &b, &c, &e, t);
            r.bank = p[i].bank + (p[i + 1].bank - p[i].bank) * t;
            raw.push_back(r);
        }
    }
    raw.push_back({p[n - 1].position, p[n - 1].bank});

    D3DXVECTOR3 previousUp(0.0f, 1.0f, 0.0f);
    for (size_t i = 0; i < raw.size(); ++i)
    {
        const D3DXVECTOR3 ahead = raw[std::min(i + 1, raw.size() - 1)].position;
        const D3DXVECTOR3 behind = raw[i == 0 ? 0 : i - 1].position;
        MapFrame f;
        f.position = raw[i].position;
        f.forward = Normalised(ahead - behind);
        // World up turned about the forward axis by the bank, then made orthogonal to forward.
        const float angle = raw[i].bank * Pi / 180.0f;
        D3DXVECTOR3 flatRight;
        const D3DXVECTOR3 worldUp(0.0f, 1.0f, 0.0f);
        D3DXVec3Cross(&flatRight, &worldUp, &f.forward);
        D3DXVECTOR3 up;
        if (D3DXVec3Length(&flatRight) < 1e-4f)
            up = previousUp;  // forward straight up or down: keep the last up rather than flip
        else
        {
            flatRight = Normalised(flatRight);
            up = worldUp * std::cos(angle) + flatRight * std::sin(angle);
        }
        up = Normalised(up - f.forward * D3DXVec3Dot(&up, &f.forward));
        if (D3DXVec3Dot(&up, &previousUp) < 0.0f)
            up = -up;
        f.up = up;
        D3DXVec3Cross(&f.right, &f.up, &f.forward);
        f.right = Normalised(f.right);
        previousUp = up;
        out.push_back(f);
    }
    return out;
}

namespace
{
// `checkpoints <n>`: the main-path node nearest each lap fraction k / n, the lap measured along the main path
// and the first branch of each fork, in the nodes' order, and closed back to the first node.
void MarkCheckpointFractions(int32_t count, std::vector<MapPathNode>& nodes)
{
    if (count <= 0 || nodes.empty())
        return;
    std::vector<size_t> lap;
    std::vector<float> along;
    float length = 0.0f;
    for (size_t i = 0; i < nodes.size(); ++i)
    {
        if (nodes[i].branch > 1)
            continue;
        if (!lap.empty())
        {
            const MapPathNode& a = nodes[lap.back()];
            const D3DXVECTOR3 d(nodes[i].frame._41 - a.frame._41, nodes[i].frame._42 - a.frame._42,
                                nodes[i].frame._43 - a.frame._43);
            length += D3DXVec3Length(&d);
        }
        lap.push_back(i);
        along.push_back(length);
    }
    const MapPathNode& first = nodes[lap.front()];
    const MapPathNode& last = nodes[lap.back()];
    const D3DXVECTOR3 close(first.frame._41 - last.frame._41, first.frame._42 - last.frame._42,
                            first.frame._43 - last.frame._43);
    length += D3DXVec3Length(&close);
    if (!(length > 0.0f))
        return;
    for (int32_t k = 1; k <= count; ++k)
    {
        const float target = length * float(k % count) / float(count);
        size_t best = lap.front();
        float bestGap = -1.0f;
        for (size_t j = 0; j < lap.size(); ++j)
        {
            if (nodes[lap[j]].branch != 0)
                continue;
            float gap = std::fabs(along[j] - target);
            gap = std::min(gap, length - gap);
            if (bestGap < 0.0f || gap < bestGap)
            {
                bestGap = gap;
                best = lap[j];
            }
        }
        nodes[best].checkpoint = true;
    }
}
}  // namespace

bool BuildPathNodes(const MapDescription& map, const std::string& fileName, std::vector<MapPathNode>& out,
                    std::string& error)
{
    out.clear();
    int32_t nextId = 10;
    std::vector<const MapSection*> owners;  // the section or branch of each node
    const MapSection* owner = nullptr;
    int32_t branchTag = 0;
    auto add = [&](const MapFrame& frame, int32_t kind, int line) -> MapPathNode*
    {
        MapPathNode node;
        node.id = nextId;
        nextId += 10;
        node.kind = kind;
        node.frame = FrameMatrix(frame, map.nodeLift);
        const float xyz[3] = {node.frame._41, node.frame._42, node.frame._43};
        for (float v : xyz)
            if (!(v > RootMin && v < RootMax))
            {
                error = fileName + ":" + std::to_string(line) + ": a path node lies outside the world";
                return nullptr;
            }
        if (kind == 0 && std::fabs(xyz[0]) < 0.001f && std::fabs(xyz[1]) < 0.001f && std::fabs(xyz[2]) < 0.001f)
        {
            error = fileName + ":" + std::to_string(line) + ": a path node at the origin would be dropped";
            return nullptr;
        }
        node.branch = branchTag;
        out.push_back(node);
        owners.push_back(owner);
        return &out.back();
    };

    const size_t count = map.loop.size();
    int32_t pendingJoin[2] = {0, 0};
    bool joinNext = false;
    for (size_t i = 0; i < count; ++i)
    {
        const MapLoopItem& item = map.loop[i];
        if (item.isFork)
        {
            const std::vector<MapFrame> before = SampleSection(map.loop[i - 1].section, map.step);
            owner = &map.loop[i - 1].section;
            branchTag = 0;
            if (!add(before.back(), 1, item.line))
                return false;
            const size_t forkIndex = out.size() - 1;
            int32_t first[2] = {0, 0};
            for (int b = 0; b < 2; ++b)
            {
                owner = &item.branches[b];
                branchTag = b + 1;
                // A branch with a jump: a ramp end closes its first part, a landing opens its second.
                const std::vector<MapSection> parts = SplitAtGap(item.branches[b]);
                for (size_t k = 0; k < parts.size(); ++k)
                {
                    const std::vector<MapFrame> samples = SampleSection(parts[k], map.step);
                    std::vector<MapFrame> frames = FramesAtSpacing(samples, map.nodeSpacing, k == 0);
                    if (frames.empty())
                        frames.push_back(samples[samples.size() / 2]);
                    for (size_t f = 0; f < frames.size(); ++f)
                    {
                        const int32_t kind = k > 0 && f == 0 ? 4 : 0;
                        if (!add(frames[f], kind, k > 0 && f == 0 ? item.branches[b].gapLine : item.branches[b].line))
                            return false;
                        if (!first[b])
                            first[b] = out.back().id;
                    }
                    if (k + 1 < parts.size() && !add(samples.back(), 3, item.branches[b].gapLine))
                        return false;
                }
                pendingJoin[b] = out.back().id;
            }
            out[forkIndex].link1 = first[0];
            out[forkIndex].link2 = first[1];
            joinNext = true;
            continue;
        }
        const MapSection& section = item.section;
        owner = &section;
        branchTag = 0;
        const std::vector<MapFrame> samples = SampleSection(section, map.step);
        const std::vector<MapFrame> frames = FramesAtSpacing(samples, map.nodeSpacing, false);
        for (size_t f = 0; f < frames.size(); ++f)
        {
            int32_t kind = 0;
            if (f == 0 && joinNext)
                kind = 2;
            else if (f == 0 && section.jumpBefore)
                kind = 4;
            MapPathNode* node = add(frames[f], kind, section.line);
            if (!node)
                return false;
            if (kind == 2)
            {
                node->link1 = pendingJoin[0];
                node->link2 = pendingJoin[1];
                joinNext = false;
            }
        }
        const MapLoopItem& after = map.loop[(i + 1) % count];
        if (!after.isFork && after.section.jumpBefore && !add(samples.back(), 3, section.line))
            return false;
    }
    // The marks: values on every node of their section, a checkpoint on the node nearest its point.
    for (size_t n = 0; n < out.size(); ++n)
    {
        const MapSection* s = owners[n];
        if (s == nullptr)
            continue;
        MapPathNode& node = out[n];
        if (s->hold.set)
            node.hold = s->hold.value;
        if (s->healing.set)
            node.healing = s->healing.value;
        if (s->effect.set)
            node.effect = s->effect.value;
        if (s->headlights.set)
            node.headlights = s->headlights.value;
        if (s->zone.set)
            node.zone = s->zone.value;
    }
    for (size_t n = 0; n < out.size(); ++n)
    {
        const MapSection* s = owners[n];
        if (s == nullptr || (n > 0 && owners[n - 1] == s))
            continue;
        for (size_t point : s->checkpoints)
        {
            const D3DXVECTOR3 target = s->points[point].position;
            size_t best = n;
            float bestDistance = -1.0f;
            for (size_t k = n; k < out.size() && owners[k] == s; ++k)
            {
                const D3DXVECTOR3 d(out[k].frame._41 - target.x, out[k].frame._42 - target.y,
                                    out[k].frame._43 - target.z);
                const float distance = D3DXVec3Length(&d);
                if (bestDistance < 0.0f || distance < bestDistance)
                {
                    bestDistance = distance;
                    best = k;
                }
            }
            out[best].checkpoint = true;
        }
    }
    MarkCheckpointFractions(map.checkpointCount, out);
    return true;
}

std::vector<MapFrame> SampleLap(const MapDescription& map, std::vector<float>& distances, std::vector<size_t>* jumps)
{
    std::vector<MapFrame> lap;
    distances.clear();
    if (jumps)
        jumps->clear();
    std::vector<MapSection> parts;
    for (const MapLoopItem& item : map.loop)
        for (const MapSection& part : SplitAtGap(item.isFork ? item.branches[0] : item.section))
            parts.push_back(part);
    for (const MapSection& section : parts)
    {
        std::vector<MapFrame> samples = SampleSection(section, map.step);
        if (samples.empty())
            continue;
        const bool gap = section.jumpBefore;
        if (gap && jumps)
            jumps->push_back(lap.size());
        size_t from = 0;
        if (!lap.empty() && !gap)
        {
            // A section starts where the one before ended: the shared point once.
            const D3DXVECTOR3 d = samples.front().position - lap.back().position;
            if (D3DXVec3Length(&d) < 0.01f)
                from = 1;
        }
        for (size_t i = from; i < samples.size(); ++i)
        {
            float at = 0.0f;
            if (!lap.empty())
            {
                const D3DXVECTOR3 d = samples[i].position - lap.back().position;
                at = distances.back() + D3DXVec3Length(&d);
            }
            lap.push_back(samples[i]);
            distances.push_back(at);
        }
    }
    return lap;
}

D3DXVECTOR3 PlacePickup(const MapDescription& map, const MapPickup& pickup)
{
    if (!pickup.atDistance)
        return pickup.position;
    std::vector<float> distances;
    const std::vector<MapFrame> lap = SampleLap(map, distances, nullptr);
    if (lap.empty())
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    const float total = distances.back();
    float at = pickup.distance;
    if (total > 0.0f)
        at = std::fmod(at, total);
    size_t k = 0;
    while (k + 1 < lap.size() && distances[k + 1] <= at)
        ++k;
    const MapFrame& f = lap[k];
    return f.position + f.right * pickup.side + f.up * map.nodeLift;
}

std::vector<D3DXMATRIX> BuildGameStartFrames(const MapDescription& map)
{
    std::vector<D3DXMATRIX> out;
    if (map.loop.empty() || map.loop.front().isFork || map.startCount <= 0)
        return out;
    const std::vector<MapFrame> samples = SampleSection(map.loop.front().section, map.step);
    std::vector<float> along(samples.size(), 0.0f);
    for (size_t i = 1; i < samples.size(); ++i)
    {
        const D3DXVECTOR3 d = samples[i].position - samples[i - 1].position;
        along[i] = along[i - 1] + D3DXVec3Length(&d);
    }
    // The last row stands one spacing past the line; the first row leads, so the first index is in front.
    const int32_t rows = (map.startCount + 1) / 2;
    for (int32_t i = 0; i < map.startCount; ++i)
    {
        const int32_t row = i / 2;
        const float distance = map.startSpacing * static_cast<float>(rows - row);
        size_t k = 0;
        while (k + 1 < samples.size() && along[k] < distance)
            ++k;
        const MapFrame& f = samples[k];
        D3DXMATRIX m = FrameMatrix(f, map.nodeLift);
        const float side = (i % 2 == 0) ? -1.0f : 1.0f;
        const D3DXVECTOR3 offset = f.right * (side * map.roadWidth * 0.25f);
        m._41 += offset.x;
        m._42 += offset.y;
        m._43 += offset.z;
        out.push_back(m);
    }
    return out;
}

std::vector<D3DXMATRIX> BuildStartFrames(const MapDescription& map, const std::vector<MapPathNode>& nodes)
{
    std::vector<D3DXMATRIX> out;
    if (nodes.empty())
        return out;
    // The grid lies on the road behind the start line: along the loop's last section, which ends there, so a
    // bend or a kink before the line keeps every start on the road.
    std::vector<MapFrame> behind;
    if (!map.loop.empty() && !map.loop.back().isFork)
        behind = SampleSection(map.loop.back().section, map.step);
    std::vector<float> back(behind.size(), 0.0f);  // distance from the end
    for (size_t i = behind.size(); i-- > 1;)
    {
        const D3DXVECTOR3 d = behind[i].position - behind[i - 1].position;
        back[i - 1] = back[i] + D3DXVec3Length(&d);
    }
    const D3DXMATRIX& start = nodes.front().frame;
    for (int32_t i = 0; i < map.startCount; ++i)
    {
        const float row = static_cast<float>(i / 2 + 1);
        const float side = (i % 2 == 0) ? -1.0f : 1.0f;
        const float distance = map.startSpacing * row;
        D3DXMATRIX m = start;
        D3DXVECTOR3 right(start._11, start._12, start._13);
        D3DXVECTOR3 offset = D3DXVECTOR3(start._31, start._32, start._33) * -distance;
        if (!behind.empty())
        {
            size_t k = behind.size() - 1;
            while (k > 0 && back[k] < distance)
                --k;
            m = FrameMatrix(behind[k], map.nodeLift);
            right = behind[k].right;
            offset = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        }
        offset += right * (side * map.roadWidth * 0.25f);
        m._41 += offset.x;
        m._42 += offset.y;
        m._43 += offset.z;
        out.push_back(m);
    }
    return out;
}
