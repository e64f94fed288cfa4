// The texture and image-file functions of D3DX.
#include <algorithm>
#include <cstring>

#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/D3dxBuffer.h"
#include "Platform/gfx_d3dx/D3dxTextureIO.h"
#include "Platform/gfx_d3dx/DdsFile.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Platform/gfx_d3dx/ImageFilter.h"
#include "Platform/gfx_d3dx/PixelCodec.h"
#include "Platform/system/SysFolder.h"

namespace
{

template <class T>
HRESULT CreateFromMemory(IDirect3DDevice9* device, const void* data, UINT bytes, ImageKind kind, UINT width,
                         UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                         D3DXIMAGE_INFO* info, T** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;
    ImageData img;
    HRESULT hr = D3dxTextureIO::Prepare(data, bytes, kind, width, height, depth, levels, format, &img, info);
    if (FAILED(hr))
        return hr;
    IDirect3DBaseTexture9* base = nullptr;
    hr = D3dxTextureIO::Create(device, img, usage, pool, &base);
    if (FAILED(hr))
        return hr;
    *texture = static_cast<T*>(base);
    return D3D_OK;
}

template <class T>
HRESULT CreateFromFile(IDirect3DDevice9* device, LPCSTR path, ImageKind kind, UINT width, UINT height, UINT depth,
                       UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DXIMAGE_INFO* info, T** texture)
{
    if (texture)
        *texture = nullptr;
    std::string bytes;
    if (!SysFolder::ReadWholeFile(path, &bytes))
        return D3DERR_NOTFOUND;
    return CreateFromMemory(device, bytes.data(), UINT(bytes.size()), kind, width, height, depth, levels, usage, format,
                            pool, info, texture);
}

// A surface's pixels as RGBA, through its lock or, for a render target, a system-memory copy.
bool ReadSurface(IDirect3DSurface9* surface, const RECT* rect, std::vector<float>* rgba, UINT* w, UINT* h)
{
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc)))
        return false;
    RECT r = rect ? *rect : RECT{0, 0, LONG(desc.Width), LONG(desc.Height)};
    if (r.left < 0 || r.top < 0 || r.right > LONG(desc.Width) || r.bottom > LONG(desc.Height) || r.left >= r.right ||
        r.top >= r.bottom)
        return false;
    IDirect3DSurface9* source = surface;
    IDirect3DSurface9* copy = nullptr;
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        IDirect3DDevice9* device = nullptr;
        if (FAILED(surface->GetDevice(&device)))
            return false;
        HRESULT hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                         nullptr);
        if (SUCCEEDED(hr))
            hr = device->GetRenderTargetData(surface, copy);
        device->Release();
        if (FAILED(hr) || FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        {
            if (copy)
                copy->Release();
            return false;
        }
        source = copy;
    }
    bool block = false;
    UINT texel = ImageData::TexelBytes(desc.Format, &block);
    ImageLevel lv;
    lv.width = desc.Width;
    lv.height = desc.Height;
    lv.rowPitch = UINT(locked.Pitch);
    lv.slicePitch = lv.rowPitch * (block ? (desc.Height + 3) / 4 : desc.Height);
    bool ok = texel != 0;
    if (ok)
    {
        lv.bytes.assign(static_cast<uint8_t*>(locked.pBits), static_cast<uint8_t*>(locked.pBits) + lv.slicePitch);
        std::vector<float> all;
        ok = PixelCodec::ToRgba(desc.Format, lv, &all);
        if (ok)
        {
            *w = UINT(r.right - r.left);
            *h = UINT(r.bottom - r.top);
            rgba->resize(size_t(*w) * *h * 4);
            for (UINT y = 0; y < *h; ++y)
                std::copy_n(&all[((size_t(r.top) + y) * desc.Width + size_t(r.left)) * 4], size_t(*w) * 4,
                            &(*rgba)[size_t(y) * *w * 4]);
        }
    }
    source->UnlockRect();
    if (copy)
        copy->Release();
    return ok;
}

}  // namespace

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT bytes, D3DXIMAGE_INFO* info)
{
    ImageData img;
    ImageFileType type;
    if (!info || !ImageFile::ReadInfo(data, bytes, &img, &type))
        return D3DXERR_INVALIDDATA;
    D3dxTextureIO::FillInfo(img, int(type), info);
    return D3D_OK;
}

