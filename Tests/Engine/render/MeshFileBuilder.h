#pragma once
// Writes a mesh file of any version the way each layout stored it, with counts that can be made to lie.
#include <cstdint>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeString.h"

struct MeshFileVertex
{
    float position[3] = {0, 0, 0};
    float normal[3] = {0, 0, -1};
    float uv0[2] = {0, 0};
    float tangent[3] = {0, 0, 0};
    float binormal[3] = {0, 0, 0};
    float uv1[2] = {0, 0};
};

struct MeshFileRange
{
    int32_t id, faceStart, faceCount, vertexStart, vertexCount;
};

struct MeshFileFields
{
    std::vector<MeshFileVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<int32_t> attributes;
    uint8_t m1 = 0;
    int32_t m2 = 64, m3 = 0, m4 = 0;
    float m5 = 1.0f, m6 = 5.0f;
    int32_t m7 = 2;
    // Version 7 stores m7 as a float: m7 + 0.75 unless this is set.
    bool m7AsGivenFloat = false;
    float m7Float = 0.0f;
    std::vector<MeshFileRange> table;
    // Names per preset (30); versions 12 on store one per table entry, missing ones as "".
    std::vector<std::string> names[30];
    float bounds[10] = {-9, -9, -9, 9, 9, 9, 0, 0, 0, 99};
    // Stored in place of the real counts when set.
    int32_t vertexCount = -1, faceCount = -1, tableCount = -1;
    // Versions 5 to 11: stored in place of a preset's real name count when not -1.
    int32_t nameCounts[30] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                              -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// A quad facing -z in the x/y plane, u along +x and v along -y: two faces, subsets 0 and 1, one range each.
inline MeshFileFields QuadMesh()
{
    MeshFileFields f;
    const float corners[4][4] = {{0, 1, 0, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}, {1, 0, 1, 1}};
    for (const auto& c : corners)
    {
        MeshFileVertex v;
        v.position[0] = c[0];
        v.position[1] = c[1];
        v.uv0[0] = c[2];
        v.uv0[1] = c[3];
        v.uv1[0] = c[2] * 0.5f;
        v.uv1[1] = c[3] * 0.25f;
        v.tangent[0] = 0.5f;  // deliberately not a unit tangent: shows whether tangents were recomputed
        v.tangent[1] = 0.5f;
        f.vertices.push_back(v);
    }
    f.indices = {0, 1, 2, 2, 1, 3};
    f.attributes = {0, 1};
    f.table = {{0, 0, 1, 0, 4}, {1, 1, 1, 0, 4}};
    return f;
}

inline void WriteMeshFile(WeFileStream& s, int32_t version, const MeshFileFields& f)
{
    s.WriteInt32(version);
    s.WriteInt32(f.vertexCount >= 0 || f.vertexCount < -1 ? f.vertexCount : int32_t(f.vertices.size()));
    s.WriteInt32(f.faceCount >= 0 || f.faceCount < -1 ? f.faceCount : int32_t(f.indices.size() / 3));
    const bool legacy = version >= 11 && version <= 13;
    for (const MeshFileVertex& v : f.vertices)
    {
        s.WriteVector3(v.position);
        s.WriteVector3(v.normal);
        s.WriteFloat(v.uv0[0]);
        s.WriteFloat(v.uv0[1]);
        s.WriteVector3(v.tangent);
        if (legacy)
            s.WriteVector3(v.binormal);
        s.WriteFloat(v.uv1[0]);
        s.WriteFloat(v.uv1[1]);
    }
    for (uint32_t i : f.indices)
    {
        if (version <= 13)
            s.WriteInt32(int32_t(i));
        else
            s.WriteUInt16(uint16_t(i));
    }
    for (int32_t a : f.attributes)
        s.WriteInt32(a);
    if (version <= 6)
        s.WriteInt32(f.m2);
    else if (version <= 9)
    {
        s.WriteInt32(f.m2);
        s.WriteInt32(f.m3);
        s.WriteInt32(f.m4);
        s.WriteFloat(f.m5);
        if (version == 9)
            s.WriteFloat(f.m6);
        if (version == 7)
            s.WriteFloat(f.m7AsGivenFloat ? f.m7Float : float(f.m7) + 0.75f);
        else
            s.WriteInt32(f.m7);
    }
    else
    {
        s.WriteByte(char(f.m1));
        s.WriteInt32(f.m2);
        s.WriteInt32(f.m3);
        s.WriteInt32(f.m4);
        s.WriteFloat(f.m5);
        s.WriteFloat(f.m6);
        s.WriteInt32(f.m7);
    }
    s.WriteInt32(f.tableCount != -1 ? f.tableCount : int32_t(f.table.size()));
    for (const MeshFileRange& r : f.table)
    {
        s.WriteInt32(r.id);
        s.WriteInt32(r.faceStart);
        s.WriteInt32(r.faceCount);
        s.WriteInt32(r.vertexStart);
        s.WriteInt32(r.vertexCount);
    }
    for (int p = 0; p < 30; ++p)
    {
        const std::vector<std::string>& names = f.names[p];
        if (version <= 11)
        {
            s.WriteInt32(f.nameCounts[p] != -1 ? f.nameCounts[p] : int32_t(names.size()));
            for (const std::string& n : names)
                s.WriteString(n.c_str());
        }
        else
        {
            for (size_t i = 0; i < f.table.size(); ++i)
                s.WriteString(i < names.size() ? names[i].c_str() : "");
        }
    }
    if (version >= 6 && version <= 12)
        for (float b : f.bounds)
            s.WriteFloat(b);
}
