#include "Platform/gfx_d3dx/D3dxMesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>

#include "Platform/gfx/GfxVertexLayout.h"

namespace
{

bool IsFloatType(BYTE t)
{
    return t <= D3DDECLTYPE_FLOAT4;
}

// Element values as four floats; what a type lacks reads as (0, 0, 0, 1).
void ReadElement(const uint8_t* p, BYTE type, float out[4])
{
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    if (IsFloatType(type))
        std::memcpy(out, p, 4 * (size_t(type) + 1));
}

void WriteElement(uint8_t* p, BYTE type, const float in[4])
{
    if (IsFloatType(type))
        std::memcpy(p, in, 4 * (size_t(type) + 1));
}

}  // namespace

UINT D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* decl, DWORD stream)
{
    if (!decl)
        return 0;
    UINT size = 0;
    for (int i = 0; i < MAXD3DDECLLENGTH && decl[i].Stream != 0xFF; ++i)
        if (decl[i].Stream == stream)
            size = std::max<UINT>(size, decl[i].Offset + GfxVertexLayout::TypeSize(D3DDECLTYPE(decl[i].Type)));
    return size;
}

HRESULT D3dxMesh::Create(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* decl,
                         IDirect3DDevice9* device, D3dxMesh** out)
{
    *out = nullptr;
    if (!device || !decl || faces == 0 || vertices == 0)
        return D3DERR_INVALIDCALL;
    bool wide = (options & D3DXMESH_32BIT) != 0;
    if (!wide && vertices > 0xFFFF)
        return D3DERR_INVALIDCALL;
    if (faces > (1u << 28) || vertices > (1u << 28))
        return E_OUTOFMEMORY;
    auto* m = new D3dxMesh();
    m->m_Device = device;
    device->AddRef();
    for (int i = 0; i < MAXD3DDECLLENGTH; ++i)
    {
        m->m_Elements.push_back(decl[i]);
        if (decl[i].Stream == 0xFF)
            break;
        const UINT size = GfxVertexLayout::TypeSize(D3DDECLTYPE(decl[i].Type));
        if (decl[i].Stream != 0 || size == 0 || decl[i].Offset + size > GfxMaxVertexStride)
        {
            m->Release();
            return D3DERR_INVALIDCALL;
        }
    }
    if (m->m_Elements.back().Stream != 0xFF)
    {
        m->Release();
        return D3DERR_INVALIDCALL;
    }
    m->m_Stride = D3DXGetDeclVertexSize(decl, 0);
    // The buffer size is 32 bits: a count that wraps it would leave a small buffer behind a large mesh.
    if (uint64_t(vertices) * m->m_Stride > 0xFFFFFFFFu)
    {
        m->Release();
        return E_OUTOFMEMORY;
    }
    m->m_Faces = faces;
    m->m_Vertices = vertices;
    m->m_Options = options;
    D3DPOOL pool = (options & 0x110) == 0x110 ? D3DPOOL_SYSTEMMEM : D3DPOOL_MANAGED;
    HRESULT hr = m->m_Stride ? device->CreateVertexDeclaration(decl, &m->m_Declaration) : D3DERR_INVALIDCALL;
    if (SUCCEEDED(hr))
        hr = device->CreateVertexBuffer(vertices * m->m_Stride, 0, 0, pool, &m->m_VB, nullptr);
    if (SUCCEEDED(hr))
        hr = device->CreateIndexBuffer(faces * 3 * (wide ? 4 : 2), 0, wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, pool,
                                       &m->m_IB, nullptr);
    if (FAILED(hr))
    {
        m->Release();
        return hr;
    }
    m->m_Attributes.assign(faces, 0);
    *out = m;
    return D3D_OK;
}

D3dxMesh::~D3dxMesh()
{
    if (m_IB)
        m_IB->Release();
    if (m_VB)
        m_VB->Release();
    if (m_Declaration)
        m_Declaration->Release();
    if (m_Device)
        m_Device->Release();
}

const D3DVERTEXELEMENT9* D3dxMesh::Find(BYTE usage, BYTE index) const
{
    for (const D3DVERTEXELEMENT9& e : m_Elements)
        if (e.Stream != 0xFF && e.Usage == usage && e.UsageIndex == index)
            return &e;
    return nullptr;
}

HRESULT D3dxMesh::GetDeclaration(D3DVERTEXELEMENT9 decl[MAX_FVF_DECL_SIZE])
{
    if (!decl)
        return D3DERR_INVALIDCALL;
    std::copy(m_Elements.begin(), m_Elements.end(), decl);
    return D3D_OK;
}

HRESULT D3dxMesh::GetDevice(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = m_Device;
    m_Device->AddRef();
    return D3D_OK;
}

HRESULT D3dxMesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = m_VB;
    m_VB->AddRef();
    return D3D_OK;
}

HRESULT D3dxMesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = m_IB;
    m_IB->AddRef();
    return D3D_OK;
}

