// The texture helpers of D3DX9Tex.h.
#include <algorithm>
#include <cstring>

#include "Platform/gfx/D3DX9Tex.h"
#include "Platform/gfx/GfxDataBuffer.h"
#include "Platform/gfx/GfxDds.h"
#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxImageFile.h"
#include "Platform/gfx/GfxSurface.h"
#include "Platform/gfx/GfxTexelCodec.h"
#include "Platform/gfx/GfxTexture.h"

namespace {

bool FromFile(UINT value) { return value == 0 || value == D3DX_DEFAULT || value == D3DX_DEFAULT_NONPOW2 || value == D3DX_FROM_FILE; }


// Fills every face and level of a new texture's image from a file image: levels of the same size and format
// are copied; the others are converted from the file's top level, resized, and each further level filtered
// from the one above.
bool Fill(GfxImage& target, const GfxImage& file) {
  bool convertible = GfxTexelCodec::Supports(file.format) && GfxTexelCodec::Supports(target.format);
  for (UINT face = 0; face < target.faces; ++face) {
    const UINT fileFace = std::min(face, file.faces - 1);
    std::vector<uint8_t> previous;  // RGBA of the level above, per slice for volumes
    UINT pw = 0, ph = 0, pd = 0;
    for (UINT level = 0; level < target.levels; ++level) {
      GfxSubImage& sub = target.Sub(face, level);
      if (level < file.levels) {
        const GfxSubImage& src = file.subs[fileFace * file.levels + level];
        if (file.format == target.format && src.width == sub.width && src.height == sub.height &&
            src.depth == sub.depth) {
          std::memcpy(sub.bytes.data(), src.bytes.data(), sub.bytes.size());
          previous.clear();
          continue;
        }
      }
      if (!convertible) return false;
      std::vector<uint8_t> rgba;
      if (previous.empty()) {
        // From the file's top level.
        const GfxSubImage& top = file.subs[fileFace * file.levels];
        if (top.depth != sub.depth && level == 0) return false;  // volumes are not resized in depth
        std::vector<uint8_t> slices;
        for (UINT z = 0; z < sub.depth; ++z) {
          UINT sz = std::min(z * top.depth / sub.depth, top.depth - 1);
          std::vector<uint8_t> decoded;
          if (!GfxTexelCodec::Decode(file.format, top.bytes.data() + size_t(sz) * top.slicePitch, top.width, top.height,
                                     top.rowPitch, decoded))
            return false;
          decoded = GfxTexelCodec::Resize(decoded, top.width, top.height, sub.width, sub.height);
          slices.insert(slices.end(), decoded.begin(), decoded.end());
        }
        rgba = std::move(slices);
      } else {
        // Each slice of the next level from the matching slices of the one above (depth halves too).
        for (UINT z = 0; z < sub.depth; ++z) {
          UINT z0 = std::min(z * 2, pd - 1), z1 = std::min(z * 2 + 1, pd - 1);
          size_t slice = size_t(pw) * ph * 4;
          std::vector<uint8_t> a(previous.begin() + slice * z0, previous.begin() + slice * (z0 + 1));
          if (z1 != z0)
            for (size_t i = 0; i < slice; ++i) a[i] = uint8_t((a[i] + previous[slice * z1 + i] + 1) / 2);
          std::vector<uint8_t> small = GfxTexelCodec::Resize(a, pw, ph, sub.width, sub.height);
          rgba.insert(rgba.end(), small.begin(), small.end());
        }
      }
      for (UINT z = 0; z < sub.depth; ++z) {
        size_t slice = size_t(sub.width) * sub.height * 4;
        std::vector<uint8_t> one(rgba.begin() + slice * z, rgba.begin() + slice * (z + 1));
        if (!GfxTexelCodec::Encode(target.format, one, sub.width, sub.height,
                                   sub.bytes.data() + size_t(z) * sub.slicePitch, sub.rowPitch))
          return false;
      }
      previous = std::move(rgba);
      pw = sub.width, ph = sub.height, pd = sub.depth;
    }
  }
  return true;
}

void UploadAll(GfxImage& image) {
  if (!image.device) return;
  for (UINT i = 0; i < image.subs.size(); ++i) image.device->ImageChanged(image, i);
}

struct Request {
  UINT width, height, depth, levels;
  DWORD usage;
  D3DFORMAT format;
  D3DPOOL pool;
};

// The file decoded and the creation arguments resolved against it.
HRESULT Prepare(const void* data, UINT bytes, Request& r, GfxImage& file, D3DXIMAGE_INFO* info) {
  D3DXIMAGE_INFO local{};
  if (!data || !GfxImageFile::Decode(static_cast<const uint8_t*>(data), bytes, file, &local)) return D3DERR_INVALIDCALL;
  if (info) *info = local;
  if (FromFile(r.width)) r.width = file.width;
  if (FromFile(r.height)) r.height = file.height;
  if (FromFile(r.depth)) r.depth = file.depth;
  if (r.format == D3DFMT_FROM_FILE || r.format == D3DFMT_UNKNOWN) r.format = file.format;
  UINT full = GfxFormat::FullChain(r.width, r.height, r.depth);
  if (r.levels == D3DX_FROM_FILE)
    r.levels = std::min(file.levels, full);
  else if (r.levels == 0 || r.levels == D3DX_DEFAULT)
    r.levels = full;
  else
    r.levels = std::min(r.levels, full);
  return D3D_OK;
}

}  // namespace

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT bytes, D3DXIMAGE_INFO* info) {
  if (!data || !info) return D3DERR_INVALIDCALL;
  return GfxImageFile::Info(static_cast<const uint8_t*>(data), bytes, info) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT D3DXGetImageInfoFromFileA(LPCSTR path, D3DXIMAGE_INFO* info) {
  std::string bytes;
  if (!GfxImageFile::ReadFile(path, bytes)) return D3DERR_NOTFOUND;
  return D3DXGetImageInfoFromFileInMemory(bytes.data(), UINT(bytes.size()), info);
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
  if (!device || !texture) return D3DERR_INVALIDCALL;
  if (FromFile(width)) width = 256;
  if (FromFile(height)) height = 256;
  if (mipLevels == D3DX_DEFAULT) mipLevels = 0;
  return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                            IDirect3DTexture9** texture) {
  if (!device || !texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  Request r{width, height, 1, mipLevels, usage, format, pool};
  GfxImage file;
  HRESULT hr = Prepare(data, bytes, r, file, info);
  if (FAILED(hr)) return hr;
  IDirect3DTexture9* created = nullptr;
  hr = device->CreateTexture(r.width, r.height, r.levels, r.usage, r.format, r.pool, &created, nullptr);
  if (FAILED(hr)) return hr;
  GfxImage* image = GfxTextureImage(created);
  if (!image->HasCpuCopy() || !Fill(*image, file)) {
    created->Release();
    return D3DERR_INVALIDCALL;
  }
  UploadAll(*image);
  *texture = created;
  return D3D_OK;
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT size,
                                                UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD,
                                                DWORD, D3DCOLOR, D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                                IDirect3DCubeTexture9** texture) {
  if (!device || !texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  Request r{size, size, 1, mipLevels, usage, format, pool};
  GfxImage file;
  HRESULT hr = Prepare(data, bytes, r, file, info);
  if (FAILED(hr)) return hr;
  if (file.kind != GfxImageKind::Cube) return D3DERR_INVALIDCALL;
  IDirect3DCubeTexture9* created = nullptr;
  hr = device->CreateCubeTexture(r.width, r.levels, r.usage, r.format, r.pool, &created, nullptr);
  if (FAILED(hr)) return hr;
  GfxImage* image = GfxTextureImage(created);
  if (!image->HasCpuCopy() || !Fill(*image, file)) {
    created->Release();
    return D3DERR_INVALIDCALL;
  }
  UploadAll(*image);
  *texture = created;
  return D3D_OK;
}

HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                                  UINT height, UINT depth, UINT mipLevels, DWORD usage,
                                                  D3DFORMAT format, D3DPOOL pool, DWORD, DWORD, D3DCOLOR,
                                                  D3DXIMAGE_INFO* info, PALETTEENTRY*,
                                                  IDirect3DVolumeTexture9** texture) {
  if (!device || !texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  Request r{width, height, depth, mipLevels, usage, format, pool};
  GfxImage file;
  HRESULT hr = Prepare(data, bytes, r, file, info);
  if (FAILED(hr)) return hr;
  if (file.kind == GfxImageKind::Cube) return D3DERR_INVALIDCALL;
  IDirect3DVolumeTexture9* created = nullptr;
  hr = device->CreateVolumeTexture(r.width, r.height, r.depth, r.levels, r.usage, r.format, r.pool, &created, nullptr);
  if (FAILED(hr)) return hr;
  GfxImage* image = GfxTextureImage(created);
  if (!Fill(*image, file)) {
    created->Release();
    return D3DERR_INVALIDCALL;
  }
  UploadAll(*image);
  *texture = created;
  return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture) {
  std::string bytes;
  if (!GfxImageFile::ReadFile(path, bytes)) return D3DERR_NOTFOUND;
  return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, mipLevels, usage,
                                             format, pool, filter, mipFilter, colorKey, info, palette, texture);
}

HRESULT D3DXCreateCubeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT size, UINT mipLevels,
                                         DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                         D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                         IDirect3DCubeTexture9** texture) {
  std::string bytes;
  if (!GfxImageFile::ReadFile(path, bytes)) return D3DERR_NOTFOUND;
  return D3DXCreateCubeTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), size, mipLevels, usage,
                                                 format, pool, filter, mipFilter, colorKey, info, palette, texture);
}

