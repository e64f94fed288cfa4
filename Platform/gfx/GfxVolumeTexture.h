#pragma once
// A volume texture; its levels are handed out as GfxVolume objects sharing the texture's reference count.
#include <vector>

#include "Platform/gfx/GfxTextureStore.h"

class GfxVolumeTexture;

class GfxVolume : public IDirect3DVolume9
{
public:
    GfxVolume(GfxVolumeTexture* owner, UINT level) : m_Owner(owner), m_Level(level) {}
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DVOLUME_DESC* desc) override;
    HRESULT LockBox(D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox() override;
    ~GfxVolume() override = default;

private:
    GfxVolumeTexture* m_Owner;
    UINT m_Level;
};

class GfxVolumeTexture : public GfxRefCounted<IDirect3DVolumeTexture9>
{
public:
    explicit GfxVolumeTexture(std::unique_ptr<GfxImage> image);
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override { m_Store.PreLoad(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VOLUMETEXTURE; }
    DWORD GetLevelCount() override { return m_Store.Image().levels; }
    HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;
    HRESULT GetVolumeLevel(UINT level, IDirect3DVolume9** volume) override;
    HRESULT LockBox(UINT level, D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox(UINT level) override;
    GfxImage& Image() { return m_Store.Image(); }

private:
    ~GfxVolumeTexture() override;
    GfxTextureStore m_Store;
    std::vector<GfxVolume*> m_Volumes;
};
