#pragma once
// What the adapter offers: filled from an OpenGL probe, or from the recorder's controls.
#include <string>
#include <vector>

#include "Platform/gfx/D3D9Types.h"

struct GfxAdapterInfo
{
    UINT maxSamples = 4;
    UINT maxTextureSize = 8192;
    UINT maxAnisotropy = 16;
    bool s3tc = true;
    DWORD pixelShaderVersion = D3DPS_VERSION(3, 0);
    DWORD caps2 = D3DCAPS2_DYNAMICTEXTURES;
    std::vector<D3DDISPLAYMODE> modes;
    std::string renderer = "Recording adapter";        // GL_RENDERER
    std::string version = "Recording driver 1.2.3.4";  // GL_VERSION
    D3DDISPLAYMODE desktop = {1024, 768, 60, D3DFMT_X8R8G8B8};
};
