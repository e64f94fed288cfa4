#include "Engine/render/WeMesh.h"

#include <cstring>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/math/D3DXBoundsFunctions.h"
#include "Platform/window/WinUser.h"

namespace
{

const D3DVERTEXELEMENT9 Internal[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 44, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END(),
};

const D3DVERTEXELEMENT9 Legacy[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    {0, 32, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    {0, 44, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_BINORMAL, 0},
    {0, 56, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
    D3DDECL_END(),
};

template <typename T>
void ReleaseObject(T*& object)
{
    if (object != nullptr)
        object->Release();
    object = nullptr;
}

// Bytes left in the open member from the stream's position.
int64_t Remaining(WeFileStream& s)
{
    int64_t left = s.GetEndLimit() - s.Tell();
    return left > 0 ? left : 0;
}

// Truncation toward zero that never leaves the int range: NaN gives 0, out-of-range values clamp.
int32_t TruncateToInt(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0f)
        return INT32_MAX;
    if (v <= -2147483648.0f)
        return INT32_MIN;
    return int32_t(v);
}

// One shared adjacency buffer for every tangent computation, as the meshes are computed one at a time.
std::vector<DWORD>& AdjacencyBuffer()
{
    static std::vector<DWORD> buffer;
    return buffer;
}

}  // namespace

const D3DVERTEXELEMENT9* WeMesh::InternalDeclaration()
{
    return Internal;
}

const D3DVERTEXELEMENT9* WeMesh::LegacyDeclaration()
{
    return Legacy;
}

WeMesh::WeMesh() {}

WeMesh::~WeMesh()
{
    ReleaseGeometry();
}

void WeMesh::ReleaseGeometry()
{
    ReleaseObject(m_Mesh);
    for (ID3DXMesh*& lod : m_LodMeshes)
        ReleaseObject(lod);
    m_LodMeshes.clear();
    m_LastDrawn = nullptr;
    ReleaseObject(m_VertexBuffer);
    ReleaseObject(m_IndexBuffer);
}

void WeMesh::ClearPresets()
{
    for (WeMaterialPreset& p : m_Presets)
    {
        for (int32_t i = 0; i < WeMaterialPreset::Entries; ++i)
        {
            p.names[i] = "";
            p.materials[i] = nullptr;
            p.resolved[i] = 0;
        }
    }
    for (uint32_t& mask : m_ReflectiveMask)
        mask = 0;
}

void WeMesh::TakeFrom(WeMesh& other)
{
    ReleaseGeometry();
    m_Mesh = other.m_Mesh;
    other.m_Mesh = nullptr;
    m_LodMeshes.swap(other.m_LodMeshes);
    m_VertexBuffer = other.m_VertexBuffer;
    other.m_VertexBuffer = nullptr;
    m_IndexBuffer = other.m_IndexBuffer;
    other.m_IndexBuffer = nullptr;
    m_SubsetCount = other.m_SubsetCount;
    std::memcpy(m_AttributeTable, other.m_AttributeTable, sizeof(m_AttributeTable));
    for (int32_t p = 0; p < PresetCount; ++p)
    {
        m_Presets[p] = other.m_Presets[p];
        m_ReflectiveMask[p] = other.m_ReflectiveMask[p];
    }
    m_BoxMin = other.m_BoxMin;
    m_BoxMax = other.m_BoxMax;
    m_SphereCenter = other.m_SphereCenter;
    m_SphereRadius = other.m_SphereRadius;
    m_VertexCount = other.m_VertexCount;
    m_FaceCount = other.m_FaceCount;
    m_Name = other.m_Name;
    m_Loaded = other.m_Loaded;
    m_Property1 = other.m_Property1;
    m_Property2 = other.m_Property2;
    m_Property3 = other.m_Property3;
    m_Property4 = other.m_Property4;
    m_Property5 = other.m_Property5;
    m_Property6 = other.m_Property6;
    m_Property7 = other.m_Property7;
}

bool WeMesh::Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages)
{
    // Loaded into a fresh mesh and taken over only when whole, so a failed reload of a shared mesh keeps
    // the geometry its users are drawing.
    WeMesh fresh;
    fresh.m_Name = name;
    bool ok = fromPackages ? fresh.ReadMeshFile(vfs, name) : fresh.ReadXFile(name);
    if (!ok)
        return false;
    fresh.ComputeBounds();
    fresh.RefreshBuffers(!fromPackages);
    fresh.m_Loaded = 1;
    TakeFrom(fresh);
    return true;
}