HRESULT D3dxMesh::LockVertexBuffer(DWORD flags, void** data)
{
    return m_VB->Lock(0, 0, data, flags);
}
HRESULT D3dxMesh::UnlockVertexBuffer()
{
    return m_VB->Unlock();
}
HRESULT D3dxMesh::LockIndexBuffer(DWORD flags, void** data)
{
    return m_IB->Lock(0, 0, data, flags);
}
HRESULT D3dxMesh::UnlockIndexBuffer()
{
    return m_IB->Unlock();
}

HRESULT D3dxMesh::LockAttributeBuffer(DWORD, DWORD** data)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = m_Attributes.data();
    return D3D_OK;
}

HRESULT D3dxMesh::UnlockAttributeBuffer()
{
    return D3D_OK;
}

HRESULT D3dxMesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size)
{
    if (!size)
        return D3DERR_INVALIDCALL;
    if (table)
        std::copy_n(m_Table.begin(), std::min<size_t>(*size, m_Table.size()), table);
    *size = DWORD(m_Table.size());
    return D3D_OK;
}

HRESULT D3dxMesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size)
{
    if (!table && size)
        return D3DERR_INVALIDCALL;
    // Ranges beyond the mesh would draw past its buffers.
    for (DWORD i = 0; i < size; ++i)
    {
        const D3DXATTRIBUTERANGE& r = table[i];
        if (uint64_t(r.FaceStart) + r.FaceCount > m_Faces || uint64_t(r.VertexStart) + r.VertexCount > m_Vertices)
            return D3DERR_INVALIDCALL;
    }
    m_Table.assign(table, table + size);
    return D3D_OK;
}

bool D3dxMesh::ReadIndices(std::vector<uint32_t>* out)
{
    void* data = nullptr;
    if (FAILED(m_IB->Lock(0, 0, &data, D3DLOCK_READONLY)))
        return false;
    out->resize(size_t(m_Faces) * 3);
    if (m_Options & D3DXMESH_32BIT)
    {
        std::memcpy(out->data(), data, out->size() * 4);
    }
    else
    {
        const uint16_t* s = static_cast<const uint16_t*>(data);
        for (size_t i = 0; i < out->size(); ++i)
            (*out)[i] = s[i];
    }
    m_IB->Unlock();
    return true;
}

HRESULT D3dxMesh::DrawSubset(DWORD attribId)
{
    std::vector<D3DXATTRIBUTERANGE> ranges;
    for (const D3DXATTRIBUTERANGE& r : m_Table)
        if (r.AttribId == attribId)
            ranges.push_back(r);
    if (m_Table.empty())
    {
        // Without a table: every run of faces carrying the id, over all vertices.
        for (DWORD f = 0; f < m_Faces;)
        {
            if (m_Attributes[f] != attribId)
            {
                ++f;
                continue;
            }
            DWORD start = f;
            while (f < m_Faces && m_Attributes[f] == attribId)
                ++f;
            ranges.push_back({attribId, start, f - start, 0, m_Vertices});
        }
    }
    m_Device->SetVertexDeclaration(m_Declaration);
    m_Device->SetStreamSource(0, m_VB, 0, m_Stride);
    m_Device->SetIndices(m_IB);
    for (const D3DXATTRIBUTERANGE& r : ranges)
    {
        if (r.FaceCount == 0)
            continue;
        HRESULT hr = m_Device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, r.VertexStart, r.VertexCount,
                                                    r.FaceStart * 3, r.FaceCount);
        if (FAILED(hr))
            return hr;
    }
    return D3D_OK;
}

