#pragma once
// A cube texture: six faces in the D3DCUBEMAP_FACES order, which is also OpenGL's face order.
#include "Platform/gfx/GfxTextureStore.h"

class GfxCubeTexture : public GfxRefCounted<IDirect3DCubeTexture9>
{
public:
    explicit GfxCubeTexture(std::unique_ptr<GfxImage> image) : m_Store(std::move(image), this) {}
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override { m_Store.PreLoad(); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return m_Store.Image().levels; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    GfxImage& Image() { return m_Store.Image(); }

private:
    ~GfxCubeTexture() override = default;
    GfxTextureStore m_Store;
};