bool WeMesh::ReadMeshFile(WeVirtualFileSystem* vfs, const WeString& name)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (vfs == nullptr || device == nullptr || !vfs->Open(name, FileType))
        return false;
    WeFileStream& s = *vfs->GetStream();
    s.ClearShortRead();
    auto fail = [&]()
    {
        vfs->Close();
        return false;
    };
    int32_t version = s.ReadInt32();
    if (version <= 4)
    {
        WeDebugPrint("Invalid version of mesh %s\n", name.c_str());
        return fail();
    }
    const int32_t vertexCount = s.ReadInt32();
    const int32_t faceCount = s.ReadInt32();
    if (vertexCount <= 0 || faceCount <= 0)
        return fail();
    if (version >= 12 && (vertexCount >= VertexLimit || faceCount >= FaceLimit))
        return fail();
    const bool legacyVertices = version >= 11 && version <= 13;
    const bool wideIndices = version <= 13;
    const uint32_t stride = legacyVertices ? LegacyStride : InternalStride;
    const int64_t indexCount = int64_t(faceCount) * 3;
    // Every count is checked against what the member holds before anything is allocated.
    const int64_t needed =
        int64_t(vertexCount) * stride + indexCount * (wideIndices ? 4 : 2) + int64_t(faceCount) * 4 + 4;
    if (needed > Remaining(s) || (!wideIndices && vertexCount > 0xFFFF))
        return fail();

    std::vector<uint8_t> vertices(size_t(vertexCount) * stride);
    s.Read(vertices.data(), int64_t(vertices.size()));
    std::vector<uint32_t> indices(static_cast<size_t>(indexCount));
    for (uint32_t& index : indices)
        index = wideIndices ? uint32_t(s.ReadInt32()) : s.ReadUInt16();
    // An index past the vertices would be read out of range by the GPU, the tangents and the cooking.
    for (uint32_t index : indices)
        if (index >= uint32_t(vertexCount))
            return fail();
    std::vector<DWORD> attributes(static_cast<size_t>(faceCount));
    for (DWORD& a : attributes)
        a = DWORD(s.ReadInt32());

    if (version <= 6)
        m_Property2 = s.ReadInt32();
    else if (version <= 9)
    {
        m_Property2 = s.ReadInt32();
        m_Property3 = s.ReadInt32();
        m_Property4 = s.ReadInt32();
        m_Property5 = s.ReadFloat();
        if (version == 9)
            m_Property6 = s.ReadFloat();
        m_Property7 = version == 7 ? TruncateToInt(s.ReadFloat()) : s.ReadInt32();
    }
    else
    {
        m_Property1 = uint8_t(s.ReadByte());
        m_Property2 = s.ReadInt32();
        m_Property3 = s.ReadInt32();
        m_Property4 = s.ReadInt32();
        m_Property5 = s.ReadFloat();
        m_Property6 = s.ReadFloat();
        m_Property7 = s.ReadInt32();
    }

    const int32_t tableSize = s.ReadInt32();
    if (tableSize < 0 || tableSize > MaxSubsets || int64_t(tableSize) * 20 > Remaining(s))
        return fail();
    for (int32_t i = 0; i < tableSize; ++i)
    {
        D3DXATTRIBUTERANGE& r = m_AttributeTable[i];
        r.AttribId = DWORD(s.ReadInt32());
        r.FaceStart = DWORD(s.ReadInt32());
        r.FaceCount = DWORD(s.ReadInt32());
        r.VertexStart = DWORD(s.ReadInt32());
        r.VertexCount = DWORD(s.ReadInt32());
        if (uint64_t(r.FaceStart) + r.FaceCount > uint64_t(faceCount) ||
            uint64_t(r.VertexStart) + r.VertexCount > uint64_t(vertexCount))
            return fail();
    }
    m_SubsetCount = tableSize;

    for (int32_t p = 0; p < PresetCount; ++p)
    {
        int32_t count = tableSize;
        if (version <= 11)
        {
            count = s.ReadInt32();
            // An empty string takes two bytes, which bounds a believable count.
            if (count < 0 || int64_t(count) * 2 > Remaining(s))
                return fail();
        }
        for (int32_t i = 0; i < count; ++i)
        {
            WeString text = s.ReadString();
            // The table holds 16 entries; names beyond them are read and dropped.
            if (i < WeMaterialPreset::Entries)
                m_Presets[p].names[i] = text;
        }
    }
    if (version >= 6 && version <= 12)
    {
        // Stored bounds are recomputed from the vertices.
        float ignored[10];
        for (float& f : ignored)
            f = s.ReadFloat();
    }
    bool shortRead = s.HadShortRead();
    vfs->Close();
    if (shortRead)
        return false;

    ID3DXMesh* mesh = nullptr;
    DWORD options = D3DXMESH_MANAGED | (wideIndices ? D3DXMESH_32BIT : 0);
    if (FAILED(D3DXCreateMesh(DWORD(faceCount), DWORD(vertexCount), options, legacyVertices ? Legacy : Internal, device,
                              &mesh)))
        return false;
    void* data = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(0, &data)))
    {
        std::memcpy(data, vertices.data(), vertices.size());
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(mesh->LockIndexBuffer(0, &data)))
    {
        if (wideIndices)
            std::memcpy(data, indices.data(), indices.size() * 4);
        else
            for (size_t i = 0; i < indices.size(); ++i)
                static_cast<uint16_t*>(data)[i] = uint16_t(indices[i]);
        mesh->UnlockIndexBuffer();
    }
    DWORD* ids = nullptr;
    if (SUCCEEDED(mesh->LockAttributeBuffer(0, &ids)))
    {
        std::memcpy(ids, attributes.data(), attributes.size() * sizeof(DWORD));
        mesh->UnlockAttributeBuffer();
    }
    if (FAILED(mesh->SetAttributeTable(m_AttributeTable, DWORD(tableSize))))
    {
        mesh->Release();
        return false;
    }
    m_Mesh = mesh;
    // The newest files hold the internal format with its tangents already.
    if (version >= 14)
        return true;
    return ToInternalFormat();
}

