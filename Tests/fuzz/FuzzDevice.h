#pragma once
// The recording device, created once per process with its log switched off so that long runs stay small.
#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"

inline IDirect3DDevice9* FuzzRecordingDevice()
{
    static IDirect3DDevice9* device = []
    {
        g_GfxRecorder.ResetAll();
        g_GfxRecorder.logging = false;
        GfxSelectBackend(GfxBackendKind::Recording);
        IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
        IDirect3DDevice9* created = nullptr;
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        if (!d3d ||
            FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &created)))
            __builtin_trap();
        return created;
    }();
    return device;
}
