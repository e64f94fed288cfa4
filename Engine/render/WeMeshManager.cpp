#include "Engine/render/WeMeshManager.h"

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"

WeMeshManager g_MeshManager;

WeMeshManager::WeMeshManager() {}

WeMeshManager::~WeMeshManager()
{
    ReleaseAll(true);
}

WeMesh* WeMeshManager::GetMesh(const WeString& name, bool reload)
{
    if (name.IsEmpty())
        return m_Default;
    WeString key = name.ToLower();
    bool persistent = IsBusy();
    WeMesh* mesh = nullptr;
    if (m_Meshes.Find(key, &mesh) && mesh != nullptr)
    {
        // A failed reload keeps the geometry the mesh had.
        if (reload)
            mesh->Load(WeVirtualFileSystem::Instance(), name, true);
        mesh->MarkPersistent(persistent);
        return mesh;
    }
    mesh = new WeMesh();
    if (!mesh->Load(WeVirtualFileSystem::Instance(), name, true))
    {
        delete mesh;
        WeDebugPrint("MISSING MESH: %s\n", name.c_str());
        return m_Default;
    }
    m_Meshes.Insert(key, mesh);
    mesh->MarkPersistent(persistent);
    return mesh;
}

bool WeMeshManager::Init()
{
    BeginBusy();
    m_Default = GetMesh(DefaultMeshName, false);
    EndBusy();
    m_Initialized = 1;
    return m_Default != nullptr;
}

void WeMeshManager::DropTransientMaterials(WeMesh* mesh)
{
    for (WeMaterialPreset& p : mesh->m_Presets)
        for (int32_t i = 0; i < WeMaterialPreset::Entries; ++i)
            if (p.materials[i] != nullptr && !p.materials[i]->m_Persistent)
            {
                p.materials[i] = nullptr;
                p.resolved[i] = 0;
            }
}

bool WeMeshManager::ReleaseMesh(WeMesh* mesh, bool force)
{
    if (m_Meshes.Count() == 0 || mesh == nullptr)
        return false;
    if (!force && mesh->m_Persistent)
    {
        DropTransientMaterials(mesh);
        return false;
    }
    for (WeHashTable<WeMesh*>::Entry* e = m_Meshes.First(); e != nullptr; e = m_Meshes.Next())
    {
        if (e->value == mesh)
        {
            WeString key = e->key;
            m_Meshes.Remove(key);
            if (mesh == m_Default)
                m_Default = nullptr;
            delete mesh;
            return true;
        }
    }
    return false;
}

void WeMeshManager::ReleaseAll(bool force)
{
    WeHashTable<WeMesh*>::Entry* e = m_Meshes.First();
    while (e != nullptr)
    {
        WeMesh* mesh = e->value;
        if (!force && mesh->m_Persistent)
        {
            DropTransientMaterials(mesh);
            e = m_Meshes.Next();
            continue;
        }
        // Removing the current entry moves the iterator on to the next one.
        WeString key = e->key;
        m_Meshes.Remove(key);
        if (mesh == m_Default)
            m_Default = nullptr;
        delete mesh;
        e = m_Meshes.Current();
    }
    if (force)
    {
        m_Meshes.FreeNodes();
        m_Initialized = 0;
    }
}