bool WeMesh::ReadXFile(const WeString& name)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    ID3DXMesh* mesh = nullptr;
    if (device == nullptr ||
        FAILED(D3DXLoadMeshFromXA(name.c_str(), D3DXMESH_MANAGED, device, nullptr, nullptr, nullptr, nullptr, &mesh)))
    {
        MessageBoxA(nullptr, "Cannot load X Files", "Error", 0);
        return false;
    }
    DWORD size = 0;
    mesh->GetAttributeTable(nullptr, &size);
    if (size > DWORD(MaxSubsets))
    {
        WeString text = WeString("Too many materials in mesh ") + name;
        MessageBoxA(nullptr, text.c_str(), "Error", 0);
        mesh->Release();
        return false;
    }
    m_Mesh = mesh;
    return ToInternalFormat();
}

bool WeMesh::ToInternalFormat()
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    ID3DXMesh* clone = nullptr;
    // The index width is kept: old files may address more vertices than 16 bits reach.
    DWORD options = D3DXMESH_MANAGED | (m_Mesh->GetOptions() & D3DXMESH_32BIT);
    if (FAILED(m_Mesh->CloneMesh(options, Internal, device, &clone)))
    {
        WeDebugPrint("Cannot convert mesh %s to internal format\n", m_Name.c_str());
        ReleaseObject(m_Mesh);
        return false;
    }
    ReleaseObject(m_Mesh);
    m_Mesh = clone;
    if (!ComputeTangents())
    {
        WeDebugPrint("Cannot compute tangents for mesh %s\n", m_Name.c_str());
        ReleaseObject(m_Mesh);
        return false;
    }
    return true;
}

bool WeMesh::ComputeTangents()
{
    if (m_Mesh == nullptr)
        return false;
    std::vector<DWORD>& adjacency = AdjacencyBuffer();
    adjacency.assign(size_t(m_Mesh->GetNumFaces()) * 3, 0);
    HRESULT hr = m_Mesh->GenerateAdjacency(0.001f, adjacency.data());
    if (SUCCEEDED(hr))
        hr = D3DXComputeTangentFrameEx(m_Mesh, D3DDECLUSAGE_TEXCOORD, 0, D3DDECLUSAGE_TANGENT, 0, D3DX_DEFAULT, 0,
                                       D3DX_DEFAULT, 0, D3DXTANGENT_GENERATE_IN_PLACE, adjacency.data(), -1.01f, 0.0f,
                                       -1.01f, nullptr, nullptr);
    if (FAILED(hr))
    {
        MessageBoxA(nullptr, "Error computing tangents", "Error", 0);
        return false;
    }
    return true;
}

