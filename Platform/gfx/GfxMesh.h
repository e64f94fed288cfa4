#pragma once
// A mesh: one vertex buffer in its declaration, one index buffer (16- or 32-bit), a face attribute buffer
// and the attribute table.
#include <vector>

#include "Platform/gfx/D3DX9Mesh.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxMesh : public GfxRefCounted<ID3DXMesh> {
 public:
  GfxMesh(IDirect3DDevice9* device, DWORD options, const std::vector<D3DVERTEXELEMENT9>& declaration, UINT stride);
  // Creates the buffers; false when the device refuses them.
  bool Init(DWORD faces, DWORD vertices);

  HRESULT DrawSubset(DWORD attribId) override;
  DWORD GetNumFaces() override { return m_Faces; }
  DWORD GetNumVertices() override { return m_Vertices; }
  DWORD GetNumBytesPerVertex() override { return m_Stride; }
  DWORD GetOptions() override { return m_Options; }
  HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                    ID3DXMesh** clone) override;
  HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
  HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
  HRESULT LockVertexBuffer(DWORD flags, void** data) override;
  HRESULT UnlockVertexBuffer() override;
  HRESULT LockIndexBuffer(DWORD flags, void** data) override;
  HRESULT UnlockIndexBuffer() override;
  HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
  HRESULT UnlockAttributeBuffer() override;
  HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
  HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;
  HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;

  const std::vector<D3DVERTEXELEMENT9>& Elements() const { return m_Elements; }
  // The index of a face corner, whatever the index size.
  DWORD Index(const void* indices, size_t at) const;

 private:
  ~GfxMesh() override;
  IDirect3DDevice9* m_Device;
  DWORD m_Options;
  std::vector<D3DVERTEXELEMENT9> m_Elements;  // without the end marker
  UINT m_Stride;
  DWORD m_Faces = 0, m_Vertices = 0;
  IDirect3DVertexBuffer9* m_VertexBuffer = nullptr;
  IDirect3DIndexBuffer9* m_IndexBuffer = nullptr;
  IDirect3DVertexDeclaration9* m_Declaration = nullptr;
  std::vector<DWORD> m_Attributes;
  std::vector<D3DXATTRIBUTERANGE> m_Table;
  bool m_AttributesLocked = false;
};

// The offset of an element of a usage in a declaration, or -1 (and its type).
int GfxFindElement(const std::vector<D3DVERTEXELEMENT9>& elements, BYTE usage, BYTE usageIndex, BYTE* type = nullptr);
