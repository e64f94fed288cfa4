// Per-vertex tangents from texture-coordinate derivatives.
#include <cmath>
#include <cstring>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/D3dxMesh.h"

namespace
{

struct V3
{
    float x = 0, y = 0, z = 0;
};
V3 operator-(V3 a, V3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 operator+(V3 a, V3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator*(V3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
float Dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
bool Normalise(V3* v)
{
    float l = std::sqrt(Dot(*v, *v));
    if (l < 1e-12f)
        return false;
    *v = *v * (1.0f / l);
    return true;
}

bool Vec(const uint8_t* vertex, const D3DVERTEXELEMENT9* e, int count, float* out)
{
    if (!e || e->Type > D3DDECLTYPE_FLOAT4 || int(e->Type) + 1 < count)
        return false;
    std::memcpy(out, vertex + e->Offset, size_t(count) * 4);
    return true;
}

HRESULT Compute(D3dxMesh* mesh, BYTE texIndex, BYTE tangentIndex, BYTE normalUsage, BYTE normalIndex)
{
    const D3DVERTEXELEMENT9* pos = mesh->Find(D3DDECLUSAGE_POSITION, 0);
    const D3DVERTEXELEMENT9* uv = mesh->Find(D3DDECLUSAGE_TEXCOORD, texIndex);
    const D3DVERTEXELEMENT9* nrm = mesh->Find(normalUsage, normalIndex);
    const D3DVERTEXELEMENT9* tan = mesh->Find(D3DDECLUSAGE_TANGENT, tangentIndex);
    if (!pos || pos->Type < D3DDECLTYPE_FLOAT3 || pos->Type > D3DDECLTYPE_FLOAT4 || !uv ||
        uv->Type < D3DDECLTYPE_FLOAT2 || uv->Type > D3DDECLTYPE_FLOAT4 || !tan || tan->Type < D3DDECLTYPE_FLOAT3 ||
        tan->Type > D3DDECLTYPE_FLOAT4 || (nrm && (nrm->Type < D3DDECLTYPE_FLOAT3 || nrm->Type > D3DDECLTYPE_FLOAT4)))
        return D3DERR_INVALIDCALL;
    std::vector<uint32_t> indices;
    if (!mesh->ReadIndices(&indices))
        return D3DERR_INVALIDCALL;
    DWORD vertices = mesh->GetNumVertices(), stride = mesh->GetNumBytesPerVertex();
    for (uint32_t i : indices)
        if (i >= vertices)
            return D3DERR_INVALIDCALL;
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &data)))
        return D3DERR_INVALIDCALL;
    uint8_t* base = static_cast<uint8_t*>(data);
    auto at = [&](uint32_t v) { return base + size_t(v) * stride; };
    std::vector<V3> sum(vertices);
    for (size_t f = 0; f + 2 < indices.size(); f += 3)
    {
        uint32_t i[3] = {indices[f], indices[f + 1], indices[f + 2]};
        V3 p[3];
        float t[3][2];
        for (int k = 0; k < 3; ++k)
        {
            Vec(at(i[k]), pos, 3, &p[k].x);
            Vec(at(i[k]), uv, 2, t[k]);
        }
        V3 e1 = p[1] - p[0], e2 = p[2] - p[0];
        float du1 = t[1][0] - t[0][0], dv1 = t[1][1] - t[0][1], du2 = t[2][0] - t[0][0], dv2 = t[2][1] - t[0][1];
        float r = du1 * dv2 - du2 * dv1;
        if (std::fabs(r) < 1e-20f)
            continue;  // no uv area: the face says nothing about the tangent
        V3 tangent = (e1 * dv2 - e2 * dv1) * (1.0f / r);
        if (!Normalise(&tangent))
            continue;
        for (uint32_t k : i)
            sum[k] = sum[k] + tangent;
    }
    for (DWORD v = 0; v < vertices; ++v)
    {
        V3 t = sum[v];
        V3 n;
        if (nrm && Vec(at(v), nrm, 3, &n.x) && Normalise(&n))
        {
            t = t - n * Dot(n, t);
            if (!Normalise(&t))
            {
                // No usable derivative: any direction across the normal.
                t = Cross(n, std::fabs(n.x) < 0.9f ? V3{1, 0, 0} : V3{0, 1, 0});
                Normalise(&t);
            }
        }
        else if (!Normalise(&t))
        {
            t = {1, 0, 0};
        }
        float out[4] = {t.x, t.y, t.z, 1.0f};
        std::memcpy(at(v) + tan->Offset, out, tan->Type == D3DDECLTYPE_FLOAT4 ? 16 : 12);
    }
    mesh->UnlockVertexBuffer();
    return D3D_OK;
}

}  // namespace

HRESULT D3DXComputeTangentFrameEx(ID3DXMesh* mesh, DWORD texUsage, DWORD texIndex, DWORD tangentUsage,
                                  DWORD tangentIndex, DWORD binormalUsage, DWORD binormalIndex, DWORD normalUsage,
                                  DWORD normalIndex, DWORD options, const DWORD* adjacency, float, float, float,
                                  ID3DXMesh** meshOut, ID3DXBuffer** vertexMapping)
{
    (void)binormalIndex, (void)adjacency;
    if (vertexMapping)
        *vertexMapping = nullptr;
    if (!mesh || texUsage != D3DDECLUSAGE_TEXCOORD || tangentUsage != D3DDECLUSAGE_TANGENT ||
        binormalUsage != D3DX_DEFAULT || texIndex > 7 || tangentIndex > 7)
        return D3DERR_INVALIDCALL;
    // The normal to orthogonalise against is the mesh's own normal (the normal output is not offered).
    BYTE nUsage = D3DDECLUSAGE_NORMAL, nIndex = 0;
    if (normalUsage != D3DX_DEFAULT)
    {
        nUsage = BYTE(normalUsage);
        nIndex = BYTE(normalIndex);
    }
    auto* target = static_cast<D3dxMesh*>(mesh);
    if (!(options & D3DXTANGENT_GENERATE_IN_PLACE))
    {
        if (!meshOut)
            return D3DERR_INVALIDCALL;
        *meshOut = nullptr;
        D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE];
        mesh->GetDeclaration(decl);
        ID3DXMesh* clone = nullptr;
        HRESULT hr = mesh->CloneMesh(mesh->GetOptions(), decl, nullptr, &clone);
        if (FAILED(hr))
            return hr;
        hr = Compute(static_cast<D3dxMesh*>(clone), BYTE(texIndex), BYTE(tangentIndex), nUsage, nIndex);
        if (FAILED(hr))
        {
            clone->Release();
            return hr;
        }
        *meshOut = clone;
        return D3D_OK;
    }
    // In place, the output mesh is not used (left as the caller had it).
    return Compute(target, BYTE(texIndex), BYTE(tangentIndex), nUsage, nIndex);
}
