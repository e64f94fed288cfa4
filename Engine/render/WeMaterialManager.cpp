#include "Engine/render/WeMaterialManager.h"

#include <cstdio>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeTexture.h"

WeMaterialManager g_MaterialManager;

WeMaterialManager::WeMaterialManager() {}

WeMaterialManager::~WeMaterialManager()
{
    ReleaseAll(true);
}

void WeMaterialManager::ReadLimits()
{
    m_LimitsRead = true;
    for (int32_t i = 0; i < 6; ++i)
    {
        char key[64];
        std::snprintf(key, sizeof(key), "game.Render.MaxTextureSize%d", int(i));
        m_MaxTextureSize[i] = GetConfigInt(key, 0);
    }
}

int32_t WeMaterialManager::GetMaxTextureSize(int32_t slot)
{
    // Read on first use rather than at static initialisation, when the configuration is not loaded yet.
    if (!m_LimitsRead)
        ReadLimits();
    return slot >= 0 && slot < 6 ? m_MaxTextureSize[slot] : 0;
}

WeMaterial* WeMaterialManager::GetMaterial(const WeString& name, bool reload, bool useDefault)
{
    if (name.IsEmpty())
        return m_Default;
    WeString key = name.ToLower();
    bool persistent = IsBusy();
    WeMaterial* material = nullptr;
    bool found = m_Materials.Find(key, &material) && material != nullptr;
    if (found && !reload)
    {
        material->MarkPersistent(persistent);
        return material;
    }
    // Loaded aside: a cached material that fails to reload keeps what it had (never a null shader).
    WeMaterial* fresh = new WeMaterial();
    if (!fresh->Load(WeVirtualFileSystem::Instance(), name))
    {
        delete fresh;
        if (found)
            return material;
        if (useDefault)
        {
            WeDebugPrint("MISSING MATERIAL: %s\n", name.c_str());
            return m_Default;
        }
        return nullptr;
    }
    if (found)
    {
        uint8_t wasPersistent = material->m_Persistent;
        *material = *fresh;
        material->m_Persistent |= wasPersistent;
        delete fresh;
    }
    else
    {
        material = fresh;
        m_Materials.Insert(key, material);
    }
    material->MarkPersistent(persistent);
    return material;
}

bool WeMaterialManager::Init()
{
    ReadLimits();
    BeginBusy();
    m_Default = GetMaterial("Materials.Editor.Light", false, true);
    m_Selection = GetMaterial("Materials.Editor.Selection", false, true);
    m_DefaultParticleSystem = GetMaterial("MapEditor.Materials.DefaultParticleSystem", false, true);
    EndBusy();
    return m_Default != nullptr;
}

void WeMaterialManager::Forget(WeMaterial* material)
{
    if (material == m_Default)
        m_Default = nullptr;
    if (material == m_Selection)
        m_Selection = nullptr;
    if (material == m_DefaultParticleSystem)
        m_DefaultParticleSystem = nullptr;
}

bool WeMaterialManager::ReleaseMaterial(WeMaterial* material, bool force)
{
    if (m_Materials.Count() == 0 || material == nullptr)
        return false;
    if (force || !material->m_Persistent)
    {
        for (WeHashTable<WeMaterial*>::Entry* e = m_Materials.First(); e != nullptr; e = m_Materials.Next())
        {
            if (e->value == material)
            {
                WeString key = e->key;
                m_Materials.Remove(key);
                Forget(material);
                // The default stands in for every name that was missing; the others may point at it too.
                delete material;
                return true;
            }
        }
        return false;
    }
    for (int32_t i = 0; i < WeMaterial::TextureSlots; ++i)
        if (material->m_Textures[i] != nullptr && !material->m_Textures[i]->m_Persistent)
            material->m_Textures[i] = nullptr;
    return false;
}

void WeMaterialManager::ReleaseAll(bool force)
{
    WeHashTable<WeMaterial*>::Entry* e = m_Materials.First();
    while (e != nullptr)
    {
        WeMaterial* material = e->value;
        if (!force && material->m_Persistent)
        {
            for (int32_t i = 0; i < WeMaterial::TextureSlots; ++i)
                if (material->m_Textures[i] != nullptr && !material->m_Textures[i]->m_Persistent)
                    material->m_Textures[i] = nullptr;
            e = m_Materials.Next();
            continue;
        }
        // Removing the current entry moves the iterator on to the next one.
        WeString key = e->key;
        m_Materials.Remove(key);
        Forget(material);
        delete material;
        e = m_Materials.Current();
    }
    if (force)
        m_Materials.FreeNodes();
}
