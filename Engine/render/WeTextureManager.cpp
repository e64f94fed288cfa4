#include "Engine/render/WeTextureManager.h"

#include <cstdio>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeTexture.h"
#include "Platform/system/SysPath.h"

WeTextureManager g_TextureManager;

WeTextureManager::WeTextureManager() {}

WeTextureManager::~WeTextureManager()
{
    ReleaseAll(true);
}

const WeString& WeTextureManager::GetTextureFolder()
{
    // Read on first use rather than in the constructor: static initialisation must not load the configuration.
    if (!m_FolderRead)
    {
        m_FolderRead = true;
        m_Folder = GetConfigString("MapEditor.Textures.Dir", "");
        if (m_Folder.IsEmpty())
            m_Folder = SysPath::Join(GetExeFolder().c_str(), "_Textures").c_str();
    }
    return m_Folder;
}

void WeTextureManager::Register(WeTexture* texture)
{
    char key[32];
    std::snprintf(key, sizeof(key), "auto-%016llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(texture)));
    m_Textures.Insert(key, texture);
}

WeTexture* WeTextureManager::GetTexture(const WeString& name, bool reload, int32_t maximumSize, bool useDefault)
{
    if (name.IsEmpty())
        return m_DefaultBlack;
    WeString key = name.ToLower();
    bool persistent = IsBusy();
    WeTexture* texture = nullptr;
    bool found = m_Textures.Find(key, &texture) && texture != nullptr;
    if (found && !reload)
    {
        texture->MarkPersistent(persistent);
        return texture;
    }
    if (!found)
        texture = new WeTexture();
    // Marked before it loads: a texture handed out inside the load scope is never scaled by the quality level,
    // its first load included.
    texture->MarkPersistent(persistent);
    if (!texture->Load(WeVirtualFileSystem::Instance(), name, true, m_QualityLevel, WeTexture::KeepLevel, maximumSize))
    {
        m_Missing = name;
        if (!found)
            delete texture;
        if (useDefault)
        {
            WeDebugPrint("MISSING TEXTURE: %s\n", name.c_str());
            return m_DefaultBlack;
        }
        return found ? texture : nullptr;
    }
    texture->MarkPersistent(persistent);
    if (!found)
        m_Textures.Insert(key, texture);
    return texture;
}

WeTexture* WeTextureManager::CreateTexture(int32_t width, int32_t height, D3DFORMAT format, int32_t usage, D3DPOOL pool,
                                           int32_t mipLevels, bool registerIt)
{
    WeTexture* texture = new WeTexture();
    WeTextureCreateRecord record = {width, height, format, usage, pool, mipLevels};
    if (!texture->Init(record))
    {
        delete texture;
        return nullptr;
    }
    texture->MarkPersistent(IsBusy());
    if (registerIt)
        Register(texture);
    return texture;
}

WeTexture* WeTextureManager::CreateEmpty(bool registerIt)
{
    WeTexture* texture = new WeTexture();
    if (registerIt)
        Register(texture);
    return texture;
}

void WeTextureManager::ReleaseTexture(WeTexture* texture, bool force)
{
    if (m_Textures.Count() == 0 || texture == nullptr)
        return;
    // Only a texture found in the table is dereferenced: callers hand back pointers already released.
    for (WeHashTable<WeTexture*>::Entry* e = m_Textures.First(); e != nullptr; e = m_Textures.Next())
    {
        if (e->value == texture)
        {
            if (!force && texture->m_Persistent)
                return;
            m_Textures.Remove(e->key);
            if (texture == m_DefaultBlack)
                m_DefaultBlack = nullptr;
            if (texture == m_DefaultWhite)
                m_DefaultWhite = nullptr;
            delete texture;
            return;
        }
    }
}

void WeTextureManager::ReleaseAll(bool force)
{
    WeHashTable<WeTexture*>::Entry* e = m_Textures.First();
    while (e != nullptr)
    {
        WeTexture* texture = e->value;
        if (!force && texture->m_Persistent)
        {
            e = m_Textures.Next();
            continue;
        }
        // Removing the current entry moves the iterator on to the next one.
        WeString key = e->key;
        m_Textures.Remove(key);
        if (texture == m_DefaultBlack)
            m_DefaultBlack = nullptr;
        if (texture == m_DefaultWhite)
            m_DefaultWhite = nullptr;
        delete texture;
        e = m_Textures.Current();
    }
    if (force)
        m_Textures.FreeNodes();
}

void WeTextureManager::SetQualityLevel(int32_t level)
{
    if (level == m_QualityLevel)
        return;
    m_QualityLevel = level;
    for (WeHashTable<WeTexture*>::Entry* e = m_Textures.First(); e != nullptr; e = m_Textures.Next())
        e->value->Reload(level, WeTexture::KeepLevel);
}

bool WeTextureManager::Init()
{
    BeginBusy();
    m_DefaultBlack = GetTexture("MapEditor.Textures.DefaultBlack1x1", false, 0, false);
    if (m_DefaultBlack == nullptr)
        m_Missing = "MapEditor.Textures.DefaultBlack1x1";
    m_DefaultWhite = GetTexture("MapEditor.Textures.DefaultWhite1x1", false, 0, false);
    if (m_DefaultWhite == nullptr && m_DefaultBlack != nullptr)
        m_Missing = "MapEditor.Textures.DefaultWhite1x1";
    EndBusy();
    return m_DefaultBlack != nullptr && m_DefaultWhite != nullptr;
}

void WeTextureManager::OnLostDevice()
{
    for (WeHashTable<WeTexture*>::Entry* e = m_Textures.First(); e != nullptr; e = m_Textures.Next())
        e->value->OnLostDevice();
}

void WeTextureManager::OnResetDevice()
{
    for (WeHashTable<WeTexture*>::Entry* e = m_Textures.First(); e != nullptr; e = m_Textures.Next())
        e->value->OnResetDevice();
}
