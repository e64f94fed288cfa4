#pragma once
// Texture and image-file helpers of the helper library: image information, textures created from files
// (DDS, PNG, JPEG, TGA, BMP) resized to the size asked for with their mip chains, DDS saving, surface
// copies and mip filtering. Everything runs on the CPU copies the device keeps.
#include "Platform/gfx/D3DX9Effect.h"

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)

enum D3DXIMAGE_FILEFORMAT : int32_t {
  D3DXIFF_BMP = 0,
  D3DXIFF_JPG = 1,
  D3DXIFF_TGA = 2,
  D3DXIFF_PNG = 3,
  D3DXIFF_DDS = 4,
  D3DXIFF_PPM = 5,
  D3DXIFF_DIB = 6,
  D3DXIFF_HDR = 7,
  D3DXIFF_PFM = 8
};

struct D3DXIMAGE_INFO {
  UINT Width;
  UINT Height;
  UINT Depth;
  UINT MipLevels;
  D3DFORMAT Format;
  D3DRESOURCETYPE ResourceType;
  D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
  BYTE peRed, peGreen, peBlue, peFlags;
};

HRESULT D3DXGetImageInfoFromFileA(LPCSTR path, D3DXIMAGE_INFO* info);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT bytes, D3DXIMAGE_INFO* info);

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                            PALETTEENTRY* palette, IDirect3DTexture9** texture);
HRESULT D3DXCreateCubeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT size, UINT mipLevels,
                                         DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                         D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                         IDirect3DCubeTexture9** texture);
HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT size,
                                                UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                                IDirect3DCubeTexture9** texture);
HRESULT D3DXCreateVolumeTextureFromFileExA(IDirect3DDevice9* device, LPCSTR path, UINT width, UINT height,
                                           UINT depth, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                                           PALETTEENTRY* palette, IDirect3DVolumeTexture9** texture);
HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* data, UINT bytes, UINT width,
                                                  UINT height, UINT depth, UINT mipLevels, DWORD usage,
                                                  D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                  D3DCOLOR colorKey, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                                  IDirect3DVolumeTexture9** texture);
// Only D3DXIFF_DDS is written.
HRESULT D3DXSaveTextureToFileInMemory(ID3DXBuffer** buffer, D3DXIMAGE_FILEFORMAT format,
                                      IDirect3DBaseTexture9* texture, const PALETTEENTRY* palette);
// Whole surfaces only (rectangles null). Between two render targets it is a device copy (the multisample
// resolve); otherwise the source's texels are converted and resized into the destination.
HRESULT D3DXLoadSurfaceFromSurface(IDirect3DSurface9* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                   IDirect3DSurface9* source, const PALETTEENTRY* sourcePalette,
                                   const RECT* sourceRect, DWORD filter, D3DCOLOR colorKey);
// Rebuilds every level below `sourceLevel` from it, on every face.
HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* texture, const PALETTEENTRY* palette, UINT sourceLevel, DWORD filter);