HRESULT D3DXGetImageInfoFromFileA(LPCSTR path, D3DXIMAGE_INFO* info)
{
    std::string bytes;
    if (!SysFolder::ReadWholeFile(path, &bytes))
        return D3DERR_NOTFOUND;
    return D3DXGetImageInfoFromFileInMemory(bytes.data(), UINT(bytes.size()), info);
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device)
        return D3DERR_INVALIDCALL;
    if (width == 0 || width == D3DX_DEFAULT)
        width = 256;
    if (height == 0 || height == D3DX_DEFAULT)
        height = 256;
    if (levels == D3DX_DEFAULT)
        levels = 0;
    if (format == D3DFMT_UNKNOWN || format == D3DFMT_FROM_FILE)
        format = D3DFMT_A8R8G8B8;
    return device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR path, IDirect3DTexture9** texture)
{
    return CreateFromFile(device, path, ImageKind::Texture2D, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DX_DEFAULT, 0,
                          D3DFMT_UNKNOWN, D3DPOOL_MANAGED, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT levels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD, DWORD, D3DCOLOR,
                                     D3DXIMAGE_INFO* info, PALETTEENTRY*, IDirect3DTexture9** texture)
{
    return CreateFromFile(device, path, ImageKind::Texture2D, width, height, 1, levels, usage, format, pool, info,
                          texture);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                            UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                            IDirect3DTexture9** texture)
{
    return CreateFromMemory(device, data, bytes, ImageKind::Texture2D, width, height, 1, levels, usage, format, pool,
                            info, texture);
}

HRESULT D3DXCreateCubeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT size, UINT levels, DWORD usage,
                                         D3DFORMAT format, D3DPOOL pool, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO* info,
                                         PALETTEENTRY*, IDirect3DCubeTexture9** texture)
{
    return CreateFromFile(device, path, ImageKind::Cube, size, size, 1, levels, usage, format, pool, info, texture);
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT size,
                                                UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD, DWORD,
                                                D3DCOLOR, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                                IDirect3DCubeTexture9** texture)
{
    return CreateFromMemory(device, data, bytes, ImageKind::Cube, size, size, 1, levels, usage, format, pool, info,
                            texture);
}

HRESULT D3DXCreateVolumeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT depth,
                                           UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD, DWORD,
                                           D3DCOLOR, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                           IDirect3DVolumeTexture9** texture)
{
    return CreateFromFile(device, path, ImageKind::Volume, width, height, depth, levels, usage, format, pool, info,
                          texture);
}

HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                                  UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                                  D3DPOOL pool, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO* info,
                                                  PALETTEENTRY*, IDirect3DVolumeTexture9** texture)
{
    return CreateFromMemory(device, data, bytes, ImageKind::Volume, width, height, depth, levels, usage, format, pool,
                            info, texture);
}

