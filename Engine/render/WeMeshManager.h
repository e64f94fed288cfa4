#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WeMesh;

// The cache every part gets its meshes from, by dotted name; owns each mesh it hands out.
class WeMeshManager
{
public:
    static constexpr const char* DefaultMeshName = "MapEditor.Geometry.Box";

    WeMeshManager();
    virtual ~WeMeshManager();
    WeMeshManager(const WeMeshManager&) = delete;
    WeMeshManager& operator=(const WeMeshManager&) = delete;

    // An empty name gives the default mesh; so does a name that fails to load (with a "MISSING MESH" report).
    WeMesh* GetMesh(const WeString& name, bool reload);
    bool Init();
    bool ReleaseMesh(WeMesh* mesh, bool force);
    void ReleaseAll(bool force);

    // Managed resources survive a reset: nothing to do, kept for the device's order of steps.
    void OnLostDevice() {}
    void OnResetDevice() {}

    int32_t m_Initialized = 0;
    WeHashTable<WeMesh*> m_Meshes;
    WeMesh* m_Default = nullptr;

private:
    // Drops the links of a kept mesh to materials that are going away.
    static void DropTransientMaterials(WeMesh* mesh);
};

extern WeMeshManager g_MeshManager;
