#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeMaterial;
class WeVirtualFileSystem;

// One material per subset for one look of a mesh; entry i belongs to subset i.
struct WeMaterialPreset
{
    static constexpr int32_t Entries = 16;

    WeString names[Entries];
    WeMaterial* materials[Entries] = {};
    uint8_t resolved[Entries] = {};
};

// One static triangle mesh in the engine's 52-byte vertex format, its subsets (attribute table), 30
// material presets naming a material per subset, and its bounds. Read from mesh files (every version
// from 5) or, for tools, from a text .x file.
class WeMesh
{
public:
    static constexpr int32_t FileType = 5;
    static constexpr int32_t NewestVersion = 14;
    static constexpr int32_t MaxSubsets = 16;
    static constexpr int32_t PresetCount = 30;
    // Preset index that stands for every preset at once.
    static constexpr int32_t AllPresets = 30;
    // Files from version 12 on hold fewer vertices and faces than these.
    static constexpr int32_t VertexLimit = 60000;
    static constexpr int32_t FaceLimit = 20000;
    // The internal vertex: position 0, normal 12, texture coordinates 0 at 24, tangent 32, texture
    // coordinates 1 at 44. Cloth and the physics handles copy these vertices as they are.
    static constexpr uint32_t InternalStride = 52;
    // The older 64-byte vertex: a binormal at 44 and texture coordinates 1 at 56.
    static constexpr uint32_t LegacyStride = 64;

    // The internal declaration (end-marked, InternalStride bytes).
    static const D3DVERTEXELEMENT9* InternalDeclaration();
    static const D3DVERTEXELEMENT9* LegacyDeclaration();

    WeMesh();
    virtual ~WeMesh();
    WeMesh(const WeMesh&) = delete;
    WeMesh& operator=(const WeMesh&) = delete;

    // Shares nothing: clones the other's geometry and copies its table and preset names (not the
    // resolved materials).
    virtual void CopyFrom(WeMesh* other);

    // From the packages (file type 5), else from a .x file path. Loaded aside: on failure this mesh keeps
    // whatever it had and false is returned.
    bool Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages);
    // Takes ownership of the mesh (which must be in the internal format), then bounds and buffers.
    void SetMesh(ID3DXMesh* mesh, bool withAttributeTable);
    bool ComputeTangents();
    void ComputeBounds();
    void RefreshBuffers(bool withAttributeTable);

    void SetPresetMaterial(int32_t subset, int32_t preset, bool useGivenName, const WeString& name, bool force);
    void SetPreset(int32_t preset, bool force);
    // Draws the subset's attribute id from the mesh the distance picks (see the level-of-detail fields).
    void DrawSubset(int32_t subset, float distance);
    void MarkPersistent(bool persistent);

    // Accessors: false, or 0, without geometry.
    bool LockVertexBuffer(void** data, DWORD flags);
    bool UnlockVertexBuffer();
    bool LockIndexBuffer(void** data, DWORD flags);
    bool UnlockIndexBuffer();
    uint32_t GetVertexSize() const;
    // 4 for 32-bit indices, 2 for 16-bit.
    uint32_t GetIndexSize() const;
    int32_t GetVertexCount() const;
    int32_t GetFaceCount() const;
    bool HasGeometry() const { return m_Mesh != nullptr; }
    // Drops the geometry, the level-of-detail meshes and the buffers.
    void ReleaseGeometry();

    ID3DXMesh* m_Mesh = nullptr;
    // Optional coarser meshes (owned). Distances 0 to m_LodDistance are split evenly between them.
    std::vector<ID3DXMesh*> m_LodMeshes;
    ID3DXMesh* m_LastDrawn = nullptr;
    IDirect3DVertexBuffer9* m_VertexBuffer = nullptr;
    IDirect3DIndexBuffer9* m_IndexBuffer = nullptr;
    uint8_t m_Persistent = 0;
    int32_t m_SubsetCount = 0;
    D3DXATTRIBUTERANGE m_AttributeTable[MaxSubsets] = {};
    WeMaterialPreset m_Presets[PresetCount];
    D3DXVECTOR3 m_BoxMin = {0, 0, 0};
    D3DXVECTOR3 m_BoxMax = {0, 0, 0};
    D3DXVECTOR3 m_SphereCenter = {0, 0, 0};
    float m_SphereRadius = 0.0f;
    int32_t m_VertexCount = 0;
    int32_t m_FaceCount = 0;
    WeString m_Name;
    uint8_t m_Loaded = 0;
    float m_LodDistance = 1000.0f;
    float m_LodFactor = 0.8f;
    // The seven properties a mesh file carries; kept as read, the engine gives them no meaning.
    uint8_t m_Property1 = 0;
    int32_t m_Property2 = 64;
    int32_t m_Property3 = 0;
    int32_t m_Property4 = 0;
    float m_Property5 = 1.0f;
    float m_Property6 = 5.0f;
    int32_t m_Property7 = 2;
    // Per preset: bit i set when subset i's material is reflective.
    uint32_t m_ReflectiveMask[PresetCount] = {};

private:
    bool ReadMeshFile(WeVirtualFileSystem* vfs, const WeString& name);
    bool ReadXFile(const WeString& name);
    bool ToInternalFormat();
    // Moves the geometry, table, presets and properties of other into this mesh.
    void TakeFrom(WeMesh& other);
    void ClearPresets();
};
