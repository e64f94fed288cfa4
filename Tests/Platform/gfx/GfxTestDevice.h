#pragma once
// A device of either backend for the tests, with its Direct3D object, released in order.
#include <gtest/gtest.h>

#include "Platform/gfx/D3D9.h"
#include "Platform/gfx/GfxRecorder.h"

inline D3DPRESENT_PARAMETERS TestParams(UINT width, UINT height)
{
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

class GfxTestDevice
{
public:
    GfxTestDevice(GfxBackendKind kind, UINT width, UINT height)
    {
        GfxSelectBackend(kind);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d)
            return;
        D3DPRESENT_PARAMETERS pp = TestParams(width, height);
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)))
            device = nullptr;
    }
    ~GfxTestDevice()
    {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
    }
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

inline ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}
