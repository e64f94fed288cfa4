#pragma once
// A surface: one face and level of a texture (sharing the texture's reference count, as the container keeps
// it alive), or a stand-alone render target, depth-stencil, system-memory or back-buffer surface.
#include <memory>

#include "Platform/gfx/GfxImage.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxSurface : public GfxRefCounted<IDirect3DSurface9>
{
public:
    // Stand-alone: the surface owns its image.
    explicit GfxSurface(std::unique_ptr<GfxImage> image);
    // Part of a texture: the container owns the image and this object.
    GfxSurface(GfxImage* image, UINT face, UINT level, IUnknown* container);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    GfxImage* Image() const { return m_Image; }
    UINT Face() const { return m_Face; }
    UINT Level() const { return m_Level; }
    UINT Width() const;
    UINT Height() const;
    // Deletes a surface owned by its container (never through Release).
    void DestroyByContainer() { delete this; }

private:
    ~GfxSurface() override;

    std::unique_ptr<GfxImage> m_Owned;
    GfxImage* m_Image;
    UINT m_Face = 0, m_Level = 0;
    IUnknown* m_Container = nullptr;
};

// Shared lock and unlock of one face and level, used by surfaces and textures alike.
HRESULT GfxLockSub(GfxImage& image, UINT face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
HRESULT GfxUnlockSub(GfxImage& image, UINT face, UINT level);
void GfxFillSurfaceDesc(const GfxImage& image, UINT level, D3DSURFACE_DESC* desc);
