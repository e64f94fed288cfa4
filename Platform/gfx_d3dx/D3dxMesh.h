#pragma once
// ID3DXMesh: a triangle list in device vertex and index buffers (managed pool, so locks always work and a
// CPU copy survives), a per-face attribute buffer and an attribute table naming the subsets.
#include <vector>

#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class D3dxMesh : public GfxRefCounted<ID3DXMesh>
{
public:
    static HRESULT Create(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                          IDirect3DDevice9* device, D3dxMesh** mesh);

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return m_Faces; }
    DWORD GetNumVertices() override { return m_Vertices; }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override;
    DWORD GetNumBytesPerVertex() override { return m_Stride; }
    DWORD GetOptions() override { return m_Options; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                      ID3DXMesh** clone) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

    const std::vector<D3DVERTEXELEMENT9>& Elements() const { return m_Elements; }
    // The element of a usage and index in the declaration, or null.
    const D3DVERTEXELEMENT9* Find(BYTE usage, BYTE index) const;
    // Vertex indices of face f (reads the locked-free CPU copy through a read-only lock).
    bool ReadIndices(std::vector<uint32_t>* indices);

private:
    D3dxMesh() = default;
    ~D3dxMesh() override;

    IDirect3DDevice9* m_Device = nullptr;
    IDirect3DVertexDeclaration9* m_Declaration = nullptr;
    IDirect3DVertexBuffer9* m_VB = nullptr;
    IDirect3DIndexBuffer9* m_IB = nullptr;
    std::vector<D3DVERTEXELEMENT9> m_Elements;  // with the end marker
    std::vector<DWORD> m_Attributes;
    std::vector<D3DXATTRIBUTERANGE> m_Table;
    DWORD m_Faces = 0, m_Vertices = 0, m_Options = 0, m_Stride = 0;
};