HRESULT D3DXCreateVolumeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height,
                                           UINT depth, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                           PALETTEENTRY* palette, IDirect3DVolumeTexture9** texture) {
  std::string bytes;
  if (!GfxImageFile::ReadFile(path, bytes)) return D3DERR_NOTFOUND;
  return D3DXCreateVolumeTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, depth,
                                                   mipLevels, usage, format, pool, filter, mipFilter, colorKey, info,
                                                   palette, texture);
}

HRESULT D3DXSaveTextureToFileInMemory(ID3DXBuffer** buffer, D3DXIMAGE_FILEFORMAT format,
                                      IDirect3DBaseTexture9* texture, const PALETTEENTRY*) {
  if (!buffer || !texture || format != D3DXIFF_DDS) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  GfxImage* image = GfxTextureImage(texture);
  std::vector<uint8_t> bytes;
  if (!image || !GfxDds::Write(*image, bytes)) return D3DERR_INVALIDCALL;
  *buffer = new GfxDataBuffer(std::move(bytes));
  return D3D_OK;
}

HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface9* dest, const PALETTEENTRY*, const RECT* destRect,
                                   IDirect3DSurface9* source, const PALETTEENTRY*, const RECT* sourceRect, DWORD filter,
                                   D3DCOLOR) {
  if (!dest || !source || destRect || sourceRect) return D3DERR_INVALIDCALL;
  GfxSurface* dst = static_cast<GfxSurface*>(dest);
  GfxSurface* src = static_cast<GfxSurface*>(source);
  GfxImage& di = *dst->Image();
  GfxImage& si = *src->Image();
  if (!di.HasCpuCopy() || !si.HasCpuCopy()) {
    // Render targets only live on the device: let it copy (resolving multisampling on the way).
    IDirect3DDevice9* device = nullptr;
    if (FAILED(dest->GetDevice(&device))) return D3DERR_INVALIDCALL;
    HRESULT hr = device->StretchRect(source, nullptr, dest, nullptr,
                                     (filter & 0xFF) == D3DX_FILTER_POINT ? D3DTEXF_POINT : D3DTEXF_LINEAR);
    device->Release();
    return hr;
  }
  const GfxSubImage& s = si.Sub(src->Face(), src->Level());
  GfxSubImage& d = di.Sub(dst->Face(), dst->Level());
  if (si.format == di.format && s.width == d.width && s.height == d.height) {
    std::memcpy(d.bytes.data(), s.bytes.data(), std::min(d.bytes.size(), s.bytes.size()));
  } else {
    std::vector<uint8_t> rgba;
    if (!GfxTexelCodec::Decode(si.format, s.bytes.data(), s.width, s.height, s.rowPitch, rgba)) return D3DERR_INVALIDCALL;
    rgba = GfxTexelCodec::Resize(rgba, s.width, s.height, d.width, d.height);
    if (!GfxTexelCodec::Encode(di.format, rgba, d.width, d.height, d.bytes.data(), d.rowPitch)) return D3DERR_INVALIDCALL;
  }
  if (di.device) di.device->ImageChanged(di, dst->Face() * di.levels + dst->Level());
  return D3D_OK;
}

HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY*, UINT sourceLevel, DWORD) {
  GfxImage* image = GfxTextureImage(texture);
  if (!image || !image->HasCpuCopy() || image->kind == GfxImageKind::Volume) return D3DERR_INVALIDCALL;
  if (sourceLevel == D3DX_DEFAULT) sourceLevel = 0;
  if (sourceLevel >= image->levels || !GfxTexelCodec::Supports(image->format)) return D3DERR_INVALIDCALL;
  for (UINT face = 0; face < image->faces; ++face) {
    const GfxSubImage& top = image->Sub(face, sourceLevel);
    std::vector<uint8_t> rgba;
    if (!GfxTexelCodec::Decode(image->format, top.bytes.data(), top.width, top.height, top.rowPitch, rgba))
      return D3DERR_INVALIDCALL;
    UINT w = top.width, h = top.height;
    for (UINT level = sourceLevel + 1; level < image->levels; ++level) {
      GfxSubImage& sub = image->Sub(face, level);
      rgba = GfxTexelCodec::Resize(rgba, w, h, sub.width, sub.height);
      w = sub.width, h = sub.height;
      GfxTexelCodec::Encode(image->format, rgba, w, h, sub.bytes.data(), sub.rowPitch);
      if (image->device) image->device->ImageChanged(*image, face * image->levels + level);
    }
  }
  return D3D_OK;
}
