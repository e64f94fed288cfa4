#pragma once
#include "Platform/physics/NxMat33.h"

// Rigid pose: rotation M then translation t (p' = M * p + t).
class NxMat34
{
public:
    NxMat33 M;
    NxVec3 t;

    NxMat34() = default;
    NxMat34(const NxMat33& rot, const NxVec3& trans) : M(rot), t(trans) {}

    void id()
    {
        M.id();
        t.zero();
    }
    NxVec3 operator*(const NxVec3& p) const { return M * p + t; }
    NxMat34 operator*(const NxMat34& b) const { return {M * b.M, M * b.t + t}; }
    void multiply(const NxVec3& src, NxVec3& dst) const { dst = *this * src; }
    bool getInverse(NxMat34& dst) const
    {
        dst.M = M.getTransposed();
        dst.t = -(dst.M * t);
        return true;
    }
};
