#pragma once
// Meshes of the helper library: vertex, index and attribute buffers on the device (managed, so they keep
// CPU copies), attribute tables, cloning to another declaration, adjacency, subsets drawn through the
// device and per-vertex tangents (bounds are the math layer's).
#include "Platform/gfx/D3DX9Effect.h"
#include "Platform/math/D3DXBoundsFunctions.h"  // D3DXComputeBoundingBox and D3DXComputeBoundingSphere
#include "Platform/math/D3DXVECTOR3.h"

#define MAX_FVF_DECL_SIZE 65
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_MANAGED (D3DXMESH_VB_MANAGED | D3DXMESH_IB_MANAGED)
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXTANGENT_GENERATE_IN_PLACE 0x400

// Stored in mesh files: five 32-bit fields.
struct D3DXATTRIBUTERANGE {
  DWORD AttribId;
  DWORD FaceStart;
  DWORD FaceCount;
  DWORD VertexStart;
  DWORD VertexCount;
};
static_assert(sizeof(D3DXATTRIBUTERANGE) == 20);

class ID3DXMesh : public IUnknown {
 public:
  virtual HRESULT DrawSubset(DWORD attribId) = 0;
  virtual DWORD GetNumFaces() = 0;
  virtual DWORD GetNumVertices() = 0;
  virtual DWORD GetNumBytesPerVertex() = 0;
  virtual DWORD GetOptions() = 0;
  virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) = 0;
  virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                            ID3DXMesh** clone) = 0;
  virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) = 0;
  virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) = 0;
  virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
  virtual HRESULT UnlockVertexBuffer() = 0;
  virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
  virtual HRESULT UnlockIndexBuffer() = 0;
  virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
  virtual HRESULT UnlockAttributeBuffer() = 0;
  virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
  virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) = 0;
  // Three entries per face: the face across each edge (0-1, 1-2, 2-0), or 0xFFFFFFFF. Vertices closer
  // than epsilon count as one.
  virtual HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) = 0;
};

HRESULT D3DXCreateMesh(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh);
// Per-vertex tangents from the uv derivatives of the faces, orthogonalised against the normal and
// normalised; written in place with D3DXTANGENT_GENERATE_IN_PLACE (then `meshOut` is left null), into a
// clone otherwise. Binormal and normal output, thresholds and vertex splitting are not offered: pass
// D3DX_DEFAULT for the binormal and normal semantics.
HRESULT D3DXComputeTangentFrameEx(ID3DXMesh* mesh, DWORD texInSemantic, DWORD texInIndex, DWORD tangentSemantic,
                                  DWORD tangentIndex, DWORD binormalSemantic, DWORD binormalIndex,
                                  DWORD normalSemantic, DWORD normalIndex, DWORD options, const DWORD* adjacency,
                                  float partialEdgeThreshold, float singularPointThreshold, float normalEdgeThreshold,
                                  ID3DXMesh** meshOut, ID3DXBuffer** vertexMapping);
