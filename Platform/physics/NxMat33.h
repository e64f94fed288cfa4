#pragma once
#include "Platform/physics/NxQuat.h"

// 3x3 rotation in the SDK's layout: column vectors, v' = M * v, so row r holds the r-th components
// of the three rotated axes. An engine (row-vector) rotation is this matrix transposed.
class NxMat33
{
public:
    NxReal m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    NxMat33() = default;
    NxMat33(const NxVec3& row0, const NxVec3& row1, const NxVec3& row2)
    {
        setRow(0, row0);
        setRow(1, row1);
        setRow(2, row2);
    }
    explicit NxMat33(const NxQuat& q) { fromQuat(q); }

    void id() { *this = NxMat33(); }
    void zero()
    {
        for (auto& r : m)
            r[0] = r[1] = r[2] = 0;
    }
    NxVec3 getRow(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
    void setRow(int r, const NxVec3& v)
    {
        m[r][0] = v.x;
        m[r][1] = v.y;
        m[r][2] = v.z;
    }
    NxVec3 getColumn(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
    void setColumn(int c, const NxVec3& v)
    {
        m[0][c] = v.x;
        m[1][c] = v.y;
        m[2][c] = v.z;
    }
    NxReal operator()(int r, int c) const { return m[r][c]; }
    NxReal& operator()(int r, int c) { return m[r][c]; }

    void setRowMajor(const NxReal* v)
    {
        for (int i = 0; i < 9; ++i)
            m[i / 3][i % 3] = v[i];
    }
    void getRowMajor(NxReal* v) const
    {
        for (int i = 0; i < 9; ++i)
            v[i] = m[i / 3][i % 3];
    }
    void setColumnMajor(const NxReal* v)
    {
        for (int i = 0; i < 9; ++i)
            m[i % 3][i / 3] = v[i];
    }
    void getColumnMajor(NxReal* v) const
    {
        for (int i = 0; i < 9; ++i)
            v[i] = m[i % 3][i / 3];
    }
    // Stride variants: the engine hands its 4x4 matrices' upper 3x3 with a row stride of 4 floats.
    void setRowMajorStride4(const NxReal* v)
    {
        for (int i = 0; i < 9; ++i)
            m[i / 3][i % 3] = v[(i / 3) * 4 + i % 3];
    }
    void setColumnMajorStride4(const NxReal* v)
    {
        for (int i = 0; i < 9; ++i)
            m[i % 3][i / 3] = v[(i / 3) * 4 + i % 3];
    }
    void getRowMajorStride4(NxReal* v) const
    {
        for (int i = 0; i < 9; ++i)
            v[(i / 3) * 4 + i % 3] = m[i / 3][i % 3];
    }
    void getColumnMajorStride4(NxReal* v) const
    {
        for (int i = 0; i < 9; ++i)
            v[(i / 3) * 4 + i % 3] = m[i % 3][i / 3];
    }

    NxMat33 getTransposed() const
    {
        NxMat33 t;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                t.m[r][c] = m[c][r];
        return t;
    }
    NxVec3 operator*(const NxVec3& v) const
    {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    NxMat33 operator*(const NxMat33& b) const
    {
        NxMat33 r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j];
        return r;
    }
    void multiply(const NxVec3& src, NxVec3& dst) const { dst = *this * src; }
    void multiplyByTranspose(const NxVec3& src, NxVec3& dst) const { dst = getTransposed() * src; }

    void fromQuat(const NxQuat& q)
    {
        const NxReal xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
        const NxReal xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
        const NxReal wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
        m[0][0] = 1 - 2 * (yy + zz);
        m[0][1] = 2 * (xy - wz);
        m[0][2] = 2 * (xz + wy);
        m[1][0] = 2 * (xy + wz);
        m[1][1] = 1 - 2 * (xx + zz);
        m[1][2] = 2 * (yz - wx);
        m[2][0] = 2 * (xz - wy);
        m[2][1] = 2 * (yz + wx);
        m[2][2] = 1 - 2 * (xx + yy);
    }
    void toQuat(NxQuat& q) const
    {
        const NxReal tr = m[0][0] + m[1][1] + m[2][2];
        if (tr > 0)
        {
            const NxReal s = std::sqrt(tr + 1) * 2;
            q.setXYZW((m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, s / 4);
        }
        else if (m[0][0] > m[1][1] && m[0][0] > m[2][2])
        {
            const NxReal s = std::sqrt(1 + m[0][0] - m[1][1] - m[2][2]) * 2;
            q.setXYZW(s / 4, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s);
        }
        else if (m[1][1] > m[2][2])
        {
            const NxReal s = std::sqrt(1 + m[1][1] - m[0][0] - m[2][2]) * 2;
            q.setXYZW((m[0][1] + m[1][0]) / s, s / 4, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s);
        }
        else
        {
            const NxReal s = std::sqrt(1 + m[2][2] - m[0][0] - m[1][1]) * 2;
            q.setXYZW((m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, s / 4, (m[1][0] - m[0][1]) / s);
        }
    }
};
