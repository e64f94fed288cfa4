#include "Platform/gfx/GfxDirect3D9.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxFormat.h"
#include "Platform/gfx/GfxGLBackend.h"
#include "Platform/gfx/GfxRecorder.h"

namespace
{

GfxBackendKind& SelectedKind()
{
    static GfxBackendKind kind = []
    {
        const char* env = std::getenv("WE_GFX_BACKEND");
        return env && std::strcmp(env, "recording") == 0 ? GfxBackendKind::Recording : GfxBackendKind::OpenGL;
    }();
    return kind;
}

}  // namespace

void GfxSelectBackend(GfxBackendKind kind)
{
    SelectedKind() = kind;
}
void GfxShowOwnWindow(bool show)
{
    GfxGLBackend::s_ShowOwnWindow = show;
}
GfxBackendKind GfxSelectedBackend()
{
    return SelectedKind();
}

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    GfxAdapterInfo adapter;
    if (SelectedKind() == GfxBackendKind::Recording)
    {
        g_GfxRecorder.Record("Direct3DCreate9", {sdkVersion});
        if (g_GfxRecorder.ShouldFail("Direct3DCreate9"))
            return nullptr;
        adapter.pixelShaderVersion = g_GfxRecorder.pixelShaderVersion;
        adapter.caps2 = g_GfxRecorder.caps2;
        adapter.modes = g_GfxRecorder.modes;
    }
    else if (!GfxGLBackend::Probe(adapter))
    {
        return nullptr;
    }
    return new GfxDirect3D9(SelectedKind(), adapter);
}

HRESULT GfxDirect3D9::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier)
{
    (void)flags;
    if (adapter != 0 || !identifier)
        return D3DERR_INVALIDCALL;
    std::memset(identifier, 0, sizeof(*identifier));
    std::snprintf(identifier->Description, sizeof(identifier->Description), "%s", m_Adapter.renderer.c_str());
    std::snprintf(identifier->Driver, sizeof(identifier->Driver), "%s", m_Adapter.version.c_str());
    std::snprintf(identifier->DeviceName, sizeof(identifier->DeviceName), "%s", "\\\\.\\DISPLAY1");
    // The last run of dotted numbers in the version text ("... Mesa 22.3.6") is the driver's own version.
    unsigned parts[4] = {0, 0, 0, 0};
    const std::string& text = m_Adapter.version;
    size_t end = text.size();
    while (end > 0 && !(text[end - 1] >= '0' && text[end - 1] <= '9'))
        --end;
    size_t start = end;
    while (start > 0 && ((text[start - 1] >= '0' && text[start - 1] <= '9') || text[start - 1] == '.'))
        --start;
    int count = 0;
    for (size_t i = start; i < end && count < 4;)
    {
        unsigned value = 0;
        bool any = false;
        while (i < end && text[i] >= '0' && text[i] <= '9')
        {
            value = value * 10 + unsigned(text[i++] - '0');
            any = true;
            if (value > 0xFFFF)
                value = 0xFFFF;
        }
        if (any)
            parts[count++] = value;
        while (i < end && text[i] == '.')
            ++i;
    }
    identifier->DriverVersion.HighPart = LONG((parts[0] << 16) | parts[1]);
    identifier->DriverVersion.LowPart = (parts[2] << 16) | parts[3];
    return D3D_OK;
}

UINT GfxDirect3D9::GetAdapterModeCount(UINT adapter, D3DFORMAT format)
{
    if (adapter != 0)
        return 0;
    UINT n = 0;
    for (const D3DDISPLAYMODE& mode : m_Adapter.modes)
        n += mode.Format == format;
    return n;
}

HRESULT GfxDirect3D9::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT index, D3DDISPLAYMODE* out)
{
    if (adapter != 0 || !out)
        return D3DERR_INVALIDCALL;
    UINT n = 0;
    for (const D3DDISPLAYMODE& mode : m_Adapter.modes)
    {
        if (mode.Format != format)
            continue;
        if (n++ == index)
        {
            *out = mode;
            return D3D_OK;
        }
    }
    return D3DERR_INVALIDCALL;
}

