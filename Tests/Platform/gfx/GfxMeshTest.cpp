// Meshes through the recording backend: buffers, attribute tables, subsets drawn, clones, adjacency,
// tangents and bounds.
#include <cmath>
#include <cstring>

#include "GfxTestDevice.h"
#include "Platform/gfx/D3DX9Mesh.h"
#include "Platform/gfx/D3DX9Tex.h"

namespace {

// The engine's internal vertex: position, normal, uv0, tangent, uv1 (52 bytes).
const D3DVERTEXELEMENT9 kInternal[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 44, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END()};
// The older 64-byte layout with a binormal.
const D3DVERTEXELEMENT9 kOld[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 44, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_BINORMAL, 0},
    {0, 56, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END()};

struct OldVertex {
  float p[3], n[3], uv[2], t[3], b[3], uv1[2];
};
struct Vertex {
  float p[3], n[3], uv[2], t[3], uv1[2];
};
static_assert(sizeof(OldVertex) == 64 && sizeof(Vertex) == 52);

class GfxMeshes : public ::testing::Test {
 protected:
  void SetUp() override {
    g_GfxRecorder.ResetAll();
    t = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
    ASSERT_NE(t->device, nullptr);
  }
  void TearDown() override {
    t.reset();
    GfxSelectBackend(GfxBackendKind::OpenGL);
  }
  // A unit quad in the xy plane facing -z, u along +x and v along -y, as two faces of subsets 0 and 1.
  ID3DXMesh* Quad(DWORD options) {
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXCreateMesh(2, 4, options, kOld, t->device, &mesh), D3D_OK);
    OldVertex* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const float corners[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
      v[i] = OldVertex{};
      v[i].p[0] = corners[i][0], v[i].p[1] = corners[i][1];
      v[i].n[2] = -1;
      v[i].uv[0] = corners[i][0], v[i].uv[1] = 1 - corners[i][1];
      v[i].uv1[0] = 0.25f * float(i);
    }
    mesh->UnlockVertexBuffer();
    const uint32_t quad[6] = {0, 1, 2, 2, 1, 3};
    void* idx = nullptr;
    mesh->LockIndexBuffer(0, &idx);
    if (options & D3DXMESH_32BIT) {
      std::memcpy(idx, quad, sizeof(quad));
    } else {
      for (int i = 0; i < 6; ++i) static_cast<uint16_t*>(idx)[i] = uint16_t(quad[i]);
    }
    mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    mesh->LockAttributeBuffer(0, &attributes);
    attributes[0] = 0;
    attributes[1] = 1;
    mesh->UnlockAttributeBuffer();
    return mesh;
  }
  std::unique_ptr<GfxTestDevice> t;
};

TEST_F(GfxMeshes, BuffersTablesAndSubsets) {
  ID3DXMesh* mesh = Quad(D3DXMESH_MANAGED | D3DXMESH_32BIT);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->GetNumBytesPerVertex(), 64u);
  EXPECT_EQ(mesh->GetNumVertices(), 4u);
  EXPECT_EQ(mesh->GetNumFaces(), 2u);
  EXPECT_TRUE(mesh->GetOptions() & D3DXMESH_32BIT);
  D3DXATTRIBUTERANGE table[2] = {{0, 0, 1, 0, 3}, {1, 1, 1, 1, 3}};
  ASSERT_EQ(mesh->SetAttributeTable(table, 2), D3D_OK);
  D3DXATTRIBUTERANGE outside = {2, 1, 2, 0, 4};  // faces 1..2 of two
  EXPECT_EQ(mesh->SetAttributeTable(&outside, 1), D3DERR_INVALIDCALL);
  DWORD size = 0;
  mesh->GetAttributeTable(nullptr, &size);
  EXPECT_EQ(size, 2u);

  g_GfxRecorder.ClearLog();
  ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
  ASSERT_EQ(mesh->DrawSubset(7), D3D_OK);  // no such subset: nothing drawn
  auto draws = g_GfxRecorder.Find("DrawIndexedPrimitive");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->args[2], 1u);  // minimum vertex
  EXPECT_EQ(draws[0]->args[4], 3u);  // start index: face 1
  EXPECT_EQ(draws[0]->args[5], 1u);  // one face
  const GfxDrawRecord& record = *draws[0]->draw;
  EXPECT_EQ(record.stride, 64u);
  EXPECT_EQ(record.indices, (std::vector<uint32_t>{2, 1, 3}));

  IDirect3DIndexBuffer9* ib = nullptr;
  mesh->GetIndexBuffer(&ib);
  D3DINDEXBUFFER_DESC desc{};
  ib->GetDesc(&desc);
  EXPECT_EQ(desc.Format, D3DFMT_INDEX32);
  ib->Release();
  mesh->Release();
  // 16-bit indices cannot address more than 65536 vertices.
  ID3DXMesh* big = nullptr;
  EXPECT_EQ(D3DXCreateMesh(1, 70000, D3DXMESH_MANAGED, kInternal, t->device, &big), D3DERR_INVALIDCALL);
}

