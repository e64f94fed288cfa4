#include "Tools/race_common/RaceRigScripts.h"

#include <algorithm>
#include <cmath>

#include "Engine/world/WePathNode.h"
#include "Game/craft/CTuber.h"
#include "Game/shell/CInputMessage.h"
#include "Platform/math/D3DXVectorFunctions.h"

namespace
{

// The look-ahead covers this much time at the craft's speed, within these bounds: short enough to follow a bend,
// long enough that the nose does not hunt about the line.
constexpr float LookAheadTime = 0.15f, MinLookAhead = 10.0f, MaxLookAhead = 60.0f;
// Turbo only while the path stays within this sideways share of the distance for this long ahead.
constexpr float StraightSlope = 0.05f, StraightTime = 1.5f;
// Path nodes walked at most from the craft's segment: a broken chain must not turn for ever.
constexpr int MaxNodesWalked = 256;

// The nearest point of segment a-b to p, as the fraction along it.
float Project(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const D3DXVECTOR3 ab = b - a, ap = p - a;
    const float length2 = D3DXVec3Dot(&ab, &ab);
    return length2 > 0.0f ? std::clamp(D3DXVec3Dot(&ap, &ab) / length2, 0.0f, 1.0f) : 0.0f;
}

// Where the craft is on the path: the segment (from, from->m_Next) nearest to it among those about its current
// node, and the fraction along it. False without a segment.
bool FindSegment(const CTuber* craft, WePathNode*& from, float& fraction)
{
    WePathNode* node = craft->m_CurrentNode ? craft->m_CurrentNode : craft->m_NextNode;
    if (!node)
        return false;
    WePathNode* candidates[3] = {node->m_Previous, node, node->m_Next};
    const D3DXVECTOR3 p = craft->GetWorldPosition();
    float best = -1.0f;
    for (WePathNode* c : candidates)
    {
        if (!c || !c->m_Next)
            continue;
        const D3DXVECTOR3 a = c->GetWorldPosition(), b = c->m_Next->GetWorldPosition();
        const float t = Project(p, a, b);
        const D3DXVECTOR3 off = p - (a + (b - a) * t);
        const float d = D3DXVec3Dot(&off, &off);
        if (best < 0.0f || d < best)
        {
            best = d;
            from = c;
            fraction = t;
        }
    }
    return best >= 0.0f;
}

// The point distance metres further along the path from the fraction of segment from.
D3DXVECTOR3 PointAhead(WePathNode* from, float fraction, float distance)
{
    D3DXVECTOR3 a = from->GetWorldPosition(), b = from->m_Next->GetWorldPosition();
    D3DXVECTOR3 at = a + (b - a) * fraction;
    WePathNode* node = from->m_Next;
    for (int walked = 0; walked < MaxNodesWalked; ++walked)
    {
        const D3DXVECTOR3 rest = b - at;
        const float left = D3DXVec3Length(&rest);
        if (distance <= left || !node->m_Next)
            return left > 0.0f ? at + rest * (std::min(distance, left) / left) : at;
        distance -= left;
        at = b;
        node = node->m_Next;
        b = node->GetWorldPosition();
    }
    return at;
}

}  // namespace

void SteerAlongTrack(const CTuber* craft, int64_t tick, int64_t turboFromTick, CInputMessage& m)
{
    if (!craft)
        return;
    m.m_Forward = 1;
    WePathNode* from = nullptr;
    float fraction = 0.0f;
    if (!FindSegment(craft, from, fraction))
        return;
    const float speed = std::max(craft->m_MeasuredSpeed, 0.0f);
    const float lookAhead = std::clamp(speed * LookAheadTime, MinLookAhead, MaxLookAhead);

    const D3DXMATRIX& w = craft->GetWorldMatrix();
    const D3DXVECTOR3 right(w._11, w._12, w._13), up(w._21, w._22, w._23), forward(w._31, w._32, w._33);
    const D3DXVECTOR3 position = craft->GetWorldPosition();
    // In the craft's frame: across (right), up and ahead.
    auto local = [&](const D3DXVECTOR3& point)
    {
        const D3DXVECTOR3 to = point - position;
        return D3DXVECTOR3(D3DXVec3Dot(&to, &right), D3DXVec3Dot(&to, &up), D3DXVec3Dot(&to, &forward));
    };
    const D3DXVECTOR3 target = local(PointAhead(from, fraction, lookAhead));
    // Pure pursuit: the arc through the target point tangent to the heading has curvature 2 sin(angle) / distance,
    // which at the craft's speed is the turn rate. Below a crawl the angle itself turns the nose.
    const float distance = std::max(D3DXVec3Length(&target), 1.0f);
    const float turnSpeed = std::max(speed, 10.0f);
    const float yawRate = 2.0f * turnSpeed * (target.x / distance) / distance;
    const float pitchRate = -2.0f * turnSpeed * (target.y / distance) / distance;
    // A positive turn about the up axis swings the nose right, about the right axis down; the roll brings the
    // right axis back to level, as an agent would through the override.
    const float rollRate = -3.0f * right.y;
    m.m_Override = true;
    m.m_OverrideAngularVelocity = up * yawRate + right * pitchRate + forward * rollRate;

    if (tick < turboFromTick || target.z <= 0.0f)
        return;
    for (float t = 0.5f; t <= StraightTime; t += 0.5f)
    {
        const D3DXVECTOR3 ahead = local(PointAhead(from, fraction, std::max(speed * t, lookAhead)));
        if (ahead.z <= 0.0f || std::fabs(ahead.x) > StraightSlope * ahead.z)
            return;
    }
    m.m_Turbo = 1;
}