HRESULT GfxDirect3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
    if (adapter != 0 || !mode)
        return D3DERR_INVALIDCALL;
    *mode = m_Adapter.desktop;
    return D3D_OK;
}

HRESULT GfxDirect3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                        D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    if (Recording())
    {
        g_GfxRecorder.Record("CheckDeviceFormat", {adapter, uint64_t(type), uint64_t(adapterFormat), usage,
                                                   uint64_t(resourceType), uint64_t(uint32_t(checkFormat))});
        if (g_GfxRecorder.ShouldFail("CheckDeviceFormat") || g_GfxRecorder.refusedFormats.count(checkFormat))
            return D3DERR_NOTAVAILABLE;
    }
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    const GfxFormatInfo* info = GfxFormat::Find(checkFormat);
    if (!info || (info->block && !m_Adapter.s3tc))
        return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
    {
        if (!info->depth || resourceType != D3DRTYPE_SURFACE)
            return D3DERR_NOTAVAILABLE;
        return D3D_OK;
    }
    if (info->depth)
        return D3DERR_NOTAVAILABLE;
    if ((usage & D3DUSAGE_RENDERTARGET) && !info->renderable)
        return D3DERR_NOTAVAILABLE;
    if (resourceType == D3DRTYPE_VOLUMETEXTURE && (usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT GfxDirect3D9::MultiSampleLevels(D3DFORMAT format, D3DMULTISAMPLE_TYPE type, DWORD* levels)
{
    if (levels)
        *levels = 0;
    const GfxFormatInfo* info = GfxFormat::Find(format);
    if (!info || !info->renderable)
        return D3DERR_NOTAVAILABLE;
    DWORD count = 0;
    if (Recording())
    {
        auto it = g_GfxRecorder.multisampleLevels.find({format, int(type)});
        if (it == g_GfxRecorder.multisampleLevels.end())
            it = g_GfxRecorder.multisampleLevels.find({D3DFMT_UNKNOWN, int(type)});
        if (it != g_GfxRecorder.multisampleLevels.end())
        {
            count = it->second;
        }
        else if (type == D3DMULTISAMPLE_NONE || type == D3DMULTISAMPLE_2_SAMPLES || type == D3DMULTISAMPLE_4_SAMPLES ||
                 type == D3DMULTISAMPLE_8_SAMPLES)
        {
            count = 1;
        }
        else if (type == D3DMULTISAMPLE_NONMASKABLE)
        {
            count = 4;
        }
    }
    else if (type == D3DMULTISAMPLE_NONE)
    {
        count = 1;
    }
    else if (type == D3DMULTISAMPLE_NONMASKABLE)
    {
        // One quality level per power-of-two sample count the GL offers (quality q = 2 << q samples).
        for (UINT samples = 2; samples <= m_Adapter.maxSamples && samples <= 16; samples *= 2)
            ++count;
    }
    else if (UINT(type) <= m_Adapter.maxSamples && (UINT(type) & (UINT(type) - 1)) == 0)
    {
        count = 1;
    }
    if (count == 0)
        return D3DERR_NOTAVAILABLE;
    if (levels)
        *levels = count;
    return D3D_OK;
}

HRESULT GfxDirect3D9::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                                 D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels)
{
    if (Recording())
    {
        g_GfxRecorder.Record("CheckDeviceMultiSampleType", {adapter, uint64_t(type), uint64_t(surfaceFormat),
                                                            uint64_t(windowed), uint64_t(multiSample)});
        if (g_GfxRecorder.ShouldFail("CheckDeviceMultiSampleType"))
        {
            if (qualityLevels)
                *qualityLevels = 0;
            return D3DERR_NOTAVAILABLE;
        }
    }
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    return MultiSampleLevels(surfaceFormat, multiSample, qualityLevels);
}

HRESULT GfxDirect3D9::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                             D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat)
{
    if (Recording())
    {
        g_GfxRecorder.Record("CheckDepthStencilMatch", {adapter, uint64_t(type), uint64_t(adapterFormat),
                                                        uint64_t(renderTargetFormat), uint64_t(depthStencilFormat)});
        if (g_GfxRecorder.ShouldFail("CheckDepthStencilMatch") ||
            g_GfxRecorder.refusedFormats.count(renderTargetFormat) ||
            g_GfxRecorder.refusedFormats.count(depthStencilFormat))
            return D3DERR_NOTAVAILABLE;
    }
    const GfxFormatInfo* colour = GfxFormat::Find(renderTargetFormat);
    const GfxFormatInfo* depth = GfxFormat::Find(depthStencilFormat);
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    // Any colour target of the table pairs with any depth format in a GL framebuffer.
    if (!colour || !colour->renderable || colour->depth || !depth || !depth->depth)
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT GfxDirect3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    if (adapter != 0 || !caps)
        return D3DERR_INVALIDCALL;
    std::memset(caps, 0, sizeof(*caps));
    caps->DeviceType = type;
    caps->Caps2 = m_Adapter.caps2;
    caps->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps->MaxTextureWidth = m_Adapter.maxTextureSize;
    caps->MaxTextureHeight = m_Adapter.maxTextureSize;
    caps->MaxVolumeExtent = 2048;
    caps->MaxAnisotropy = m_Adapter.maxAnisotropy;
    caps->MaxSimultaneousTextures = 8;
    caps->NumSimultaneousRTs = 4;
    caps->MaxStreams = 1;
    caps->MaxPrimitiveCount = 0xFFFFFF;
    caps->MaxVertexIndex = 0xFFFFFF;
    caps->VertexShaderVersion = D3DVS_VERSION(3, 0);
    caps->PixelShaderVersion = m_Adapter.pixelShaderVersion;
    caps->MaxVertexShaderConst = 256;
    return D3D_OK;
}

