#pragma once
// The storage behind a texture or a stand-alone surface: its description, a CPU copy of every face and level
// (the copy that survives anything and that locks hand out), and the backend's object.
#include <cstddef>
#include <vector>

#include "Platform/gfx/GfxFormat.h"

class GfxDevice;

enum class GfxImageKind
{
    Texture2D,
    Cube,
    Volume,
    ColorSurface,
    DepthSurface,
    SystemSurface,
    BackBuffer
};

struct GfxSubImage
{
    UINT width = 0, height = 0, depth = 0;
    UINT rowPitch = 0;    // bytes of one row of texels or of 4x4 blocks
    UINT slicePitch = 0;  // bytes of one depth slice
    std::vector<uint8_t> bytes;
    bool dirty = false;  // the CPU copy is newer than the backend's (uploaded before use)
    bool locked = false;
};

class GfxImage
{
public:
    GfxImageKind kind = GfxImageKind::Texture2D;
    const GfxFormatInfo* info = nullptr;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_MANAGED;
    UINT width = 0, height = 0, depth = 1, levels = 1, faces = 1;
    D3DMULTISAMPLE_TYPE multiSample = D3DMULTISAMPLE_NONE;
    DWORD multiSampleQuality = 0;
    std::vector<GfxSubImage> subs;  // face-major: index = face * levels + level
    GfxDevice* device = nullptr;    // null once the device is gone
    uint32_t glName = 0;            // GL texture or renderbuffer

    // Sizes every face and level; the CPU copy is allocated (zeroed) unless the image is a render target or
    // depth surface, whose contents live only in the backend.
    void Layout();
    GfxSubImage& Sub(UINT face, UINT level) { return subs[face * levels + level]; }
    bool HasCpuCopy() const;
    // GL samples count of a multisample choice (0 for none).
    UINT Samples() const;
};
