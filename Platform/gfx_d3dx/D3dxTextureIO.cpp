#include "Platform/gfx_d3dx/D3dxTextureIO.h"

#include <algorithm>
#include <cstring>

#include "Platform/gfx/GfxFormat.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Platform/gfx_d3dx/ImageFilter.h"
#include "Platform/gfx_d3dx/PixelCodec.h"

namespace
{

bool IsDefault(UINT v)
{
    return v == 0 || v == D3DX_DEFAULT || v == D3DX_DEFAULT_NONPOW2 || v == D3DX_FROM_FILE;
}

void CopyRows(const uint8_t* src, size_t srcPitch, uint8_t* dst, size_t dstPitch, size_t rowBytes, size_t rows)
{
    for (size_t r = 0; r < rows; ++r)
        std::memcpy(dst + r * dstPitch, src + r * srcPitch, rowBytes);
}

size_t Rows(const ImageData& img, const ImageLevel& lv)
{
    bool block = false;
    ImageData::TexelBytes(img.format, &block);
    return block ? (lv.height + 3) / 4 : lv.height;
}

// Face 0, level 0 (slice 0 of a volume) as a 2-D image.
ImageData FirstFace(const ImageData& src, ImageKind kind)
{
    ImageData out;
    out.kind = kind;
    out.format = src.format;
    out.width = src.width;
    out.height = src.height;
    out.depth = 1;
    out.levels = 1;
    out.faces = kind == ImageKind::Cube ? 6 : 1;
    if (!out.Layout())
        return out;
    for (uint32_t f = 0; f < out.faces; ++f)
    {
        const ImageLevel& s = src.Sub(0, 0);
        std::memcpy(out.Sub(f, 0).bytes.data(), s.bytes.data(), out.Sub(f, 0).bytes.size());
    }
    return out;
}

// A level of a render-target texture, which has no lock: copied to system memory by the device first.
HRESULT LockThroughCopy(IDirect3DTexture9* texture, UINT level, IDirect3DSurface9** copy, D3DLOCKED_RECT* locked)
{
    *copy = nullptr;
    IDirect3DSurface9* surface = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DSURFACE_DESC desc{};
    HRESULT hr = texture->GetSurfaceLevel(level, &surface);
    if (SUCCEEDED(hr))
        hr = surface->GetDesc(&desc);
    if (SUCCEEDED(hr))
        hr = surface->GetDevice(&device);
    if (SUCCEEDED(hr))
        hr =
            device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, copy, nullptr);
    if (SUCCEEDED(hr))
        hr = device->GetRenderTargetData(surface, *copy);
    if (SUCCEEDED(hr))
        hr = (*copy)->LockRect(locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(hr) && *copy)
    {
        (*copy)->Release();
        *copy = nullptr;
    }
    if (device)
        device->Release();
    if (surface)
        surface->Release();
    return hr;
}

}  // namespace

void D3dxTextureIO::FillInfo(const ImageData& file, int type, D3DXIMAGE_INFO* info)
{
    if (!info)
        return;
    info->Width = file.width;
    info->Height = file.height;
    info->Depth = file.depth;
    info->MipLevels = file.levels;
    info->Format = file.format;
    info->ResourceType = file.kind == ImageKind::Cube     ? D3DRTYPE_CUBETEXTURE
                         : file.kind == ImageKind::Volume ? D3DRTYPE_VOLUMETEXTURE
                                                          : D3DRTYPE_TEXTURE;
    info->ImageFileFormat = D3DXIMAGE_FILEFORMAT(type);
}