TEST_F(GfxMeshes, CloneToTheInternalFormatKeepsEveryUsage) {
  ID3DXMesh* old = Quad(D3DXMESH_MANAGED | D3DXMESH_32BIT);
  ID3DXMesh* mesh = nullptr;
  ASSERT_EQ(old->CloneMesh(D3DXMESH_MANAGED, kInternal, t->device, &mesh), D3D_OK);
  EXPECT_EQ(mesh->GetNumBytesPerVertex(), 52u);
  EXPECT_FALSE(mesh->GetOptions() & D3DXMESH_32BIT);
  Vertex* v = nullptr;
  mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
  EXPECT_EQ(v[3].p[0], 1.0f);
  EXPECT_EQ(v[3].n[2], -1.0f);
  EXPECT_EQ(v[3].uv1[0], 0.75f);  // texture coordinates 1 moved from offset 56 to 44
  mesh->UnlockVertexBuffer();
  uint16_t* idx = nullptr;
  mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&idx));
  EXPECT_EQ(idx[5], 3u);
  mesh->UnlockIndexBuffer();
  DWORD* attributes = nullptr;
  mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes);
  EXPECT_EQ(attributes[1], 1u);
  mesh->UnlockAttributeBuffer();

  // Adjacency: the two faces share the edge 1-2.
  DWORD adjacency[6];
  ASSERT_EQ(mesh->GenerateAdjacency(0.001f, adjacency), D3D_OK);
  EXPECT_EQ(adjacency[1], 1u);  // face 0, edge 1-2
  EXPECT_EQ(adjacency[3], 0u);  // face 1, edge 2-1
  EXPECT_EQ(adjacency[0], 0xFFFFFFFFu);

  // Tangents in place: u runs along +x, so every tangent is +x, orthogonal to the -z normal.
  ASSERT_EQ(D3DXComputeTangentFrameEx(mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0,
                                      D3DX_DEFAULT, 0, D3DXTANGENT_GENERATE_IN_PLACE, adjacency, -1.01f, 0.0f, -1.01f,
                                      nullptr, nullptr), D3D_OK);
  mesh->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&v));
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(v[i].t[0], 1.0f, 1e-5f) << i;
    EXPECT_NEAR(v[i].t[1], 0.0f, 1e-5f) << i;
    EXPECT_NEAR(v[i].t[2], 0.0f, 1e-5f) << i;
  }
  // Bounds over the positions with the vertex stride.
  D3DXVECTOR3 lo, hi, centre;
  float radius = 0;
  ASSERT_TRUE(D3DXComputeBoundingBox(reinterpret_cast<const D3DXVECTOR3*>(v), 4, 52, &lo, &hi));
  ASSERT_TRUE(D3DXComputeBoundingSphere(reinterpret_cast<const D3DXVECTOR3*>(v), 4, 52, &centre, &radius));
  mesh->UnlockVertexBuffer();
  EXPECT_EQ(lo.x, 0.0f);
  EXPECT_EQ(hi.y, 1.0f);
  EXPECT_EQ(centre.x, 0.5f);
  EXPECT_EQ(centre.y, 0.5f);
  EXPECT_NEAR(radius, std::sqrt(0.5f), 1e-6f);
  mesh->Release();
  old->Release();
}

}  // namespace
