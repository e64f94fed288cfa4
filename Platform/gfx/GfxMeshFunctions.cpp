// Tangent frames.
#include <cmath>
#include <cstring>

#include "Platform/gfx/D3DX9Tex.h"
#include "Platform/gfx/GfxMesh.h"

namespace {

struct V3 {
  float x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Add(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 Scale(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

}  // namespace

HRESULT D3DXComputeTangentFrameEx(ID3DXMesh* mesh, DWORD texInSemantic, DWORD texInIndex, DWORD tangentSemantic,
                                  DWORD tangentIndex, DWORD binormalSemantic, DWORD, DWORD normalSemantic, DWORD,
                                  DWORD options, const DWORD*, float, float, float, ID3DXMesh** meshOut,
                                  ID3DXBuffer** vertexMapping) {
  if (meshOut) *meshOut = nullptr;
  if (vertexMapping) *vertexMapping = nullptr;
  if (!mesh || texInSemantic != D3DDECLUSAGE_TEXCOORD || tangentSemantic != D3DDECLUSAGE_TANGENT ||
      (binormalSemantic != D3DX_DEFAULT) || (normalSemantic != D3DX_DEFAULT))
    return D3DERR_INVALIDCALL;
  ID3DXMesh* target = mesh;
  if (!(options & D3DXTANGENT_GENERATE_IN_PLACE)) {
    if (!meshOut) return D3DERR_INVALIDCALL;
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    mesh->GetDeclaration(declaration);
    if (FAILED(mesh->CloneMesh(mesh->GetOptions(), declaration, nullptr, &target))) return D3DERR_INVALIDCALL;
  }
  GfxMesh* m = static_cast<GfxMesh*>(target);
  BYTE uvType = 0, tangentType = 0, normalType = 0;
  int position = GfxFindElement(m->Elements(), D3DDECLUSAGE_POSITION, 0);
  int uv = GfxFindElement(m->Elements(), D3DDECLUSAGE_TEXCOORD, BYTE(texInIndex), &uvType);
  int tangent = GfxFindElement(m->Elements(), D3DDECLUSAGE_TANGENT, BYTE(tangentIndex), &tangentType);
  int normal = GfxFindElement(m->Elements(), D3DDECLUSAGE_NORMAL, 0, &normalType);
  bool usable = position >= 0 && uv >= 0 && tangent >= 0 && normal >= 0 && uvType == D3DDECLTYPE_FLOAT2 &&
                (tangentType == D3DDECLTYPE_FLOAT3 || tangentType == D3DDECLTYPE_FLOAT4) &&
                normalType == D3DDECLTYPE_FLOAT3;
  if (!usable) {
    if (target != mesh) target->Release();
    return D3DERR_INVALIDCALL;
  }
  DWORD vertices = m->GetNumVertices(), faces = m->GetNumFaces(), stride = m->GetNumBytesPerVertex();
  uint8_t* data = nullptr;
  void* indices = nullptr;
  m->LockVertexBuffer(0, reinterpret_cast<void**>(&data));
  m->LockIndexBuffer(D3DLOCK_READONLY, &indices);
  auto at = [&](DWORD v, int offset) { return data + size_t(v) * stride + offset; };
  auto read3 = [&](DWORD v, int offset) {
    V3 r;
    std::memcpy(&r, at(v, offset), 12);
    return r;
  };
  std::vector<V3> sums(vertices, V3{0, 0, 0});
  for (DWORD f = 0; f < faces; ++f) {
    DWORD i[3];
    for (int k = 0; k < 3; ++k) i[k] = std::min<DWORD>(m->Index(indices, size_t(f) * 3 + k), vertices - 1);
    V3 p0 = read3(i[0], position), p1 = read3(i[1], position), p2 = read3(i[2], position);
    float t0[2], t1[2], t2[2];
    std::memcpy(t0, at(i[0], uv), 8);
    std::memcpy(t1, at(i[1], uv), 8);
    std::memcpy(t2, at(i[2], uv), 8);
    V3 e1 = Sub(p1, p0), e2 = Sub(p2, p0);
    float du1 = t1[0] - t0[0], dv1 = t1[1] - t0[1], du2 = t2[0] - t0[0], dv2 = t2[1] - t0[1];
    float det = du1 * dv2 - du2 * dv1;
    if (std::fabs(det) < 1e-12f) continue;  // no uv area: the face says nothing about the direction of u
    V3 t = Scale(Sub(Scale(e1, dv2), Scale(e2, dv1)), 1.0f / det);
    for (DWORD k : i) sums[k] = Add(sums[k], t);
  }
  for (DWORD v = 0; v < vertices; ++v) {
    V3 n = read3(v, normal);
    float nl = std::sqrt(Dot(n, n));
    n = nl > 0 ? Scale(n, 1.0f / nl) : V3{0, 1, 0};
    // Gram-Schmidt against the normal; a tangent that vanishes takes any direction across the normal.
    V3 t = Sub(sums[v], Scale(n, Dot(n, sums[v])));
    float tl = std::sqrt(Dot(t, t));
    if (tl < 1e-6f) {
      t = Cross(std::fabs(n.x) < 0.9f ? V3{1, 0, 0} : V3{0, 1, 0}, n);
      t = Cross(n, t);
      tl = std::sqrt(Dot(t, t));
    }
    t = Scale(t, 1.0f / tl);
    std::memcpy(at(v, tangent), &t, 12);
    if (tangentType == D3DDECLTYPE_FLOAT4) {
      const float w = 1.0f;
      std::memcpy(at(v, tangent) + 12, &w, 4);
    }
  }
  m->UnlockIndexBuffer();
  m->UnlockVertexBuffer();
  if (target != mesh) *meshOut = target;
  return D3D_OK;
}
