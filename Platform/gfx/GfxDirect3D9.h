#pragma once
// The object Direct3DCreate9 returns: adapter queries and device creation for the selected backend.
#include "Platform/gfx/GfxAdapterInfo.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxDirect3D9 : public GfxRefCounted<IDirect3D9>
{
public:
    GfxDirect3D9(GfxBackendKind kind, const GfxAdapterInfo& adapter) : m_Kind(kind), m_Adapter(adapter) {}
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT renderTargetFormat,
                                   D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HMONITOR GetAdapterMonitor(UINT adapter) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD flags, D3DPRESENT_PARAMETERS* params,
                         IDirect3DDevice9** device) override;

    bool Recording() const { return m_Kind == GfxBackendKind::Recording; }
    const GfxAdapterInfo& Adapter() const { return m_Adapter; }
    // The multisample answer shared by the adapter query and the device's creation checks.
    HRESULT MultiSampleLevels(D3DFORMAT format, D3DMULTISAMPLE_TYPE type, DWORD* levels);
    // True when the present parameters ask for something this adapter can do.
    bool AcceptsParams(const D3DPRESENT_PARAMETERS& params);

private:
    ~GfxDirect3D9() override = default;
    GfxBackendKind m_Kind;
    GfxAdapterInfo m_Adapter;
};
