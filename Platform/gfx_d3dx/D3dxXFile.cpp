// The .x functions of D3DX: meshes and frame hierarchies from text .x files.
#include <algorithm>
#include <cstring>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/D3dxAnimationController.h"
#include "Platform/gfx_d3dx/D3dxBuffer.h"
#include "Platform/gfx_d3dx/D3dxMesh.h"
#include "Platform/gfx_d3dx/D3dxSkinInfo.h"
#include "Platform/gfx_d3dx/XFileGeometry.h"
#include "Platform/gfx_d3dx/XFileReader.h"
#include "Platform/system/SysFolder.h"

namespace
{

static_assert(sizeof(XFileVertex) == 32, "XFileVertex is the vertex layout of loaded meshes");

const D3DVERTEXELEMENT9 LoadedDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

HRESULT CreateMesh(XFileGeometry* geometry, DWORD options, IDirect3DDevice9* device, ID3DXMesh** out)
{
    *out = nullptr;
    std::vector<D3DXATTRIBUTERANGE> table = geometry->SortByAttribute();
    const size_t faces = geometry->attributes.size(), vertices = geometry->vertices.size();
    if (faces == 0 || faces > 0xFFFFFFFFu / 3 || vertices > 0xFFFFFFFFu)
        return D3DXERR_INVALIDDATA;
    if (vertices > 0xFFFF)
        options |= D3DXMESH_32BIT;
    D3dxMesh* mesh = nullptr;
    HRESULT hr = D3dxMesh::Create(DWORD(faces), DWORD(vertices), options, LoadedDeclaration, device, &mesh);
    if (FAILED(hr))
        return hr;
    void* data = nullptr;
    if (SUCCEEDED(hr = mesh->LockVertexBuffer(0, &data)))
    {
        std::memcpy(data, geometry->vertices.data(), vertices * sizeof(XFileVertex));
        mesh->UnlockVertexBuffer();
        hr = mesh->LockIndexBuffer(0, &data);
    }
    if (SUCCEEDED(hr))
    {
        if (options & D3DXMESH_32BIT)
        {
            std::memcpy(data, geometry->indices.data(), geometry->indices.size() * 4);
        }
        else
        {
            for (size_t i = 0; i < geometry->indices.size(); ++i)
                static_cast<uint16_t*>(data)[i] = uint16_t(geometry->indices[i]);
        }
        mesh->UnlockIndexBuffer();
        DWORD* attributes = nullptr;
        hr = mesh->LockAttributeBuffer(0, &attributes);
        if (SUCCEEDED(hr))
        {
            std::copy(geometry->attributes.begin(), geometry->attributes.end(), attributes);
            mesh->UnlockAttributeBuffer();
            hr = mesh->SetAttributeTable(table.data(), DWORD(table.size()));
        }
    }
    if (FAILED(hr))
    {
        mesh->Release();
        return hr;
    }
    *out = mesh;
    return D3D_OK;
}

D3DMATERIAL9 MaterialOf(const XFileMaterial& m)
{
    D3DMATERIAL9 out{};
    out.Diffuse = {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a};
    out.Specular = {m.specular.x, m.specular.y, m.specular.z, 1.0f};
    out.Emissive = {m.emissive.x, m.emissive.y, m.emissive.z, 1.0f};
    out.Power = m.power;
    return out;
}

// A mesh's materials; a mesh without a material list has one default (white) material.
std::vector<XFileMaterial> MaterialsOf(const XFileMesh& mesh)
{
    return mesh.materials.empty() ? std::vector<XFileMaterial>(1) : mesh.materials;
}

// D3DXMATERIAL and D3DXEFFECTINSTANCE records with the texture names they point at, for one call.
struct MaterialRecords
{
    explicit MaterialRecords(const std::vector<XFileMaterial>& list) : textures(list.size())
    {
        for (size_t i = 0; i < list.size(); ++i)
            textures[i] = list[i].texture;
        for (size_t i = 0; i < list.size(); ++i)
        {
            materials.push_back({MaterialOf(list[i]), list[i].texture.empty() ? nullptr : textures[i].data()});
            effects.push_back({nullptr, 0, nullptr});
        }
    }
    std::vector<std::string> textures;
    std::vector<D3DXMATERIAL> materials;
    std::vector<D3DXEFFECTINSTANCE> effects;
};

// The materials as one buffer: the records, then the texture names they point at.
ID3DXBuffer* MaterialBuffer(const std::vector<XFileMaterial>& list)
{
    size_t bytes = list.size() * sizeof(D3DXMATERIAL);
    for (const XFileMaterial& m : list)
        if (!m.texture.empty())
            bytes += m.texture.size() + 1;
    auto* buffer = new D3dxBuffer(bytes);
    auto* records = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
    char* names = reinterpret_cast<char*>(records + list.size());
    for (size_t i = 0; i < list.size(); ++i)
    {
        records[i].MatD3D = MaterialOf(list[i]);
        records[i].pTextureFilename = nullptr;
        if (!list[i].texture.empty())
        {
            std::memcpy(names, list[i].texture.c_str(), list[i].texture.size() + 1);
            records[i].pTextureFilename = names;
            names += list[i].texture.size() + 1;
        }
    }
    return buffer;
}

ID3DXBuffer* EffectBuffer(size_t count)
{
    auto* buffer = new D3dxBuffer(count * sizeof(D3DXEFFECTINSTANCE));
    auto* records = static_cast<D3DXEFFECTINSTANCE*>(buffer->GetBufferPointer());
    for (size_t i = 0; i < count; ++i)
        records[i] = {nullptr, 0, nullptr};
    return buffer;
}

size_t CountFrames(const std::vector<XFileFrame>& frames)
{
    size_t count = frames.size();
    for (const XFileFrame& frame : frames)
        count += CountFrames(frame.children);
    return count;
}

bool Collect(const XFileFrame& frame, const D3DXMATRIX& parent, XFileGeometry* merged,
             std::vector<XFileMaterial>* materials)
{
    D3DXMATRIX combined = frame.transform * parent;
    for (const XFileMesh& mesh : frame.meshes)
    {
        if (mesh.faces.empty())
            continue;
        XFileGeometry geometry;
        if (!geometry.Build(mesh))
            return false;
        merged->Append(geometry, combined);
        std::vector<XFileMaterial> own = MaterialsOf(mesh);
        materials->insert(materials->end(), own.begin(), own.end());
    }
    for (const XFileFrame& child : frame.children)
        if (!Collect(child, combined, merged, materials))
            return false;
    return true;
}

class HierarchyBuilder
{
public:
    HierarchyBuilder(DWORD options, IDirect3DDevice9* device, ID3DXAllocateHierarchy* allocator)
        : m_Options(options), m_Device(device), m_Allocator(allocator)
    {
    }

