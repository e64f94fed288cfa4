#pragma once
#include <cmath>

// Moves point toward target by (baseSpeed + speedPerUnit * distance) * dt units, so that a far point
// closes in fast and a near one eases in. A step that would pass the target lands on it instead, so
// the point never overshoots and oscillates. Nothing happens for dt of 0.001 or less. Works on any
// vector with float members x, y, z.
template <class Vector3>
Vector3& MoveTowards(Vector3& point, const Vector3& target, float baseSpeed, float speedPerUnit, float dt)
{
    if (dt <= 0.001f)
        return point;
    const float dx = target.x - point.x;
    const float dy = target.y - point.y;
    const float dz = target.z - point.z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float step = (distance * speedPerUnit + baseSpeed) * dt;
    // The negated test also catches a NaN distance or step: such a point snaps rather than going NaN.
    if (distance < 0.001f || !(step < distance))
    {
        point = target;
        return point;
    }
    const float fraction = step / distance;
    point.x += dx * fraction;
    point.y += dy * fraction;
    point.z += dz * fraction;
    return point;
}