HRESULT D3dxTextureIO::Prepare(const void* data, size_t bytes, ImageKind kind, UINT width, UINT height, UINT depth,
                               UINT levels, D3DFORMAT format, ImageData* out, D3DXIMAGE_INFO* info)
{
    ImageData file;
    ImageFileType type;
    if (!data || !ImageFile::Decode(data, bytes, &file, &type))
        return D3DXERR_INVALIDDATA;
    FillInfo(file, int(type), info);
    // A 2-D texture from a cube or volume file takes its first face; a cube needs a cube file.
    if (kind == ImageKind::Cube && file.kind != ImageKind::Cube)
        return D3DXERR_INVALIDDATA;
    if (kind != file.kind)
    {
        if (kind == ImageKind::Volume)
        {
            if (file.kind != ImageKind::Texture2D)
                return D3DXERR_INVALIDDATA;
            file.kind = ImageKind::Volume;  // one slice: the levels are laid out alike
        }
        else
        {
            file = FirstFace(file, kind);
            if (file.subs.empty())
                return D3DXERR_INVALIDDATA;
        }
    }
    uint32_t w = IsDefault(width) ? file.width : width;
    uint32_t h = kind == ImageKind::Cube ? w : IsDefault(height) ? file.height : height;
    uint32_t d = kind != ImageKind::Volume ? 1 : IsDefault(depth) ? file.depth : depth;
    D3DFORMAT f = format == D3DFMT_FROM_FILE || format == D3DFMT_UNKNOWN ? file.format : format;
    if (!GfxFormat::Find(f))
        f = f == D3DFMT_R8G8B8 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
    if (!GfxFormat::Find(f))
        return D3DERR_INVALIDCALL;
    uint32_t full = ImageData::FullChain(w, h, d);
    uint32_t n = levels == D3DX_FROM_FILE ? file.levels : (levels == 0 || levels == D3DX_DEFAULT) ? full : levels;
    if (n > full)
        n = full;
    if (w == file.width && h == file.height && d == file.depth && f == file.format)
    {
        // The file's own levels, as many as wanted; missing ones are built from the last it has.
        ImageData img = file;
        img.levels = n;
        if (!img.Layout())
            return D3DXERR_INVALIDDATA;
        uint32_t have = std::min(n, file.levels);
        for (uint32_t face = 0; face < img.faces; ++face)
            for (uint32_t l = 0; l < have; ++l)
                img.Sub(face, l).bytes = file.Sub(face, l).bytes;
        if (have < n && !ImageFilter::BuildMips(&img, have - 1))
            return D3DXERR_INVALIDDATA;
        *out = std::move(img);
        return D3D_OK;
    }
    if (!ImageFilter::Rebuild(file, w, h, d, f, n, out))
        return D3DXERR_INVALIDDATA;
    return D3D_OK;
}