void WeMesh::ComputeBounds()
{
    if (m_Mesh == nullptr)
        return;
    void* data = nullptr;
    if (FAILED(m_Mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)))
        return;
    const D3DXVECTOR3* positions = static_cast<const D3DXVECTOR3*>(data);
    uint32_t count = m_Mesh->GetNumVertices();
    uint32_t stride = m_Mesh->GetNumBytesPerVertex();
    D3DXVECTOR3 boxMin, boxMax, centre;
    float radius = 0.0f;
    if (D3DXComputeBoundingBox(positions, count, stride, &boxMin, &boxMax))
    {
        m_BoxMin = boxMin;
        m_BoxMax = boxMax;
    }
    if (D3DXComputeBoundingSphere(positions, count, stride, &centre, &radius))
    {
        m_SphereCenter = centre;
        m_SphereRadius = radius;
    }
    m_Mesh->UnlockVertexBuffer();
}

void WeMesh::RefreshBuffers(bool withAttributeTable)
{
    ReleaseObject(m_VertexBuffer);
    ReleaseObject(m_IndexBuffer);
    if (m_Mesh == nullptr)
    {
        m_VertexCount = 0;
        m_FaceCount = 0;
        return;
    }
    m_Mesh->GetVertexBuffer(&m_VertexBuffer);
    m_Mesh->GetIndexBuffer(&m_IndexBuffer);
    m_VertexCount = int32_t(m_Mesh->GetNumVertices());
    m_FaceCount = int32_t(m_Mesh->GetNumFaces());
    if (withAttributeTable)
    {
        DWORD size = 0;
        m_Mesh->GetAttributeTable(nullptr, &size);
        std::vector<D3DXATTRIBUTERANGE> table(size);
        if (size > 0)
            m_Mesh->GetAttributeTable(table.data(), &size);
        m_SubsetCount = int32_t(size < DWORD(MaxSubsets) ? size : DWORD(MaxSubsets));
        for (int32_t i = 0; i < m_SubsetCount; ++i)
            m_AttributeTable[i] = table[size_t(i)];
    }
}

void WeMesh::SetMesh(ID3DXMesh* mesh, bool withAttributeTable)
{
    if (mesh != m_Mesh)
    {
        ReleaseObject(m_Mesh);
        m_Mesh = mesh;
    }
    m_LastDrawn = nullptr;
    ComputeBounds();
    RefreshBuffers(withAttributeTable);
    m_Loaded = m_Mesh != nullptr ? 1 : 0;
}

void WeMesh::CopyFrom(WeMesh* other)
{
    if (other == nullptr || other == this)
        return;
    m_SubsetCount = other->m_SubsetCount;
    std::memcpy(m_AttributeTable, other->m_AttributeTable, sizeof(m_AttributeTable));
    for (int32_t p = 0; p < PresetCount; ++p)
    {
        for (int32_t i = 0; i < WeMaterialPreset::Entries; ++i)
        {
            m_Presets[p].names[i] = other->m_Presets[p].names[i];
            m_Presets[p].materials[i] = nullptr;
            m_Presets[p].resolved[i] = 0;
        }
        m_ReflectiveMask[p] = 0;
    }
    m_FaceCount = other->m_FaceCount;
    m_VertexCount = other->m_VertexCount;
    m_Name = other->m_Name;
    ReleaseGeometry();
    if (other->m_Mesh == nullptr)
        return;
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    ID3DXMesh* clone = nullptr;
    DWORD options = D3DXMESH_MANAGED | (other->m_Mesh->GetOptions() & D3DXMESH_32BIT);
    if (FAILED(other->m_Mesh->GetDeclaration(declaration)) ||
        FAILED(other->m_Mesh->CloneMesh(options, declaration, nullptr, &clone)))
        return;
    SetMesh(clone, false);
}

