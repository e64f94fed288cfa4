#pragma once
// A 2-D texture with its mip chain.
#include "Platform/gfx/GfxTextureStore.h"

class GfxTexture : public GfxRefCounted<IDirect3DTexture9>
{
public:
    explicit GfxTexture(std::unique_ptr<GfxImage> image) : m_Store(std::move(image), this) {}
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override { m_Store.PreLoad(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return m_Store.Image().levels; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    GfxImage& Image() { return m_Store.Image(); }

private:
    ~GfxTexture() override = default;
    GfxTextureStore m_Store;
};

// The image behind any of the three texture kinds made by this layer (null for null).
GfxImage* GfxTextureImage(IDirect3DBaseTexture9* texture);
