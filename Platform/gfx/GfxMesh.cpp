#include "Platform/gfx/GfxMesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "Platform/gfx/GfxVertexLayout.h"

namespace {

std::vector<D3DVERTEXELEMENT9> Elements(const D3DVERTEXELEMENT9* declaration) {
  std::vector<D3DVERTEXELEMENT9> out;
  for (int i = 0; declaration && i < MAX_FVF_DECL_SIZE - 1 && declaration[i].Stream != 0xFF; ++i)
    out.push_back(declaration[i]);
  return out;
}

UINT StrideOf(const std::vector<D3DVERTEXELEMENT9>& elements) {
  UINT stride = 0;
  for (const D3DVERTEXELEMENT9& e : elements)
    stride = std::max<UINT>(stride, e.Offset + GfxVertexLayout::TypeSize(D3DDECLTYPE(e.Type)));
  return stride;
}

UINT FloatCount(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1: return 1;
    case D3DDECLTYPE_FLOAT2: return 2;
    case D3DDECLTYPE_FLOAT3: return 3;
    case D3DDECLTYPE_FLOAT4: return 4;
    default: return 0;
  }
}

}  // namespace

int GfxFindElement(const std::vector<D3DVERTEXELEMENT9>& elements, BYTE usage, BYTE usageIndex, BYTE* type) {
  for (const D3DVERTEXELEMENT9& e : elements)
    if (e.Usage == usage && e.UsageIndex == usageIndex) {
      if (type) *type = e.Type;
      return e.Offset;
    }
  return -1;
}

GfxMesh::GfxMesh(IDirect3DDevice9* device, DWORD options, const std::vector<D3DVERTEXELEMENT9>& declaration,
                 UINT stride)
    : m_Device(device), m_Options(options), m_Elements(declaration), m_Stride(stride) {
  m_Device->AddRef();
}

GfxMesh::~GfxMesh() {
  if (m_Declaration) m_Declaration->Release();
  if (m_VertexBuffer) m_VertexBuffer->Release();
  if (m_IndexBuffer) m_IndexBuffer->Release();
  m_Device->Release();
}

bool GfxMesh::Init(DWORD faces, DWORD vertices) {
  if (faces == 0 || vertices == 0 || m_Stride == 0) return false;
  bool wide = (m_Options & D3DXMESH_32BIT) != 0;
  if (!wide && vertices > 0x10000) return false;
  uint64_t vertexBytes = uint64_t(vertices) * m_Stride, indexBytes = uint64_t(faces) * 3 * (wide ? 4 : 2);
  if (vertexBytes > 0x7FFFFFFF || indexBytes > 0x7FFFFFFF) return false;
  m_Faces = faces;
  m_Vertices = vertices;
  std::vector<D3DVERTEXELEMENT9> declaration = m_Elements;
  declaration.push_back(D3DVERTEXELEMENT9 D3DDECL_END());
  if (FAILED(m_Device->CreateVertexDeclaration(declaration.data(), &m_Declaration))) return false;
  if (FAILED(m_Device->CreateVertexBuffer(UINT(vertexBytes), 0, 0, D3DPOOL_MANAGED, &m_VertexBuffer, nullptr)))
    return false;
  if (FAILED(m_Device->CreateIndexBuffer(UINT(indexBytes), 0, wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                         &m_IndexBuffer, nullptr)))
    return false;
  m_Attributes.assign(faces, 0);
  return true;
}

DWORD GfxMesh::Index(const void* indices, size_t at) const {
  if (m_Options & D3DXMESH_32BIT) return static_cast<const uint32_t*>(indices)[at];
  return static_cast<const uint16_t*>(indices)[at];
}

HRESULT GfxMesh::DrawSubset(DWORD attribId) {
  std::vector<D3DXATTRIBUTERANGE> ranges = m_Table;
  if (ranges.empty()) {
    // Without a table, each run of faces with the attribute is a range over every vertex.
    for (DWORD f = 0; f < m_Faces;) {
      DWORD end = f;
      while (end < m_Faces && m_Attributes[end] == m_Attributes[f]) ++end;
      ranges.push_back({m_Attributes[f], f, end - f, 0, m_Vertices});
      f = end;
    }
  }
  m_Device->SetVertexDeclaration(m_Declaration);
  m_Device->SetStreamSource(0, m_VertexBuffer, 0, m_Stride);
  m_Device->SetIndices(m_IndexBuffer);
  for (const D3DXATTRIBUTERANGE& r : ranges) {
    if (r.AttribId != attribId || r.FaceCount == 0) continue;
    DWORD start = r.VertexCount ? r.VertexStart : 0, count = r.VertexCount ? r.VertexCount : m_Vertices;
    HRESULT hr = m_Device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, start, count, r.FaceStart * 3, r.FaceCount);
    if (FAILED(hr)) return hr;
  }
  return D3D_OK;
}

