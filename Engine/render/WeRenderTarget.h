#pragma once
#include <cstdint>

#include "Platform/gfx/D3D9.h"

// A texture the device can draw into: a 2-D target (multisampled through a surface of its own) or a
// cube of six faces. It keeps its parameters, so a lost device only costs a rebuild.
class WeRenderTarget
{
public:
    WeRenderTarget() = default;
    virtual ~WeRenderTarget();
    WeRenderTarget(const WeRenderTarget&) = delete;
    WeRenderTarget& operator=(const WeRenderTarget&) = delete;

    bool Create2D(int32_t width, int32_t height, D3DFORMAT format, int32_t multisampleType, int32_t quality);
    bool CreateCube(int32_t size, D3DFORMAT format);
    void Bind(int32_t index, int32_t face);
    void ReleaseResources();
    bool Recreate();

    IDirect3DBaseTexture9* GetTexture() const { return m_Texture; }
    // Where draws land: the face's surface of a cube, the first surface of a 2-D target.
    IDirect3DSurface9* GetSurface(int32_t face) const { return m_Surfaces[m_IsCube ? (face & 7) % 6 : 0]; }
    // The texture's own level-0 surface of a multisampled target, which its users resolve into.
    IDirect3DSurface9* GetResolveSurface() const { return m_SecondSurfaces[0]; }

    IDirect3DBaseTexture9* m_Texture = nullptr;
    IDirect3DSurface9* m_Surfaces[6] = {};
    IDirect3DSurface9* m_SecondSurfaces[6] = {};
    uint8_t m_Created = 0;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    int32_t m_Size = 0;
    D3DFORMAT m_Format = D3DFMT_UNKNOWN;
    int32_t m_MultisampleType = 0;
    int32_t m_MultisampleQuality = 0;
    int32_t m_IsCube = 0;
};
