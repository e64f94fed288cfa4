// Feeds arbitrary declarations, counts and contents to the D3DX mesh calls on the recording device. The
// input: an element count byte, five bytes an element (offset as two, type, usage, usage index), faces and
// vertices as two bytes each, a flags byte (32-bit indices, full counts); what follows fills the vertices,
// indices and attributes. Each mesh made is then locked, filled, described, cloned, given tangents and drawn
// subset by subset.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Tests/fuzz/FuzzDevice.h"

namespace
{
struct Reader
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    uint16_t Word() { return uint16_t(Byte() | (Byte() << 8)); }
    // Copies what remains (zeros past the end) into the destination, as far as it reaches.
    void Fill(void* destination, size_t bytes)
    {
        const size_t n = std::min(bytes, size - std::min(at, size));
        std::memset(destination, 0, bytes);
        if (n)
            std::memcpy(destination, data + at, n);
        at += n;
    }
};

void Exercise(ID3DXMesh* mesh, Reader& in, IDirect3DDevice9* device)
{
    const DWORD faces = mesh->GetNumFaces(), vertices = mesh->GetNumVertices();
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    void* bytes = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(0, &bytes)))
    {
        in.Fill(bytes, size_t(vertices) * mesh->GetNumBytesPerVertex());
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(mesh->LockIndexBuffer(0, &bytes)))
    {
        in.Fill(bytes, size_t(faces) * 3 * (wide ? 4 : 2));
        mesh->UnlockIndexBuffer();
    }
    DWORD* attributes = nullptr;
    if (SUCCEEDED(mesh->LockAttributeBuffer(0, &attributes)))
    {
        for (DWORD f = 0; f < faces; ++f)
            attributes[f] = in.Byte() % 4;
        mesh->UnlockAttributeBuffer();
    }
    std::vector<DWORD> adjacency(size_t(faces) * 3);
    mesh->GenerateAdjacency(0.0f, adjacency.data());
    D3DXATTRIBUTERANGE table[4];
    for (DWORD i = 0; i < 4; ++i)
        table[i] = {i, in.Word(), in.Word(), in.Word(), in.Word()};
    mesh->SetAttributeTable(table, in.Byte() % 5);
    DWORD count = 4;
    mesh->GetAttributeTable(table, &count);
    D3DXComputeTangentFrameEx(mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0, D3DX_DEFAULT, 0,
                              D3DXTANGENT_GENERATE_IN_PLACE, adjacency.data(), -1.01f, -0.01f, -1.01f, nullptr,
                              nullptr);
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    mesh->GetDeclaration(declaration);
    ID3DXMesh* clone = nullptr;
    if (SUCCEEDED(mesh->CloneMesh(mesh->GetOptions() ^ D3DXMESH_32BIT, declaration, device, &clone)) && clone)
        clone->Release();
    for (DWORD subset = 0; subset < 4; ++subset)
        mesh->DrawSubset(subset);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IDirect3DDevice9* device = FuzzRecordingDevice();
    Reader in{data, size};
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    const size_t elements = in.Byte() % 8;
    for (size_t i = 0; i < elements; ++i)
    {
        const WORD offset = in.Word();
        const BYTE type = in.Byte(), usage = in.Byte(), index = in.Byte();
        declaration[i] = {0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index};
    }
    declaration[elements] = D3DDECL_END();
    DWORD faces = in.Word(), vertices = in.Word();
    const uint8_t flags = in.Byte();
    const DWORD options = flags & 1 ? D3DXMESH_32BIT : 0;
    // Most meshes are kept small, so that runs stay many a second; a flag lets the full counts through.
    if (!(flags & 2))
    {
        faces &= 0x3FF;
        vertices &= 0x3FF;
    }
    ID3DXMesh* mesh = nullptr;
    if (SUCCEEDED(D3DXCreateMesh(faces, vertices, options | D3DXMESH_MANAGED, declaration, device, &mesh)) && mesh)
    {
        Exercise(mesh, in, device);
        mesh->Release();
    }
    return 0;
}
