#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WeMaterial;

// The cache every part gets its materials from, by dotted name; owns each material it hands out.
class WeMaterialManager
{
public:
    WeMaterialManager();
    virtual ~WeMaterialManager();
    WeMaterialManager(const WeMaterialManager&) = delete;
    WeMaterialManager& operator=(const WeMaterialManager&) = delete;

    WeMaterial* GetMaterial(const WeString& name, bool reload, bool useDefault);
    bool Init();
    bool ReleaseMaterial(WeMaterial* material, bool force);
    void ReleaseAll(bool force);

    // Managed resources survive a reset: nothing to do, kept for the device's order of steps.
    void OnLostDevice() {}
    void OnResetDevice() {}

    // The largest size a texture of the slot is loaded at (0: no limit), from "game.Render.MaxTextureSize<n>".
    int32_t GetMaxTextureSize(int32_t slot);

    WeHashTable<WeMaterial*> m_Materials;
    WeMaterial* m_Default = nullptr;
    WeMaterial* m_Selection = nullptr;
    WeMaterial* m_DefaultParticleSystem = nullptr;
    int32_t m_MaxTextureSize[6] = {};

private:
    void Forget(WeMaterial* material);
    void ReadLimits();

    bool m_LimitsRead = false;
};

extern WeMaterialManager g_MaterialManager;
