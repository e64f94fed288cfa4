#include "Platform/gfx/GfxTexture.h"

#include "Platform/gfx/GfxCubeTexture.h"
#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/gfx/GfxVolumeTexture.h"

HRESULT GfxTexture::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !Image().device)
        return D3DERR_INVALIDCALL;
    *device = Image().device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GfxTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (!desc || level >= Image().levels)
        return D3DERR_INVALIDCALL;
    GfxFillSurfaceDesc(Image(), level, desc);
    return D3D_OK;
}

HRESULT GfxTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = m_Store.Surface(0, level);
    return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GfxTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    // Tests refuse locks through the recorder; nothing is ever queued for the other backends.
    if (g_GfxRecorder.ShouldFail("LockRect"))
        return D3DERR_INVALIDCALL;
    return GfxLockSub(Image(), 0, level, locked, rect, flags);
}

HRESULT GfxTexture::UnlockRect(UINT level)
{
    return GfxUnlockSub(Image(), 0, level);
}

GfxImage* GfxTextureImage(IDirect3DBaseTexture9* texture)
{
    if (!texture)
        return nullptr;
    switch (texture->GetType())
    {
    case D3DRTYPE_TEXTURE: return &static_cast<GfxTexture*>(texture)->Image();
    case D3DRTYPE_CUBETEXTURE: return &static_cast<GfxCubeTexture*>(texture)->Image();
    case D3DRTYPE_VOLUMETEXTURE: return &static_cast<GfxVolumeTexture*>(texture)->Image();
    default: return nullptr;
    }
}