HRESULT D3dxMesh::CloneMesh(DWORD options, const D3DVERTEXELEMENT9* decl, IDirect3DDevice9* device, ID3DXMesh** clone)
{
    if (!clone)
        return D3DERR_INVALIDCALL;
    *clone = nullptr;
    D3dxMesh* m = nullptr;
    HRESULT hr = Create(m_Faces, m_Vertices, options, decl, device ? device : m_Device, &m);
    if (FAILED(hr))
        return hr;
    // Vertices, element by element: the same usage and index, converted between float widths.
    void* src = nullptr;
    void* dst = nullptr;
    if (FAILED(m_VB->Lock(0, 0, &src, D3DLOCK_READONLY)))
    {
        m->Release();
        return D3DERR_INVALIDCALL;
    }
    m->m_VB->Lock(0, 0, &dst, 0);
    std::memset(dst, 0, size_t(m->m_Stride) * m_Vertices);
    for (const D3DVERTEXELEMENT9& e : m->m_Elements)
    {
        if (e.Stream == 0xFF)
            break;
        const D3DVERTEXELEMENT9* from = Find(e.Usage, e.UsageIndex);
        if (!from)
            continue;
        for (DWORD v = 0; v < m_Vertices; ++v)
        {
            const uint8_t* s = static_cast<const uint8_t*>(src) + size_t(v) * m_Stride + from->Offset;
            uint8_t* d = static_cast<uint8_t*>(dst) + size_t(v) * m->m_Stride + e.Offset;
            if (from->Type == e.Type)
            {
                std::memcpy(d, s, GfxVertexLayout::TypeSize(D3DDECLTYPE(e.Type)));
            }
            else
            {
                float f[4];
                ReadElement(s, from->Type, f);
                WriteElement(d, e.Type, f);
            }
        }
    }
    m->m_VB->Unlock();
    m_VB->Unlock();
    std::vector<uint32_t> indices;
    if (!ReadIndices(&indices))
    {
        m->Release();
        return D3DERR_INVALIDCALL;
    }
    if (!(m->m_Options & D3DXMESH_32BIT) && m_Vertices > 0xFFFF)
    {
        m->Release();
        return D3DERR_INVALIDCALL;
    }
    m->m_IB->Lock(0, 0, &dst, 0);
    if (m->m_Options & D3DXMESH_32BIT)
    {
        std::memcpy(dst, indices.data(), indices.size() * 4);
    }
    else
    {
        for (size_t i = 0; i < indices.size(); ++i)
            static_cast<uint16_t*>(dst)[i] = uint16_t(indices[i]);
    }
    m->m_IB->Unlock();
    m->m_Attributes = m_Attributes;
    m->m_Table = m_Table;
    *clone = m;
    return D3D_OK;
}

HRESULT D3dxMesh::GenerateAdjacency(float epsilon, DWORD* adjacency)
{
    if (!adjacency)
        return D3DERR_INVALIDCALL;
    const D3DVERTEXELEMENT9* pos = Find(D3DDECLUSAGE_POSITION, 0);
    std::vector<uint32_t> indices;
    if (!ReadIndices(&indices))
        return D3DERR_INVALIDCALL;
    for (uint32_t i : indices)
        if (i >= m_Vertices)
            return D3DERR_INVALIDCALL;
    // Vertices within epsilon of each other count as one point (sorted on x, then compared pairwise nearby).
    std::vector<uint32_t> rep(m_Vertices);
    std::iota(rep.begin(), rep.end(), 0u);
    if (pos && pos->Type == D3DDECLTYPE_FLOAT3)
    {
        void* data = nullptr;
        if (FAILED(m_VB->Lock(0, 0, &data, D3DLOCK_READONLY)))
            return D3DERR_INVALIDCALL;
        std::vector<std::array<float, 3>> p(m_Vertices);
        for (DWORD v = 0; v < m_Vertices; ++v)
            std::memcpy(p[v].data(), static_cast<uint8_t*>(data) + size_t(v) * m_Stride + pos->Offset, 12);
        m_VB->Unlock();
        std::vector<uint32_t> order(m_Vertices);
        std::iota(order.begin(), order.end(), 0u);
        // NaN compares false both ways, which would break the sort's ordering and let it run off the array: it
        // sorts as the largest value, and never lies within epsilon of anything.
        auto key = [&](uint32_t v) { return std::isnan(p[v][0]) ? INFINITY : p[v][0]; };
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
        for (size_t i = 0; i < order.size(); ++i)
        {
            uint32_t a = order[i];
            if (rep[a] != a)
                continue;
            for (size_t j = i + 1; j < order.size() && p[order[j]][0] - p[a][0] <= epsilon; ++j)
            {
                uint32_t b = order[j];
                if (rep[b] == b && std::fabs(p[b][1] - p[a][1]) <= epsilon && std::fabs(p[b][2] - p[a][2]) <= epsilon)
                    rep[b] = a;
            }
        }
    }
    std::map<std::pair<uint32_t, uint32_t>, std::vector<DWORD>> edges;
    for (DWORD f = 0; f < m_Faces; ++f)
        for (int e = 0; e < 3; ++e)
        {
            uint32_t a = rep[indices[f * 3 + e]], b = rep[indices[f * 3 + (e + 1) % 3]];
            edges[{std::min(a, b), std::max(a, b)}].push_back(f);
        }
    for (DWORD f = 0; f < m_Faces; ++f)
        for (int e = 0; e < 3; ++e)
        {
            uint32_t a = rep[indices[f * 3 + e]], b = rep[indices[f * 3 + (e + 1) % 3]];
            DWORD other = 0xFFFFFFFFu;
            for (DWORD g : edges[{std::min(a, b), std::max(a, b)}])
                if (g != f)
                {
                    other = g;
                    break;
                }
            adjacency[f * 3 + e] = other;
        }
    return D3D_OK;
}

HRESULT D3DXCreateMesh(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh)
{
    if (!mesh)
        return D3DERR_INVALIDCALL;
    D3dxMesh* m = nullptr;
    HRESULT hr = D3dxMesh::Create(faces, vertices, options, declaration, device, &m);
    *mesh = m;
    return hr;
}