    // The frame is linked into *slot as soon as it exists, so that a failure further down leaves a tree
    // that D3DXFrameDestroy can take apart.
    HRESULT Frame(const XFileFrame& in, D3DXFRAME** slot)
    {
        D3DXFRAME* frame = nullptr;
        HRESULT hr = m_Allocator->CreateFrame(in.name.c_str(), &frame);
        if (FAILED(hr))
            return hr;
        if (!frame)
            return E_FAIL;
        *slot = frame;
        frame->TransformationMatrix = in.transform;
        D3DXMESHCONTAINER** tail = &frame->pMeshContainer;
        for (const XFileMesh& mesh : in.meshes)
        {
            if (mesh.faces.empty())
                continue;
            while (*tail)
                tail = &(*tail)->pNextMeshContainer;
            if (FAILED(hr = Container(mesh, tail)))
                return hr;
        }
        D3DXFRAME** child = &frame->pFrameFirstChild;
        for (const XFileFrame& c : in.children)
        {
            while (*child)
                child = &(*child)->pFrameSibling;
            if (FAILED(hr = Frame(c, child)))
                return hr;
        }
        return D3D_OK;
    }

private:
    HRESULT Container(const XFileMesh& in, D3DXMESHCONTAINER** slot)
    {
        XFileGeometry geometry;
        std::vector<XFileSkinWeights> bones;
        if (!geometry.Build(in) || !geometry.SkinBones(in, &bones))
            return D3DXERR_INVALIDDATA;
        const DWORD vertices = DWORD(geometry.vertices.size());
        ID3DXMesh* mesh = nullptr;
        HRESULT hr = CreateMesh(&geometry, m_Options, m_Device, &mesh);
        if (FAILED(hr))
            return hr;
        std::vector<DWORD> adjacency(size_t(mesh->GetNumFaces()) * 3);
        mesh->GenerateAdjacency(0.0f, adjacency.data());
        ID3DXSkinInfo* skin = nullptr;
        if (in.hasSkinHeader || !in.skinWeights.empty())
        {
            std::vector<D3dxSkinInfo::Bone> list;
            for (XFileSkinWeights& b : bones)
                list.push_back(
                    {b.bone, b.offset, std::vector<DWORD>(b.vertices.begin(), b.vertices.end()), std::move(b.weights)});
            skin = new D3dxSkinInfo(vertices, std::move(list));
        }
        MaterialRecords records(MaterialsOf(in));
        D3DXMESHDATA data{D3DXMESHTYPE_MESH, mesh};
        D3DXMESHCONTAINER* container = nullptr;
        hr = m_Allocator->CreateMeshContainer(in.name.c_str(), &data, records.materials.data(), records.effects.data(),
                                              DWORD(records.materials.size()), adjacency.data(), skin, &container);
        mesh->Release();
        if (skin)
            skin->Release();
        if (FAILED(hr))
            return hr;
        *slot = container;
        return D3D_OK;
    }

