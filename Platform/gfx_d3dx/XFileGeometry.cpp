#include "Platform/gfx_d3dx/XFileGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <unordered_map>

namespace
{

struct CornerKey
{
    uint32_t position;
    uint32_t normal[3];
    bool operator==(const CornerKey& o) const
    {
        return position == o.position && std::memcmp(normal, o.normal, sizeof(normal)) == 0;
    }
};

struct CornerKeyHash
{
    size_t operator()(const CornerKey& k) const
    {
        uint64_t h = k.position;
        for (uint32_t n : k.normal)
            h = h * 0x9E3779B97F4A7C15ull + n;
        return size_t(h ^ (h >> 29));
    }
};

CornerKey KeyOf(uint32_t position, const D3DXVECTOR3& normal)
{
    CornerKey key{position, {0, 0, 0}};
    const float* n = normal;
    for (int i = 0; i < 3; ++i)
    {
        float v = n[i] == 0.0f ? 0.0f : n[i];  // -0 and 0 are the same normal
        std::memcpy(&key.normal[i], &v, 4);
    }
    return key;
}

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    float length = D3DXVec3Length(&v);
    if (length > 0.0f && std::isfinite(length))
        out = v / length;
    return out;
}

bool Consistent(const XFileMesh& mesh)
{
    const size_t positions = mesh.positions.size(), faces = mesh.faces.size();
    if ((!mesh.uvs.empty() && mesh.uvs.size() != positions) ||
        (!mesh.faceMaterials.empty() && mesh.faceMaterials.size() != faces) ||
        (!mesh.normals.empty() && mesh.normalFaces.size() != faces))
        return false;
    for (size_t f = 0; f < faces; ++f)
    {
        if (mesh.faces[f].size() < 3)
            return false;
        for (uint32_t i : mesh.faces[f])
            if (i >= positions)
                return false;
        if (!mesh.normals.empty())
        {
            if (mesh.normalFaces[f].size() != mesh.faces[f].size())
                return false;
            for (uint32_t i : mesh.normalFaces[f])
                if (i >= mesh.normals.size())
                    return false;
        }
    }
    for (uint32_t m : mesh.faceMaterials)
        if (m >= std::max<size_t>(1, mesh.materials.size()))
            return false;
    return true;
}

}  // namespace

bool XFileGeometry::Build(const XFileMesh& mesh)
{
    *this = XFileGeometry();
    if (!Consistent(mesh))
        return false;
    const size_t positions = mesh.positions.size();
    const bool fileNormals = !mesh.normals.empty();
    std::vector<D3DXVECTOR3> smooth;
    if (!fileNormals)
    {
        // Left-handed, clockwise front faces: (b - a) x (c - a) points out of the front.
        smooth.assign(positions, D3DXVECTOR3());
        for (const std::vector<uint32_t>& face : mesh.faces)
            for (size_t c = 1; c + 1 < face.size(); ++c)
            {
                const D3DXVECTOR3& a = mesh.positions[face[0]];
                D3DXVECTOR3 e1 = mesh.positions[face[c]] - a, e2 = mesh.positions[face[c + 1]] - a, n;
                D3DXVec3Cross(&n, &e1, &e2);
                smooth[face[0]] += n;
                smooth[face[c]] += n;
                smooth[face[c + 1]] += n;
            }
        for (D3DXVECTOR3& n : smooth)
            n = Normalised(n);
    }
    auto cornerNormal = [&](size_t f, size_t c)
    { return fileNormals ? mesh.normals[mesh.normalFaces[f][c]] : smooth[mesh.faces[f][c]]; };

    // Distinct (position, normal) pairs, numbered in the order the faces first use them.
    std::unordered_map<CornerKey, uint32_t, CornerKeyHash> ids;
    std::vector<uint32_t> idPosition;
    std::vector<D3DXVECTOR3> idNormal;
    std::vector<std::vector<uint32_t>> cornerIds(mesh.faces.size());
    std::vector<bool> used(positions, false);
    for (size_t f = 0; f < mesh.faces.size(); ++f)
    {
        cornerIds[f].resize(mesh.faces[f].size());
        for (size_t c = 0; c < mesh.faces[f].size(); ++c)
        {
            uint32_t p = mesh.faces[f][c];
            D3DXVECTOR3 n = cornerNormal(f, c);
            auto inserted = ids.emplace(KeyOf(p, n), uint32_t(idPosition.size()));
            if (inserted.second)
            {
                idPosition.push_back(p);
                idNormal.push_back(n);
            }
            cornerIds[f][c] = inserted.first->second;
            used[p] = true;
        }
    }
    // Positions no face uses still become a vertex each, so vertex i stays position i where nothing splits.
    for (uint32_t p = 0; p < positions; ++p)
        if (!used[p])
        {
            idPosition.push_back(p);
            idNormal.push_back(fileNormals ? D3DXVECTOR3() : smooth[p]);
        }
    std::vector<uint32_t> order(idPosition.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return idPosition[a] < idPosition[b]; });
    std::vector<uint32_t> vertexOfId(order.size());
    vertices.assign(order.size(), XFileVertex());
    positionStart.assign(positions + 1, 0);
    for (uint32_t v = 0; v < order.size(); ++v)
    {
        uint32_t id = order[v];
        vertexOfId[id] = v;
        uint32_t p = idPosition[id];
        vertices[v].position = mesh.positions[p];
        vertices[v].normal = idNormal[id];
        if (!mesh.uvs.empty())
            vertices[v].uv = mesh.uvs[p];
        ++positionStart[p + 1];
    }
    for (size_t p = 0; p < positions; ++p)
        positionStart[p + 1] += positionStart[p];

    indices.clear();
    attributes.clear();
    for (size_t f = 0; f < mesh.faces.size(); ++f)
    {
        uint32_t attribute = mesh.faceMaterials.empty() ? 0u : mesh.faceMaterials[f];
        const std::vector<uint32_t>& corner = cornerIds[f];
        for (size_t c = 1; c + 1 < corner.size(); ++c)
        {
            indices.push_back(vertexOfId[corner[0]]);
            indices.push_back(vertexOfId[corner[c]]);
            indices.push_back(vertexOfId[corner[c + 1]]);
            attributes.push_back(attribute);
        }
    }
    materialCount = std::max<uint32_t>(1, uint32_t(mesh.materials.size()));
    return true;
}