HMONITOR GfxDirect3D9::GetAdapterMonitor(UINT adapter)
{
    // One adapter, one monitor; the handle only needs to be distinct from null.
    return adapter == 0 ? reinterpret_cast<HMONITOR>(uintptr_t(1)) : nullptr;
}

bool GfxDirect3D9::AcceptsParams(const D3DPRESENT_PARAMETERS& params)
{
    if (params.BackBufferWidth == 0 || params.BackBufferHeight == 0)
        return false;
    if (params.BackBufferWidth > m_Adapter.maxTextureSize || params.BackBufferHeight > m_Adapter.maxTextureSize)
        return false;
    const GfxFormatInfo* info = GfxFormat::Find(params.BackBufferFormat);
    if (!info || !info->renderable || info->depth)
        return false;
    if (params.MultiSampleType != D3DMULTISAMPLE_NONE)
    {
        DWORD levels = 0;
        if (FAILED(MultiSampleLevels(params.BackBufferFormat, params.MultiSampleType, &levels)) ||
            params.MultiSampleQuality >= levels)
            return false;
    }
    if (params.EnableAutoDepthStencil)
    {
        const GfxFormatInfo* depth = GfxFormat::Find(params.AutoDepthStencilFormat);
        if (!depth || !depth->depth)
            return false;
    }
    if (Recording() && g_GfxRecorder.acceptMode && !g_GfxRecorder.acceptMode(params))
        return false;
    return true;
}

HRESULT GfxDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD flags,
                                   D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (Recording())
    {
        g_GfxRecorder.Record("CreateDevice",
                             {adapter, uint64_t(type), uint64_t(uintptr_t(focusWindow)), flags,
                              params ? params->BackBufferWidth : 0, params ? params->BackBufferHeight : 0,
                              params ? uint64_t(params->MultiSampleType) : 0});
        if (g_GfxRecorder.ShouldFail("CreateDevice"))
            return D3DERR_NOTAVAILABLE;
    }
    if (adapter != 0 || !params)
        return D3DERR_INVALIDCALL;
    if (!AcceptsParams(*params))
        return D3DERR_NOTAVAILABLE;
    std::unique_ptr<GfxBackend> backend;
    if (Recording())
        backend = std::make_unique<GfxBackend>();
    else
        backend = std::make_unique<GfxGLBackend>(m_Adapter);
    HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    if (!backend->Open(window, *params))
        return D3DERR_NOTAVAILABLE;
    GfxDevice* created = new GfxDevice(this, std::move(backend), Recording());
    if (!created->Init(*params))
    {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *device = created;
    return D3D_OK;
}