HRESULT GfxMesh::GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) {
  if (!declaration) return D3DERR_INVALIDCALL;
  for (size_t i = 0; i < m_Elements.size(); ++i) declaration[i] = m_Elements[i];
  declaration[m_Elements.size()] = D3DVERTEXELEMENT9 D3DDECL_END();
  return D3D_OK;
}

HRESULT GfxMesh::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  m_Device->AddRef();
  *device = m_Device;
  return D3D_OK;
}

HRESULT GfxMesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  m_VertexBuffer->AddRef();
  *buffer = m_VertexBuffer;
  return D3D_OK;
}

HRESULT GfxMesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  m_IndexBuffer->AddRef();
  *buffer = m_IndexBuffer;
  return D3D_OK;
}

HRESULT GfxMesh::LockVertexBuffer(DWORD flags, void** data) { return m_VertexBuffer->Lock(0, 0, data, flags); }
HRESULT GfxMesh::UnlockVertexBuffer() { return m_VertexBuffer->Unlock(); }
HRESULT GfxMesh::LockIndexBuffer(DWORD flags, void** data) { return m_IndexBuffer->Lock(0, 0, data, flags); }
HRESULT GfxMesh::UnlockIndexBuffer() { return m_IndexBuffer->Unlock(); }

HRESULT GfxMesh::LockAttributeBuffer(DWORD, DWORD** data) {
  if (!data || m_AttributesLocked) return D3DERR_INVALIDCALL;
  m_AttributesLocked = true;
  *data = m_Attributes.data();
  return D3D_OK;
}

HRESULT GfxMesh::UnlockAttributeBuffer() {
  if (!m_AttributesLocked) return D3DERR_INVALIDCALL;
  m_AttributesLocked = false;
  return D3D_OK;
}

HRESULT GfxMesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
  if (!size) return D3DERR_INVALIDCALL;
  if (table) std::copy(m_Table.begin(), m_Table.end(), table);
  *size = DWORD(m_Table.size());
  return D3D_OK;
}

HRESULT GfxMesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
  if (size && !table) return D3DERR_INVALIDCALL;
  // Ranges outside the buffers would draw foreign memory: refused whole.
  for (DWORD i = 0; i < size; ++i) {
    const D3DXATTRIBUTERANGE& r = table[i];
    if (uint64_t(r.FaceStart) + r.FaceCount > m_Faces || uint64_t(r.VertexStart) + r.VertexCount > m_Vertices)
      return D3DERR_INVALIDCALL;
  }
  m_Table.assign(table, table + size);
  return D3D_OK;
}

HRESULT GfxMesh::GenerateAdjacency(float epsilon, DWORD* adjacency) {
  if (!adjacency) return D3DERR_INVALIDCALL;
  void* vertices = nullptr;
  void* indices = nullptr;
  int position = GfxFindElement(m_Elements, D3DDECLUSAGE_POSITION, 0);
  if (position < 0 || FAILED(LockVertexBuffer(D3DLOCK_READONLY, &vertices))) return D3DERR_INVALIDCALL;
  // Each vertex is represented by the first vertex at its position (within epsilon, on a grid of that size).
  std::vector<DWORD> representative(m_Vertices);
  std::map<std::tuple<long long, long long, long long>, DWORD> cells;
  float cell = epsilon > 0.0f ? epsilon : 1e-6f;
  for (DWORD v = 0; v < m_Vertices; ++v) {
    float p[3];
    std::memcpy(p, static_cast<uint8_t*>(vertices) + size_t(v) * m_Stride + position, 12);
    auto key = std::make_tuple(std::llround(p[0] / cell), std::llround(p[1] / cell), std::llround(p[2] / cell));
    representative[v] = cells.emplace(key, v).first->second;
  }
  UnlockVertexBuffer();
  if (FAILED(LockIndexBuffer(D3DLOCK_READONLY, &indices))) return D3DERR_INVALIDCALL;
  std::map<std::pair<DWORD, DWORD>, DWORD> edges;  // directed edge -> face
  for (DWORD f = 0; f < m_Faces; ++f)
    for (int e = 0; e < 3; ++e) {
      DWORD a = representative[std::min<DWORD>(Index(indices, f * 3 + e), m_Vertices - 1)];
      DWORD b = representative[std::min<DWORD>(Index(indices, f * 3 + (e + 1) % 3), m_Vertices - 1)];
      edges.emplace(std::make_pair(a, b), f);
    }
  for (DWORD f = 0; f < m_Faces; ++f)
    for (int e = 0; e < 3; ++e) {
      DWORD a = representative[std::min<DWORD>(Index(indices, f * 3 + e), m_Vertices - 1)];
      DWORD b = representative[std::min<DWORD>(Index(indices, f * 3 + (e + 1) % 3), m_Vertices - 1)];
      auto it = edges.find(std::make_pair(b, a));
      adjacency[f * 3 + e] = (it != edges.end() && it->second != f) ? it->second : 0xFFFFFFFF;
    }
  UnlockIndexBuffer();
  return D3D_OK;
}

