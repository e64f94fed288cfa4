#include "Platform/gfx/GfxCubeTexture.h"

#include "Platform/gfx/GfxDevice.h"

HRESULT GfxCubeTexture::GetDevice(IDirect3DDevice9** device)
{
    if (!device || !Image().device)
        return D3DERR_INVALIDCALL;
    *device = Image().device;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GfxCubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (!desc || level >= Image().levels)
        return D3DERR_INVALIDCALL;
    GfxFillSurfaceDesc(Image(), level, desc);
    return D3D_OK;
}

HRESULT GfxCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface)
{
    if (!surface || face < 0)
        return D3DERR_INVALIDCALL;
    *surface = m_Store.Surface(UINT(face), level);
    return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GfxCubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                 DWORD flags)
{
    if (face < 0)
        return D3DERR_INVALIDCALL;
    return GfxLockSub(Image(), UINT(face), level, locked, rect, flags);
}

HRESULT GfxCubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level)
{
    if (face < 0)
        return D3DERR_INVALIDCALL;
    return GfxUnlockSub(Image(), UINT(face), level);
}
