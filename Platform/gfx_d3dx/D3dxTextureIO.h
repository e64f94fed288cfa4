#pragma once
// Moving decoded images in and out of device textures and surfaces through their locks, and preparing a
// decoded file for a texture of a requested size, format and level count.
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/gfx_d3dx/ImageData.h"

class D3dxTextureIO
{
public:
    // Decodes the file and turns it into the image a texture of `kind` asks for; sizes, levels and format
    // take D3DX_DEFAULT / D3DX_FROM_FILE / D3DFMT_FROM_FILE as the creation functions do.
    static HRESULT Prepare(const void* data, size_t bytes, ImageKind kind, UINT width, UINT height, UINT depth,
                           UINT levels, D3DFORMAT format, ImageData* out, D3DXIMAGE_INFO* info);
    static HRESULT Create(IDirect3DDevice9* device, const ImageData& image, DWORD usage, D3DPOOL pool,
                          IDirect3DBaseTexture9** texture);
    // Every face and level of a lockable texture.
    static bool Read(IDirect3DBaseTexture9* texture, ImageData* image);
    // Writes levels from `firstLevel` on back into the texture.
    static bool Write(const ImageData& image, UINT firstLevel, IDirect3DBaseTexture9* texture);
    static void FillInfo(const ImageData& file, int type, D3DXIMAGE_INFO* info);
};