HRESULT D3DXSaveTextureToFileInMemory(ID3DXBuffer** buffer, D3DXIMAGE_FILEFORMAT format, IDirect3DBaseTexture9* texture,
                                      const PALETTEENTRY*)
{
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (format != D3DXIFF_DDS || !texture)
        return D3DERR_INVALIDCALL;
    ImageData img;
    std::vector<uint8_t> bytes;
    if (!D3dxTextureIO::Read(texture, &img) || !DdsFile::Write(img, &bytes))
        return D3DERR_INVALIDCALL;
    *buffer = new D3dxBuffer(bytes.data(), bytes.size());
    return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface9* dest, const PALETTEENTRY*, const RECT* destRect,
                                   IDirect3DSurface9* source, const PALETTEENTRY*, const RECT* sourceRect, DWORD filter,
                                   D3DCOLOR)
{
    if (!dest || !source)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC dd{};
    if (FAILED(dest->GetDesc(&dd)))
        return D3DERR_INVALIDCALL;
    // Between render targets (the multisample resolve among them) the device copies on its own.
    if (dd.Usage & D3DUSAGE_RENDERTARGET)
    {
        IDirect3DDevice9* device = nullptr;
        if (FAILED(dest->GetDevice(&device)))
            return D3DERR_INVALIDCALL;
        D3DTEXTUREFILTERTYPE f = (filter & 0xFF) == D3DX_FILTER_POINT || (filter & 0xFF) == D3DX_FILTER_NONE
                                     ? D3DTEXF_POINT
                                     : D3DTEXF_LINEAR;
        HRESULT hr = device->StretchRect(source, sourceRect, dest, destRect, f);
        device->Release();
        return hr;
    }
    std::vector<float> rgba;
    UINT sw = 0, sh = 0;
    if (!ReadSurface(source, sourceRect, &rgba, &sw, &sh))
        return D3DERR_INVALIDCALL;
    RECT r = destRect ? *destRect : RECT{0, 0, LONG(dd.Width), LONG(dd.Height)};
    if (r.left < 0 || r.top < 0 || r.right > LONG(dd.Width) || r.bottom > LONG(dd.Height) || r.left >= r.right ||
        r.top >= r.bottom)
        return D3DERR_INVALIDCALL;
    UINT dw = UINT(r.right - r.left), dh = UINT(r.bottom - r.top);
    if (dw != sw || dh != sh)
        rgba = ImageFilter::Resize(rgba, sw, sh, 1, dw, dh, 1);
    // The destination is read, the rectangle replaced, and written back whole (blocks stay whole).
    std::vector<float> whole;
    UINT ww = 0, wh = 0;
    if (!ReadSurface(dest, nullptr, &whole, &ww, &wh))
        return D3DERR_INVALIDCALL;
    for (UINT y = 0; y < dh; ++y)
        std::copy_n(&rgba[size_t(y) * dw * 4], size_t(dw) * 4, &whole[((size_t(r.top) + y) * ww + size_t(r.left)) * 4]);
    ImageData img;
    img.format = dd.Format;
    img.width = dd.Width;
    img.height = dd.Height;
    if (!img.Layout() || !PixelCodec::FromRgba(dd.Format, whole, &img.subs[0]))
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked{};
    if (FAILED(dest->LockRect(&locked, nullptr, 0)))
        return D3DERR_INVALIDCALL;
    bool block = false;
    ImageData::TexelBytes(dd.Format, &block);
    UINT rows = block ? (dd.Height + 3) / 4 : dd.Height;
    for (UINT y = 0; y < rows; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch,
                    img.subs[0].bytes.data() + size_t(y) * img.subs[0].rowPitch, img.subs[0].rowPitch);
    dest->UnlockRect();
    return D3D_OK;
}

HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY*, UINT sourceLevel, DWORD)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    if (sourceLevel == D3DX_DEFAULT)
        sourceLevel = 0;
    ImageData img;
    if (!D3dxTextureIO::Read(texture, &img) || sourceLevel >= img.levels)
        return D3DERR_INVALIDCALL;
    if (img.levels == 1)
        return D3D_OK;
    if (!ImageFilter::BuildMips(&img, sourceLevel) || !D3dxTextureIO::Write(img, sourceLevel + 1, texture))
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT D3DXSaveSurfaceToFileA(LPCSTR path, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface,
                               const PALETTEENTRY* palette, const RECT* srcRect)
{
    if (path == nullptr || surface == nullptr || format != D3DXIFF_PNG || palette != nullptr || srcRect != nullptr)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc)) || (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8))
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return D3DERR_INVALIDCALL;
    const bool written = ImageFile::WritePng(path, desc.Width, desc.Height, locked.pBits, locked.Pitch);
    surface->UnlockRect();
    return written ? D3D_OK : E_FAIL;
}