HRESULT GfxMesh::CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                           ID3DXMesh** clone) {
  if (!declaration || !clone) return D3DERR_INVALIDCALL;
  *clone = nullptr;
  ID3DXMesh* created = nullptr;
  HRESULT hr = D3DXCreateMesh(m_Faces, m_Vertices, options, declaration, device ? device : m_Device, &created);
  if (FAILED(hr)) return hr;
  GfxMesh* out = static_cast<GfxMesh*>(created);
  void* from = nullptr;
  void* to = nullptr;
  LockVertexBuffer(D3DLOCK_READONLY, &from);
  out->LockVertexBuffer(0, &to);
  // Every element of the new declaration takes the same usage's data, float components converted by count
  // (missing ones 0, w 1), other types only when the same.
  for (const D3DVERTEXELEMENT9& e : out->m_Elements) {
    BYTE sourceType = 0;
    int source = GfxFindElement(m_Elements, e.Usage, e.UsageIndex, &sourceType);
    if (source < 0) continue;
    UINT want = FloatCount(e.Type), have = FloatCount(sourceType);
    for (DWORD v = 0; v < m_Vertices; ++v) {
      const uint8_t* s = static_cast<uint8_t*>(from) + size_t(v) * m_Stride + source;
      uint8_t* d = static_cast<uint8_t*>(to) + size_t(v) * out->m_Stride + e.Offset;
      if (want && have) {
        float values[4] = {0, 0, 0, 1};
        std::memcpy(values, s, 4 * std::min(want, have));
        std::memcpy(d, values, 4 * want);
      } else if (e.Type == sourceType) {
        std::memcpy(d, s, GfxVertexLayout::TypeSize(D3DDECLTYPE(e.Type)));
      }
    }
  }
  out->UnlockVertexBuffer();
  UnlockVertexBuffer();
  void* fromIndices = nullptr;
  void* toIndices = nullptr;
  LockIndexBuffer(D3DLOCK_READONLY, &fromIndices);
  out->LockIndexBuffer(0, &toIndices);
  for (size_t i = 0; i < size_t(m_Faces) * 3; ++i) {
    DWORD index = Index(fromIndices, i);
    if (options & D3DXMESH_32BIT) static_cast<uint32_t*>(toIndices)[i] = index;
    else static_cast<uint16_t*>(toIndices)[i] = uint16_t(index);  // fewer than 65537 vertices: checked at creation
  }
  out->UnlockIndexBuffer();
  UnlockIndexBuffer();
  out->m_Attributes = m_Attributes;
  out->m_Table = m_Table;
  *clone = out;
  return D3D_OK;
}

HRESULT D3DXCreateMesh(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh) {
  if (!declaration || !device || !mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;
  std::vector<D3DVERTEXELEMENT9> elements = Elements(declaration);
  for (const D3DVERTEXELEMENT9& e : elements)
    if (e.Stream != 0 || GfxVertexLayout::TypeSize(D3DDECLTYPE(e.Type)) == 0) return D3DERR_INVALIDCALL;
  GfxMesh* created = new GfxMesh(device, options, elements, StrideOf(elements));
  if (!created->Init(faces, vertices)) {
    created->Release();
    return D3DERR_INVALIDCALL;
  }
  *mesh = created;
  return D3D_OK;
}
