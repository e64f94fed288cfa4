#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Platform/gfx/D3D9.h"

class WeRenderTarget;

// Creates and owns every render target, and releases and rebuilds them around a device reset.
class WeRenderTargetManager
{
public:
    WeRenderTargetManager() = default;
    virtual ~WeRenderTargetManager();
    WeRenderTargetManager(const WeRenderTargetManager&) = delete;
    WeRenderTargetManager& operator=(const WeRenderTargetManager&) = delete;

    WeRenderTarget* CreateTarget(int32_t width, int32_t height, D3DFORMAT format, int32_t multisampleType,
                                 int32_t quality);
    WeRenderTarget* CreateCubeTarget(int32_t size, D3DFORMAT format);
    void ReleaseTarget(WeRenderTarget* target);
    void ReleaseAll();
    void OnLostDevice();
    void OnResetDevice();

    WeList<WeRenderTarget*> m_Targets;
};

extern WeRenderTargetManager g_RenderTargetManager;