void XFileGeometry::Append(const XFileGeometry& other, const D3DXMATRIX& transform)
{
    D3DXMATRIX normalMatrix = transform;
    if (D3DXMatrixInverse(&normalMatrix, nullptr, &transform))
        D3DXMatrixTranspose(&normalMatrix, &normalMatrix);
    else
        normalMatrix = transform;
    const uint32_t base = uint32_t(vertices.size());
    for (const XFileVertex& v : other.vertices)
    {
        XFileVertex out = v;
        D3DXVec3TransformCoord(&out.position, &v.position, &transform);
        D3DXVec3TransformNormal(&out.normal, &v.normal, &normalMatrix);
        out.normal = Normalised(out.normal);
        vertices.push_back(out);
    }
    for (uint32_t i : other.indices)
        indices.push_back(base + i);
    for (uint32_t a : other.attributes)
        attributes.push_back(materialCount + a);
    materialCount += other.materialCount;
    positionStart.clear();  // positions of several meshes have no single numbering
}

bool XFileGeometry::SkinBones(const XFileMesh& mesh, std::vector<XFileSkinWeights>* bones) const
{
    bones->clear();
    if (positionStart.size() != mesh.positions.size() + 1)
        return false;
    // Counted before anything is allocated: a position split many ways, named by many bones, multiplies.
    uint64_t total = 0;
    for (const XFileSkinWeights& skin : mesh.skinWeights)
    {
        if (skin.vertices.size() != skin.weights.size())
            return false;
        for (uint32_t p : skin.vertices)
        {
            if (p >= mesh.positions.size())
                return false;
            total += positionStart[p + 1] - positionStart[p];
        }
    }
    if (total > 64 * uint64_t(vertices.size()))
        return false;
    for (const XFileSkinWeights& skin : mesh.skinWeights)
    {
        XFileSkinWeights bone;
        bone.bone = skin.bone;
        bone.offset = skin.offset;
        for (size_t i = 0; i < skin.vertices.size(); ++i)
            for (uint32_t v = positionStart[skin.vertices[i]]; v < positionStart[skin.vertices[i] + 1]; ++v)
            {
                bone.vertices.push_back(v);
                bone.weights.push_back(skin.weights[i]);
            }
        bones->push_back(std::move(bone));
    }
    return true;
}

std::vector<D3DXATTRIBUTERANGE> XFileGeometry::SortByAttribute()
{
    const size_t triangles = attributes.size();
    std::vector<uint32_t> order(triangles);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return attributes[a] < attributes[b]; });
    std::vector<uint32_t> sortedIndices(indices.size()), sortedAttributes(triangles);
    for (size_t t = 0; t < triangles; ++t)
    {
        sortedAttributes[t] = attributes[order[t]];
        for (int k = 0; k < 3; ++k)
            sortedIndices[t * 3 + k] = indices[size_t(order[t]) * 3 + k];
    }
    indices.swap(sortedIndices);
    attributes.swap(sortedAttributes);
    std::vector<D3DXATTRIBUTERANGE> table;
    for (size_t t = 0; t < triangles;)
    {
        size_t start = t;
        uint32_t lowest = UINT32_MAX, highest = 0;
        for (; t < triangles && attributes[t] == attributes[start]; ++t)
            for (int k = 0; k < 3; ++k)
            {
                lowest = std::min(lowest, indices[t * 3 + k]);
                highest = std::max(highest, indices[t * 3 + k]);
            }
        table.push_back({attributes[start], DWORD(start), DWORD(t - start), lowest, highest - lowest + 1});
    }
    return table;
}