void WeMesh::SetPresetMaterial(int32_t subset, int32_t preset, bool useGivenName, const WeString& name, bool force)
{
    // Entries exist for the subsets of the table only.
    if (subset < 0 || subset >= m_SubsetCount)
        return;
    int32_t first = preset;
    int32_t last = preset;
    if (preset == AllPresets)
    {
        first = 0;
        last = PresetCount - 1;
    }
    else if (preset < 0 || preset >= PresetCount)
    {
        WeDebugPrint("INVALID PRESET: %s => %d\n", m_Name.c_str(), int(preset));
        first = last = 0;
    }
    for (int32_t p = first; p <= last; ++p)
    {
        WeMaterialPreset& entry = m_Presets[p];
        if (entry.resolved[subset] && !force)
            continue;
        WeString wanted = useGivenName ? name : entry.names[subset];
        WeMaterial* material = g_MaterialManager.GetMaterial(wanted, false, false);
        if (material != nullptr)
            entry.names[subset] = material->m_Name;
        else
        {
            WeDebugPrint("MISSING MATERIAL: Mesh [%s], Preset %d, Attribute %d => [%s]\n", m_Name.c_str(), int(p),
                         int(subset), wanted.c_str());
            material = g_MaterialManager.m_Default;
            if (useGivenName)
                entry.names[subset] = name;
        }
        entry.materials[subset] = material;
        if (material != nullptr && material->m_Reflective)
            m_ReflectiveMask[p] |= 1u << subset;
        else
            m_ReflectiveMask[p] &= ~(1u << subset);
        entry.resolved[subset] = 1;
    }
}

void WeMesh::SetPreset(int32_t preset, bool force)
{
    for (int32_t i = 0; i < m_SubsetCount; ++i)
        SetPresetMaterial(i, preset, false, WeString(), force);
}

void WeMesh::DrawSubset(int32_t subset, float distance)
{
    if (m_Mesh == nullptr || subset < 0 || subset >= m_SubsetCount)
        return;
    ID3DXMesh* mesh = m_Mesh;
    const int32_t count = int32_t(m_LodMeshes.size());
    if (count > 0)
    {
        int32_t index = 0;
        if (distance >= m_LodDistance)
            index = count - 1;
        else if (distance > 0.0f && m_LodDistance > 0.0f)
        {
            index = int32_t(distance / (m_LodDistance / float(count)));
            if (index >= count)
                index = count - 1;
        }
        if (m_LodMeshes[size_t(index)] != nullptr)
            mesh = m_LodMeshes[size_t(index)];
    }
    m_LastDrawn = mesh;
    mesh->DrawSubset(m_AttributeTable[subset].AttribId);
}

void WeMesh::MarkPersistent(bool persistent)
{
    if (persistent)
        m_Persistent = 1;
    for (WeMaterialPreset& p : m_Presets)
        for (WeMaterial* material : p.materials)
            if (material != nullptr)
                material->MarkPersistent(persistent);
}

bool WeMesh::LockVertexBuffer(void** data, DWORD flags)
{
    return m_Mesh != nullptr && SUCCEEDED(m_Mesh->LockVertexBuffer(flags, data));
}

bool WeMesh::UnlockVertexBuffer()
{
    return m_Mesh != nullptr && SUCCEEDED(m_Mesh->UnlockVertexBuffer());
}

bool WeMesh::LockIndexBuffer(void** data, DWORD flags)
{
    return m_Mesh != nullptr && SUCCEEDED(m_Mesh->LockIndexBuffer(flags, data));
}

bool WeMesh::UnlockIndexBuffer()
{
    return m_Mesh != nullptr && SUCCEEDED(m_Mesh->UnlockIndexBuffer());
}

uint32_t WeMesh::GetVertexSize() const
{
    return m_Mesh != nullptr ? m_Mesh->GetNumBytesPerVertex() : 0;
}

uint32_t WeMesh::GetIndexSize() const
{
    if (m_Mesh == nullptr)
        return 0;
    return (m_Mesh->GetOptions() & D3DXMESH_32BIT) ? 4 : 2;
}

int32_t WeMesh::GetVertexCount() const
{
    return m_Mesh != nullptr ? int32_t(m_Mesh->GetNumVertices()) : 0;
}

int32_t WeMesh::GetFaceCount() const
{
    return m_Mesh != nullptr ? int32_t(m_Mesh->GetNumFaces()) : 0;
}
