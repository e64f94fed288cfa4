#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"
#include "Platform/gfx/D3D9.h"

class WeTexture;

// The cache every part gets its textures from, by dotted name; owns each texture it hands out.
class WeTextureManager
{
public:
    WeTextureManager();
    virtual ~WeTextureManager();
    WeTextureManager(const WeTextureManager&) = delete;
    WeTextureManager& operator=(const WeTextureManager&) = delete;

    WeTexture* GetTexture(const WeString& name, bool reload, int32_t maximumSize, bool useDefault);
    WeTexture* CreateTexture(int32_t width, int32_t height, D3DFORMAT format, int32_t usage, D3DPOOL pool,
                             int32_t mipLevels, bool registerIt);
    WeTexture* CreateEmpty(bool registerIt);
    // Destroys only a texture the table holds (found by value): one made unregistered is its maker's to delete,
    // and a pointer handed back twice is never read.
    void ReleaseTexture(WeTexture* texture, bool force);
    void ReleaseAll(bool force);
    void SetQualityLevel(int32_t level);
    bool Init();

    void OnLostDevice();
    void OnResetDevice();

    // The name whose load failed last (the device's error text names it).
    const WeString& GetMissingName() const { return m_Missing; }
    const WeString& GetTextureFolder();

    WeHashTable<WeTexture*> m_Textures;
    int32_t m_QualityLevel = 2;
    int32_t m_SecondSwitch = 1;  // written by the game from its options; nothing here reads it
    WeTexture* m_DefaultBlack = nullptr;
    WeTexture* m_DefaultWhite = nullptr;

private:
    void Register(WeTexture* texture);

    WeString m_Folder;
    bool m_FolderRead = false;
    WeString m_Missing;
};

extern WeTextureManager g_TextureManager;