HRESULT D3dxTextureIO::Create(IDirect3DDevice9* device, const ImageData& img, DWORD usage, D3DPOOL pool,
                              IDirect3DBaseTexture9** texture)
{
    *texture = nullptr;
    HRESULT hr = D3DERR_INVALIDCALL;
    if (img.kind == ImageKind::Texture2D)
    {
        IDirect3DTexture9* t = nullptr;
        hr = device->CreateTexture(img.width, img.height, img.levels, usage, img.format, pool, &t, nullptr);
        *texture = t;
    }
    else if (img.kind == ImageKind::Cube)
    {
        IDirect3DCubeTexture9* t = nullptr;
        hr = device->CreateCubeTexture(img.width, img.levels, usage, img.format, pool, &t, nullptr);
        *texture = t;
    }
    else
    {
        IDirect3DVolumeTexture9* t = nullptr;
        hr = device->CreateVolumeTexture(img.width, img.height, img.depth, img.levels, usage, img.format, pool, &t,
                                         nullptr);
        *texture = t;
    }
    if (FAILED(hr))
        return hr;
    if (!Write(img, 0, *texture))
    {
        (*texture)->Release();
        *texture = nullptr;
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

bool D3dxTextureIO::Read(IDirect3DBaseTexture9* texture, ImageData* img)
{
    if (!texture)
        return false;
    D3DRESOURCETYPE type = texture->GetType();
    img->levels = texture->GetLevelCount();
    if (type == D3DRTYPE_TEXTURE)
    {
        auto* t = static_cast<IDirect3DTexture9*>(texture);
        D3DSURFACE_DESC desc{};
        if (FAILED(t->GetLevelDesc(0, &desc)))
            return false;
        img->kind = ImageKind::Texture2D;
        img->format = desc.Format;
        img->width = desc.Width;
        img->height = desc.Height;
        img->depth = 1;
        img->faces = 1;
    }
    else if (type == D3DRTYPE_CUBETEXTURE)
    {
        auto* t = static_cast<IDirect3DCubeTexture9*>(texture);
        D3DSURFACE_DESC desc{};
        if (FAILED(t->GetLevelDesc(0, &desc)))
            return false;
        img->kind = ImageKind::Cube;
        img->format = desc.Format;
        img->width = img->height = desc.Width;
        img->depth = 1;
        img->faces = 6;
    }
    else if (type == D3DRTYPE_VOLUMETEXTURE)
    {
        auto* t = static_cast<IDirect3DVolumeTexture9*>(texture);
        D3DVOLUME_DESC desc{};
        if (FAILED(t->GetLevelDesc(0, &desc)))
            return false;
        img->kind = ImageKind::Volume;
        img->format = desc.Format;
        img->width = desc.Width;
        img->height = desc.Height;
        img->depth = desc.Depth;
        img->faces = 1;
    }
    else
    {
        return false;
    }
    if (!img->Layout())
        return false;
    for (uint32_t f = 0; f < img->faces; ++f)
        for (uint32_t l = 0; l < img->levels; ++l)
        {
            ImageLevel& lv = img->Sub(f, l);
            size_t rows = Rows(*img, lv);
            if (type == D3DRTYPE_VOLUMETEXTURE)
            {
                auto* t = static_cast<IDirect3DVolumeTexture9*>(texture);
                D3DLOCKED_BOX box{};
                if (FAILED(t->LockBox(l, &box, nullptr, D3DLOCK_READONLY)))
                    return false;
                for (uint32_t z = 0; z < lv.depth; ++z)
                    CopyRows(static_cast<uint8_t*>(box.pBits) + size_t(z) * box.SlicePitch, box.RowPitch,
                             lv.bytes.data() + size_t(z) * lv.slicePitch, lv.rowPitch, lv.rowPitch, rows);
                t->UnlockBox(l);
                continue;
            }
            D3DLOCKED_RECT r{};
            HRESULT hr = type == D3DRTYPE_TEXTURE
                             ? static_cast<IDirect3DTexture9*>(texture)->LockRect(l, &r, nullptr, D3DLOCK_READONLY)
                             : static_cast<IDirect3DCubeTexture9*>(texture)->LockRect(D3DCUBEMAP_FACES(f), l, &r,
                                                                                      nullptr, D3DLOCK_READONLY);
            if (FAILED(hr) && type == D3DRTYPE_TEXTURE)
            {
                IDirect3DSurface9* copy = nullptr;
                if (FAILED(LockThroughCopy(static_cast<IDirect3DTexture9*>(texture), l, &copy, &r)))
                    return false;
                CopyRows(static_cast<uint8_t*>(r.pBits), r.Pitch, lv.bytes.data(), lv.rowPitch, lv.rowPitch, rows);
                copy->UnlockRect();
                copy->Release();
                continue;
            }
            if (FAILED(hr))
                return false;
            CopyRows(static_cast<uint8_t*>(r.pBits), r.Pitch, lv.bytes.data(), lv.rowPitch, lv.rowPitch, rows);
            if (type == D3DRTYPE_TEXTURE)
                static_cast<IDirect3DTexture9*>(texture)->UnlockRect(l);
            else
                static_cast<IDirect3DCubeTexture9*>(texture)->UnlockRect(D3DCUBEMAP_FACES(f), l);
        }
    return true;
}

bool D3dxTextureIO::Write(const ImageData& img, UINT firstLevel, IDirect3DBaseTexture9* texture)
{
    D3DRESOURCETYPE type = texture->GetType();
    UINT levels = std::min<UINT>(texture->GetLevelCount(), img.levels);
    for (uint32_t f = 0; f < img.faces; ++f)
        for (uint32_t l = firstLevel; l < levels; ++l)
        {
            const ImageLevel& lv = img.Sub(f, l);
            size_t rows = Rows(img, lv);
            if (type == D3DRTYPE_VOLUMETEXTURE)
            {
                auto* t = static_cast<IDirect3DVolumeTexture9*>(texture);
                D3DLOCKED_BOX box{};
                if (FAILED(t->LockBox(l, &box, nullptr, 0)))
                    return false;
                for (uint32_t z = 0; z < lv.depth; ++z)
                    CopyRows(lv.bytes.data() + size_t(z) * lv.slicePitch, lv.rowPitch,
                             static_cast<uint8_t*>(box.pBits) + size_t(z) * box.SlicePitch, box.RowPitch, lv.rowPitch,
                             rows);
                t->UnlockBox(l);
                continue;
            }
            D3DLOCKED_RECT r{};
            HRESULT hr =
                type == D3DRTYPE_TEXTURE
                    ? static_cast<IDirect3DTexture9*>(texture)->LockRect(l, &r, nullptr, 0)
                    : static_cast<IDirect3DCubeTexture9*>(texture)->LockRect(D3DCUBEMAP_FACES(f), l, &r, nullptr, 0);
            if (FAILED(hr))
                return false;
            CopyRows(lv.bytes.data(), lv.rowPitch, static_cast<uint8_t*>(r.pBits), r.Pitch, lv.rowPitch, rows);
            if (type == D3DRTYPE_TEXTURE)
                static_cast<IDirect3DTexture9*>(texture)->UnlockRect(l);
            else
                static_cast<IDirect3DCubeTexture9*>(texture)->UnlockRect(D3DCUBEMAP_FACES(f), l);
        }
    return true;
}