    DWORD m_Options;
    IDirect3DDevice9* m_Device;
    ID3DXAllocateHierarchy* m_Allocator;
};

void RegisterTree(D3DXFRAME* frame, ID3DXAnimationController* controller, HRESULT* result)
{
    // Frame, its children, then its siblings: the order frames were created in, so the first frame of a
    // name is the one that keeps it.
    for (; frame; frame = frame->pFrameSibling)
    {
        if (frame->Name && *frame->Name)
        {
            HRESULT hr = controller->RegisterAnimationOutput(frame->Name, &frame->TransformationMatrix, nullptr,
                                                             nullptr, nullptr);
            if (FAILED(hr) && SUCCEEDED(*result))
                *result = hr;
        }
        RegisterTree(frame->pFrameFirstChild, controller, result);
    }
}

}  // namespace

HRESULT D3DXLoadMeshFromXA(LPCSTR path, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                           ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* numMaterials,
                           ID3DXMesh** mesh)
{
    for (ID3DXBuffer** out : {adjacency, materials, effectInstances})
        if (out)
            *out = nullptr;
    if (numMaterials)
        *numMaterials = 0;
    if (!mesh)
        return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;
    std::string text;
    if (!SysFolder::ReadWholeFile(path, &text))
        return D3DXERR_INVALIDDATA;
    XFileData data;
    if (!XFileReader::Read(text.data(), text.size(), &data))
        return D3DXERR_INVALIDDATA;
    XFileGeometry merged;
    std::vector<XFileMaterial> list;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (const XFileFrame& frame : data.frames)
        if (!Collect(frame, identity, &merged, &list))
            return D3DXERR_INVALIDDATA;
    HRESULT hr = CreateMesh(&merged, options, device, mesh);
    if (FAILED(hr))
        return hr;
    if (adjacency)
    {
        *adjacency = new D3dxBuffer(size_t((*mesh)->GetNumFaces()) * 3 * sizeof(DWORD));
        (*mesh)->GenerateAdjacency(0.0f, static_cast<DWORD*>((*adjacency)->GetBufferPointer()));
    }
    if (materials)
        *materials = MaterialBuffer(list);
    if (effectInstances)
        *effectInstances = EffectBuffer(list.size());
    if (numMaterials)
        *numMaterials = DWORD(list.size());
    return D3D_OK;
}

HRESULT D3DXLoadMeshHierarchyFromXInMemory(const void* bytes, DWORD size, DWORD options, IDirect3DDevice9* device,
                                           ID3DXAllocateHierarchy* allocator, ID3DXLoadUserData*, D3DXFRAME** rootFrame,
                                           ID3DXAnimationController** animationController)
{
    if (animationController)
        *animationController = nullptr;
    if (!rootFrame)
        return D3DERR_INVALIDCALL;
    *rootFrame = nullptr;
    if (!bytes || !device || !allocator)
        return D3DERR_INVALIDCALL;
    XFileData data;
    if (!XFileReader::Read(bytes, size, &data) || data.frames.empty())
        return D3DXERR_INVALIDDATA;
    HierarchyBuilder builder(options, device, allocator);
    D3DXFRAME* root = nullptr;
    D3DXFRAME** slot = &root;
    for (const XFileFrame& frame : data.frames)
    {
        while (*slot)
            slot = &(*slot)->pFrameSibling;
        HRESULT hr = builder.Frame(frame, slot);
        if (FAILED(hr))
        {
            if (root)
                D3DXFrameDestroy(root, allocator);
            return hr;
        }
    }
    if (animationController)
    {
        D3dxAnimationController* controller = D3dxAnimationController::Create(data, UINT(CountFrames(data.frames)));
        if (controller)
            D3DXFrameRegisterNamedMatrices(root, controller);
        *animationController = controller;
    }
    *rootFrame = root;
    return D3D_OK;
}

HRESULT D3DXFrameDestroy(D3DXFRAME* frame, ID3DXAllocateHierarchy* allocator)
{
    if (!frame || !allocator)
        return D3DERR_INVALIDCALL;
    HRESULT result = D3D_OK;
    while (frame)
    {
        D3DXFRAME* sibling = frame->pFrameSibling;
        for (D3DXMESHCONTAINER* container = frame->pMeshContainer; container;)
        {
            D3DXMESHCONTAINER* next = container->pNextMeshContainer;
            HRESULT hr = allocator->DestroyMeshContainer(container);
            if (FAILED(hr) && SUCCEEDED(result))
                result = hr;
            container = next;
        }
        if (frame->pFrameFirstChild)
        {
            HRESULT hr = D3DXFrameDestroy(frame->pFrameFirstChild, allocator);
            if (FAILED(hr) && SUCCEEDED(result))
                result = hr;
        }
        HRESULT hr = allocator->DestroyFrame(frame);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
        frame = sibling;
    }
    return result;
}

HRESULT D3DXFrameRegisterNamedMatrices(D3DXFRAME* root, ID3DXAnimationController* controller)
{
    if (!root || !controller)
        return D3DERR_INVALIDCALL;
    HRESULT result = D3D_OK;
    RegisterTree(root, controller, &result);
    return result;
}
