#include "Engine/render/WeRenderDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLock.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTickCost.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeBaseRenderer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeCameraScreen.h"
#include "Engine/render/WeCanvas.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeReflectionRenderer.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Platform/gfx_d3dx/D3DX9.h"
#include "Platform/window/WinUser.h"

WeScreenSize g_ScreenSize = {1024, 768};
WeRenderDevice g_RenderDevice;

namespace
{

// The adapters as they were when the device was created. The crash handler writes the system block,
// where no graphics call may run and the device may be half torn down: it reads only these copies.
constexpr int MaxVideoCards = 4;
WeVideoAdapterInfo g_VideoCardRecords[MaxVideoCards];
int g_VideoCardRecordCount = 0;

void CopyVideoCards(IDirect3D9* d3d)
{
    g_VideoCardRecordCount = 0;
    int count = d3d != nullptr ? int(d3d->GetAdapterCount()) : 0;
    for (int index = 0; index < count && g_VideoCardRecordCount < MaxVideoCards; ++index)
    {
        D3DADAPTER_IDENTIFIER9 id;
        if (FAILED(d3d->GetAdapterIdentifier(UINT(index), 0, &id)))
            continue;
        WeVideoAdapterInfo& out = g_VideoCardRecords[g_VideoCardRecordCount++];
        std::memset(&out, 0, sizeof(out));
        std::snprintf(out.description, sizeof(out.description), "%.*s", int(sizeof(id.Description)), id.Description);
        std::snprintf(out.deviceName, sizeof(out.deviceName), "%.*s", int(sizeof(id.DeviceName)), id.DeviceName);
        std::snprintf(out.driver, sizeof(out.driver), "%.*s", int(sizeof(id.Driver)), id.Driver);
        out.driverVersionHigh = uint32_t(id.DriverVersion.HighPart);
        out.driverVersionLow = id.DriverVersion.LowPart;
        out.vendorId = id.VendorId;
        out.deviceId = id.DeviceId;
        out.subSysId = id.SubSysId;
        out.revision = id.Revision;
    }
}

int VideoCardCount()
{
    return g_VideoCardRecordCount;
}

bool VideoCard(int index, WeVideoAdapterInfo& out)
{
    if (index < 0 || index >= g_VideoCardRecordCount)
        return false;
    out = g_VideoCardRecords[index];
    return true;
}

const WeVideoCardSource g_VideoCards = {VideoCardCount, VideoCard};

void SetError(const char* text)
{
    g_Engine.m_ErrorText = text;
}

DWORD FloatBits(float f)
{
    DWORD bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

}  // namespace

WeRenderDevice::WeRenderDevice()
    : m_PixelMotionBlurFactor(&GetConfigFloat("cameras.PostProcess.PixelMotionBlur", 0.05f)),
      m_RefractionStrength(&GetConfigFloat("cameras.PostProcess.RefractionStrength", 3.0f)),
      m_RefractionSpeed(&GetConfigFloat("cameras.PostProcess.RefractionSpeed", 0.01f)),
      m_FilmGrainStrength(GetConfigFloat("cameras.PostProcess.FilmGrainStrength", 0.2f))
{
}

WeRenderDevice::~WeRenderDevice()
{
    Shutdown();
}

bool WeRenderDevice::Create(void* instance, HWND window, int32_t width, int32_t height, int32_t multisampleType,
                            int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode,
                            int32_t reflectionQuality, uint8_t multithreaded)
{
    (void)instance;
    m_WindowMode = windowMode;
    m_MultisampleType = multisampleType;
    m_MultisampleQuality = multisampleQuality;
    m_VerticalSync = verticalSync;
    if (m_Created)
        return true;

    m_Window = window;
    m_FellBack = 0;
    g_ScreenSize = {width, height};
    m_Aspect = height != 0 ? float(width) / float(height) : 1.0f;
    // A fresh change: a SetCamera counted against an earlier one (or an earlier device) must not clear it.
    m_ScreenChanged = 1;
    m_ScreenChangedSeen = 0;

    m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (m_D3D == nullptr)
    {
        SetError("Error: Invalid DirectX version");
        return false;
    }
    CopyVideoCards(m_D3D);
    SetVideoCardSource(&g_VideoCards);

    FillPresentParameters();
    DWORD flags = D3DCREATE_HARDWARE_VERTEXPROCESSING | (multithreaded ? D3DCREATE_MULTITHREADED : 0u);
    if (FAILED(m_D3D->CreateDevice(0, D3DDEVTYPE_HAL, window, flags, &m_PresentParameters, &m_Device)))
    {
        m_Device = nullptr;
        // The last resort: the smallest mode every adapter offers, without multisampling. The aspect and
        // the change flag follow the size really made.
        g_ScreenSize = {800, 600};
        m_MultisampleType = 0;
        m_MultisampleQuality = 0;
        m_FellBack = 1;
        m_Aspect = 800.0f / 600.0f;
        m_ScreenChanged = 1;
        FillPresentParameters();
        if (FAILED(m_D3D->CreateDevice(0, D3DDEVTYPE_HAL, window, flags, &m_PresentParameters, &m_Device)))
        {
            m_Device = nullptr;
            SetError("Error: Cannot create DirectX device");
            UndoCreate();
            return false;
        }
    }

    EnumerateDisplayModes();
    if (windowMode == 0)
        ShowCursor(FALSE);

    D3DCAPS9 caps;
    std::memset(&caps, 0, sizeof(caps));
    m_D3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps);
    if (FAILED(m_D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, m_BackBufferFormat, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                        D3DFMT_D24S8)))
    {
        SetError("Error: No support for D24S8 Stencil Format");
        UndoCreate();
        return false;
    }

    if (!CreateDepthSurfaces())
    {
        SetError("Error: Cannot create Depth-Stencil surface");
        UndoCreate();
        return false;
    }

    DWORD version = caps.PixelShaderVersion & 0xFFFF;
    m_PixelShader30 = version >= 0x300;
    m_G16R16FTargets = 0;
    m_A16B16G16R16FTargets = 0;
    m_A16B16G16R16FMultisample = 0;
    if (version < 0x200)
    {
        SetError("Error: No Pixel Shader 2.0 support");
        UndoCreate();
        return false;
    }
    m_G16R16FTargets =
        m_PixelShader30 && SUCCEEDED(m_D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, m_BackBufferFormat,
                                                              D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_G16R16F));
    m_A16B16G16R16FTargets =
        m_G16R16FTargets &&
        SUCCEEDED(m_D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, m_BackBufferFormat, D3DUSAGE_RENDERTARGET,
                                           D3DRTYPE_TEXTURE, D3DFMT_A16B16G16R16F)) &&
        SUCCEEDED(
            m_D3D->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, m_BackBufferFormat, D3DFMT_A16B16G16R16F, m_DepthFormat));
    if (m_A16B16G16R16FTargets)
    {
        DWORD levels = 0;
        m_A16B16G16R16FMultisample =
            SUCCEEDED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A16B16G16R16F, m_WindowMode != 0,
                                                        D3DMULTISAMPLE_NONMASKABLE, &levels)) &&
            levels >= 1;
    }

    m_ClearColor = 0xFF000000;
    m_Created = 1;
    m_Lost = 0;
    m_RenderersReleased = 0;
    m_ShutDownRenderers = false;
    m_ResourcesReleased = false;
    ResetStateCaches();

    if (!InitManagers())
    {
        UndoCreate();
        return false;
    }
    m_ReflectionQuality = reflectionQuality;
    InitRenderers();
    SyncCameraScreen();
    return true;
}

bool WeRenderDevice::InitManagers()
{
    if (!g_TextureManager.Init())
    {
        g_Engine.m_ErrorText = WeString("Error: Cannot load ") + g_TextureManager.GetMissingName();
        return false;
    }
    if (!g_ShaderManager.CreatePool())
    {
        g_Engine.m_ErrorText = WeString("Error: Cannot load ") + g_ShaderManager.GetMissingName();
        return false;
    }
    g_Canvas.LoadShader();
    if (m_DrawAtCreation)
        Render();
    if (!g_ShaderManager.LoadDefaultEffects())
    {
        g_Engine.m_ErrorText = WeString("Error: Cannot load ") + g_ShaderManager.GetMissingName();
        return false;
    }
    if (!g_MaterialManager.Init())
    {
        g_Engine.m_ErrorText = WeString("Error: Cannot load Materials.Editor.Light");
        return false;
    }
    if (!g_MeshManager.Init())
    {
        g_Engine.m_ErrorText = WeString("Error: Cannot load ") + WeMeshManager::DefaultMeshName;
        return false;
    }
    return true;
}

void WeRenderDevice::InitRenderers()
{
    // The named renderers in their fixed order (trail, flare, velocity, projector, reflection, then the
    // reflection quality, particles, cloth, sky box, debug), whatever order static initialisation registered
    // them in; any other renderer after them; post-processing last. Their results are not checked.
    std::vector<WeBaseRenderer*> renderers;
    WeList<WeBaseRenderer*>& list = WeBaseRenderer::GetRendererList();
    for (WeList<WeBaseRenderer*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
        renderers.push_back(node->payload);
    std::stable_sort(renderers.begin(), renderers.end(),
                     [](const WeBaseRenderer* a, const WeBaseRenderer* b)
                     { return a->GetInitOrder() < b->GetInitOrder(); });
    bool qualitySet = false;
    for (WeBaseRenderer* renderer : renderers)
    {
        if (!qualitySet && renderer->GetInitOrder() > WeBaseRenderer::OrderReflection)
        {
            SetReflectionQuality(m_ReflectionQuality);
            qualitySet = true;
        }
        if (renderer == &g_ReflectionRenderer)
            g_ReflectionRenderer.InitWithQuality(m_ReflectionQuality);
        else
            renderer->Init();
    }
    if (!qualitySet)
        SetReflectionQuality(m_ReflectionQuality);
    g_PostProcess.Init();
}

bool WeRenderDevice::AdoptDevice(IDirect3DDevice9* device)
{
    if (m_Created || device == nullptr)
        return false;
    device->AddRef();
    m_Device = device;
    m_Adopted = true;
    m_Created = 1;
    m_Lost = 0;
    m_ResourcesReleased = false;
    ResetStateCaches();
    return true;
}

void WeRenderDevice::ReleaseDeviceObjects()
{
    ReleaseDepthSurfaces();
    if (m_Device != nullptr)
        m_Device->Release();
    m_Device = nullptr;
    if (m_D3D != nullptr)
        m_D3D->Release();
    m_D3D = nullptr;
    SetVideoCardSource(nullptr);
}

void WeRenderDevice::UndoCreate()
{
    ForgetCanvasShader();
    g_ShaderManager.ReleaseAll();
    g_MeshManager.ReleaseAll(true);
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    ReleaseDeviceObjects();
    m_DisplayModes.Reset();
    m_Created = 0;
    m_FellBack = 0;
}

void WeRenderDevice::ForgetCanvasShader()
{
    // The canvas's effect belongs to the shader manager, which frees it with the device's other resources;
    // the next Create loads it again.
    g_Canvas.m_Shader = nullptr;
    g_Canvas.m_Ready = 0;
}

bool WeRenderDevice::CreateDepthSurfaces()
{
    ReleaseDepthSurfaces();
    if (m_Device == nullptr)
        return false;
    if (FAILED(m_Device->CreateDepthStencilSurface(UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), m_DepthFormat,
                                                   D3DMULTISAMPLE_NONE, 0, FALSE, &m_OffscreenDepth, nullptr)))
    {
        m_OffscreenDepth = nullptr;
        return false;
    }
    if (FAILED(m_Device->CreateDepthStencilSurface(UINT(g_ScreenSize.width), UINT(g_ScreenSize.height), m_DepthFormat,
                                                   D3DMULTISAMPLE_TYPE(m_MultisampleType), DWORD(m_MultisampleQuality),
                                                   FALSE, &m_BackBufferDepth, nullptr)))
    {
        m_BackBufferDepth = nullptr;
        ReleaseDepthSurfaces();
        return false;
    }
    m_Device->SetDepthStencilSurface(m_BackBufferDepth);
    return true;
}

void WeRenderDevice::ReleaseDepthSurfaces()
{
    if (m_Device != nullptr && (m_OffscreenDepth != nullptr || m_BackBufferDepth != nullptr))
        m_Device->SetDepthStencilSurface(nullptr);
    if (m_OffscreenDepth != nullptr)
        m_OffscreenDepth->Release();
    if (m_BackBufferDepth != nullptr)
        m_BackBufferDepth->Release();
    m_OffscreenDepth = nullptr;
    m_BackBufferDepth = nullptr;
}

void WeRenderDevice::ResetStateCaches()
{
    m_StencilEnabled = 0;
    std::memset(m_SamplerCache, 0, sizeof(m_SamplerCache));
    if (m_Device == nullptr)
        return;
    m_Device->SetRenderState(D3DRS_STENCILENABLE, 0);
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    m_Device->SetRenderState(D3DRS_ZENABLE, 1);
}

void WeRenderDevice::FillPresentParameters()
{
    std::memset(&m_PresentParameters, 0, sizeof(m_PresentParameters));
    m_PresentParameters.BackBufferWidth = UINT(g_ScreenSize.width);
    m_PresentParameters.BackBufferHeight = UINT(g_ScreenSize.height);
    m_PresentParameters.BackBufferFormat = m_BackBufferFormat;
    m_PresentParameters.BackBufferCount = 1;
    ValidateMultisample();
    m_PresentParameters.MultiSampleType = D3DMULTISAMPLE_TYPE(m_MultisampleType);
    m_PresentParameters.MultiSampleQuality = DWORD(m_MultisampleQuality);
    m_PresentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_PresentParameters.hDeviceWindow = m_Window;
    m_PresentParameters.Windowed = m_WindowMode != 0;
    m_PresentParameters.EnableAutoDepthStencil = FALSE;
    m_PresentParameters.AutoDepthStencilFormat = m_DepthFormat;
    m_PresentParameters.PresentationInterval =
        m_VerticalSync ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
}

void WeRenderDevice::ValidateMultisample()
{
    if (m_MultisampleType <= 0)
        return;
    DWORD colourLevels = 0;
    DWORD depthLevels = 0;
    bool ok = m_D3D != nullptr &&
              SUCCEEDED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, m_BackBufferFormat, m_WindowMode != 0,
                                                          D3DMULTISAMPLE_TYPE(m_MultisampleType), &colourLevels)) &&
              SUCCEEDED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, m_DepthFormat, m_WindowMode != 0,
                                                          D3DMULTISAMPLE_TYPE(m_MultisampleType), &depthLevels));
    // A quality is valid from 0 to the number of levels minus 1.
    if (!ok || m_MultisampleQuality < 0 || colourLevels <= DWORD(m_MultisampleQuality) ||
        depthLevels <= DWORD(m_MultisampleQuality))
    {
        m_MultisampleType = 0;
        m_MultisampleQuality = 0;
    }
}

bool WeRenderDevice::IsMultisampleSupported(WeMultisampleChoice& choice)
{
    if (m_D3D == nullptr || choice.quality < 0)
        return false;
    DWORD colourLevels = 0;
    DWORD depthLevels = 0;
    if (FAILED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, m_BackBufferFormat, m_WindowMode != 0,
                                                 D3DMULTISAMPLE_TYPE(choice.type), &colourLevels)) ||
        colourLevels <= DWORD(choice.quality))
        return false;
    if (FAILED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, m_DepthFormat, m_WindowMode != 0,
                                                 D3DMULTISAMPLE_TYPE(choice.type), &depthLevels)) ||
        depthLevels <= DWORD(choice.quality))
        return false;
    DWORD floatLevels = 0;
    choice.floatTargets =
        m_A16B16G16R16FTargets &&
        SUCCEEDED(m_D3D->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A16B16G16R16F, m_WindowMode != 0,
                                                    D3DMULTISAMPLE_TYPE(choice.type), &floatLevels));
    return true;
}

void WeRenderDevice::BuildMultisampleList()
{
    static const struct
    {
        int32_t type;
        int32_t quality;
        const char* name;
    } Choices[] = {{2, 0, "2x"}, {4, 0, "4x"}, {4, 2, "8x (4x2)"}, {4, 4, "16x (4x4)"}};
    m_MultisampleChoices.Reset();
    for (const auto& c : Choices)
    {
        WeMultisampleChoice choice;
        choice.type = c.type;
        choice.quality = c.quality;
        choice.name = c.name;
        choice.floatTargets = 0;
        if (IsMultisampleSupported(choice))
        {
            WeMultisampleChoice& slot = m_MultisampleChoices.PushBack();
            slot.type = choice.type;
            slot.quality = choice.quality;
            slot.name = choice.name;
            slot.floatTargets = choice.floatTargets;
        }
    }
}

void WeRenderDevice::EnumerateDisplayModes()
{
    m_DisplayModes.Reset();
    if (m_D3D == nullptr)
        return;
    UINT count = m_D3D->GetAdapterModeCount(0, m_BackBufferFormat);
    bool havePrevious = false;
    WeDisplayMode previous = {0, 0};
    for (UINT i = 0; i < count; ++i)
    {
        D3DDISPLAYMODE mode;
        if (FAILED(m_D3D->EnumAdapterModes(0, m_BackBufferFormat, i, &mode)))
            continue;
        if (mode.Width < 640)
            continue;
        // Refresh-rate variants of one size come in sequence.
        if (havePrevious && previous.width == int32_t(mode.Width) && previous.height == int32_t(mode.Height))
            continue;
        previous = {int32_t(mode.Width), int32_t(mode.Height)};
        havePrevious = true;
        m_DisplayModes.PushBack(previous);
    }
}

void WeRenderDevice::Render()
{
    if (!m_Created || !m_RenderEnabled || m_Lost || !IsAppForeground() || m_Device == nullptr)
        return;
    m_Device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, m_MultisampleType > 0);
    if (m_ClearEachFrame)
        Clear(true, m_ClearColor, true, 1.0f, true, 0);
    for (DWORD stage = 0; stage < 8; ++stage)
        m_Device->SetTexture(stage, nullptr);
    m_Device->BeginScene();
    if (m_DrawBackLayer != nullptr)
        m_DrawBackLayer();
    if (m_RenderCallback != nullptr)
    {
        g_Canvas.BeginFrame();
        m_RenderCallback();
        WeTickCost::Scope cost(WeCostStage::HudUi);
        g_Canvas.Flush();
    }
    {
        WeTickCost::Scope cost(WeCostStage::HudUi);
        if (m_DrawMainLayer != nullptr)
            m_DrawMainLayer();
        if (m_DrawFrontLayer != nullptr)
            m_DrawFrontLayer();
    }
    m_Device->EndScene();
    WeTickCost::Scope cost(WeCostStage::Present);
    m_Device->Present(nullptr, nullptr, m_Window, nullptr);
}

int32_t WeRenderDevice::CheckDeviceLost()
{
    m_ResetThisFrame = 0;
    if (!m_Created || m_Device == nullptr)
        return 0;
    HRESULT result = m_Device->TestCooperativeLevel();
    if (result == D3DERR_DEVICELOST)
    {
        m_Lost = 1;
        return 1;
    }
    if (result == D3DERR_DRIVERINTERNALERROR)
        return 2;
    if (result == D3DERR_DEVICENOTRESET)
    {
        ReleaseResources();
        HRESULT reset = m_Device->Reset(&m_PresentParameters);
        if (SUCCEEDED(reset))
        {
            RestoreResources();
            m_Lost = 0;
            m_ResetThisFrame = 1;
            return 0;
        }
        if (reset == D3DERR_DEVICELOST)
        {
            m_Lost = 1;
            return 1;
        }
        return 2;
    }
    return FAILED(result) ? 2 : 0;
}

void WeRenderDevice::ReleaseResources()
{
    m_Lost = 1;
    // A reset that failed leaves everything released; the retry must not release it twice.
    if (m_ResourcesReleased)
        return;
    m_ResourcesReleased = true;
    if (m_DeviceLostCallback != nullptr)
        m_DeviceLostCallback(this);
    ReleaseDepthSurfaces();
    g_Canvas.OnLostDevice();
    g_ShaderManager.OnLostDevice();
    g_TextureManager.OnLostDevice();
    g_RenderTargetManager.OnLostDevice();
    g_MeshManager.OnLostDevice();
    g_PostProcess.Release();
    WeList<WeBaseRenderer*>& list = WeBaseRenderer::GetRendererList();
    for (WeList<WeBaseRenderer*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
        node->payload->OnLostDevice();
    WalkMovies(m_MovieLostStep);
}

void WeRenderDevice::RestoreResources()
{
    if (!m_ResourcesReleased)
        return;
    m_ResourcesReleased = false;
    m_StateBlockMarker = 999;
    if (m_DeviceResetCallback != nullptr)
        m_DeviceResetCallback(this);
    CreateDepthSurfaces();
    ResetStateCaches();
    g_Canvas.OnResetDevice();
    g_ShaderManager.OnResetDevice();
    g_TextureManager.OnResetDevice();
    g_RenderTargetManager.OnResetDevice();
    g_MeshManager.OnResetDevice();
    g_PostProcess.Init();
    WeList<WeBaseRenderer*>& list = WeBaseRenderer::GetRendererList();
    for (WeList<WeBaseRenderer*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
        node->payload->OnResetDevice();
    WalkMovies(m_MovieResetStep);
}

void WeRenderDevice::WalkMovies(void (*step)(WeMovieTextureRenderer*))
{
    WeLock lock(m_MovieLock);
    if (step == nullptr)
        return;
    for (WeList<WeMovieTextureRenderer*>::Node* node = m_Movies.FirstNode(); node != nullptr;
         node = m_Movies.NextNode(node))
        step(node->payload);
}

bool WeRenderDevice::ChangeMode(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                                uint8_t verticalSync, int32_t windowMode)
{
    if (!m_Created || m_Device == nullptr)
        return false;
    ReleaseResources();
    g_ScreenSize = {width, height};
    m_MultisampleType = multisampleType;
    m_MultisampleQuality = multisampleQuality;
    m_Aspect = height != 0 ? float(width) / float(height) : 1.0f;
    m_ScreenChanged = 1;
    m_ScreenChangedSeen = 0;
    m_VerticalSync = verticalSync;
    m_WindowMode = windowMode;
    if (windowMode == 2 && m_Window != nullptr)
    {
        int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        SetWindowPos(m_Window, nullptr, x, y, width, height, SWP_NOZORDER);
    }
    FillPresentParameters();
    // A failed reset leaves the device lost: the next CheckDeviceLost retries with these parameters.
    if (FAILED(m_Device->Reset(&m_PresentParameters)))
        return false;
    RestoreResources();
    m_Lost = 0;
    m_ResetThisFrame = 1;
    SyncCameraScreen();
    return true;
}

void WeRenderDevice::Shutdown()
{
    if (!m_Created)
        return;
    if (!m_ShutDownRenderers)
    {
        m_ShutDownRenderers = true;
        m_RenderersReleased = 1;
        WeList<WeBaseRenderer*>& list = WeBaseRenderer::GetRendererList();
        for (WeList<WeBaseRenderer*>::Node* node = list.FirstNode(); node != nullptr; node = list.NextNode(node))
            node->payload->Release();
    }
    // Every movie is closed, but stays registered: the renderers are their owners' objects and unregister
    // themselves when destroyed. One that outlives this device must still be released around the resets of
    // the next one, and closed at its shutdown.
    WalkMovies(m_MovieCloseStep);
    g_PostProcess.Release();
    g_Canvas.DestroyFonts();
    ForgetCanvasShader();
    ReleaseDeviceObjects();
    // The lists describe this device; emptied here, exit-time destructors find nothing left to free.
    m_DisplayModes.Clear();
    m_MultisampleChoices.Clear();
    m_Created = 0;
    m_Adopted = false;
    m_ResourcesReleased = false;
    m_Lost = 0;
}

// ---- States ----

void WeRenderDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (m_Device != nullptr)
        m_Device->SetRenderState(state, value);
}

void WeRenderDevice::SetAlphaBlend(bool enable)
{
    SetRenderState(D3DRS_ALPHABLENDENABLE, enable ? 1 : 0);
}

void WeRenderDevice::SetAlphaTest(int32_t reference)
{
    if (reference > 0)
    {
        SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        SetRenderState(D3DRS_ALPHAREF, DWORD(reference));
        SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    }
    else
    {
        SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    }
}

void WeRenderDevice::EnableStencil()
{
    if (m_StencilEnabled)
        return;
    m_StencilEnabled = 1;
    SetRenderState(D3DRS_STENCILENABLE, 1);
}

void WeRenderDevice::DisableStencil()
{
    if (!m_StencilEnabled)
        return;
    m_StencilEnabled = 0;
    SetRenderState(D3DRS_STENCILENABLE, 0);
}

void WeRenderDevice::SetScissorRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    auto clamp = [](int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); };
    int32_t w = g_ScreenSize.width;
    int32_t h = g_ScreenSize.height;
    left = clamp(left, 0, w - 1);
    top = clamp(top, 0, h - 1);
    right = clamp(right, left, w - 1);
    bottom = clamp(bottom, top, h - 1);
    m_Scissor[0] = left;
    m_Scissor[1] = top;
    m_Scissor[2] = right;
    m_Scissor[3] = bottom;
    m_ScissorEnabled = 1;
    if (m_Device == nullptr)
        return;
    RECT rect = {left, top, right, bottom};
    m_Device->SetScissorRect(&rect);
    m_Device->SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
}

void WeRenderDevice::DisableScissor()
{
    m_ScissorEnabled = 0;
    SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
}

void WeRenderDevice::Clear(bool target, D3DCOLOR colour, bool zbuffer, float z, bool stencil, DWORD stencilValue)
{
    DWORD flags =
        (target ? D3DCLEAR_TARGET : 0u) | (zbuffer ? D3DCLEAR_ZBUFFER : 0u) | (stencil ? D3DCLEAR_STENCIL : 0u);
    if (flags == 0 || m_Device == nullptr)
        return;
    m_Device->Clear(0, nullptr, flags, colour, z, stencilValue);
}

void WeRenderDevice::SetFog(bool enable, const float colour[4], float start, float end, float minimum, float maximum)
{
    m_FogEnabled = enable;
    m_FogRequested = enable;
    for (int i = 0; i < 4; ++i)
        m_FogColor[i] = colour[i];
    m_FogStart = start;
    m_FogEnd = end;
    m_FogMin = minimum;
    m_FogMax = maximum;
}

void WeRenderDevice::EnableFog()
{
    m_FogEnabled = m_FogRequested;
    SetRenderState(D3DRS_FOGENABLE, m_FogRequested);
    SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    SetRenderState(D3DRS_FOGSTART, FloatBits(m_FogStart));
    SetRenderState(D3DRS_FOGEND, FloatBits(m_FogEnd));
    SetRenderState(D3DRS_FOGCOLOR, uint32_t(D3DXCOLOR(m_FogColor)));
}

void WeRenderDevice::DisableFog()
{
    SetRenderState(D3DRS_FOGENABLE, 0);
    m_FogEnabled = 0;
}

void WeRenderDevice::ApplyFogParameters()
{
    g_ShaderManager.SetFogParameters(m_FogColor, m_FogStart, m_FogEnd, m_FogMin, m_FogMax);
}

void WeRenderDevice::SetAmbientColor(const float rgba[4])
{
    for (int i = 0; i < 4; ++i)
        m_AmbientColor[i] = rgba[i];
    g_ShaderManager.SetSharedFloats(g_ShaderManager.m_AmbientColor, m_AmbientColor, 4);
}

void WeRenderDevice::SetCamera(WeCamera* camera)
{
    if (m_Device == nullptr || camera == nullptr)
        return;
    DisableStencil();
    m_Device->SetTransform(D3DTS_PROJECTION, &camera->m_Projection);
    m_Device->SetTransform(D3DTS_VIEW, &camera->m_View);
    if (g_ShaderManager.m_Shared != nullptr)
    {
        static float& globalBloomScale = GetConfigFloat("game.Render.GlobalBloomScale", 1.0f);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_ElapsedTime, g_Timer.m_TotalTimeF);
        g_ShaderManager.SetSharedFloats(g_ShaderManager.m_AmbientColor, m_AmbientColor, 4);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_BloomScale, m_BloomScale * globalBloomScale);
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_ResWidth, float(g_ScreenSize.width));
        g_ShaderManager.SetSharedFloat(g_ShaderManager.m_ResHeight, float(g_ScreenSize.height));
        if (m_RefractionOn)
        {
            g_ShaderManager.SetSharedFloat(g_ShaderManager.m_RefractionStrength,
                                           g_ScreenSize.height != 0 ? *m_RefractionStrength / float(g_ScreenSize.height)
                                                                    : 0.0f);
            g_ShaderManager.SetSharedFloat(g_ShaderManager.m_RefractionSpeed, *m_RefractionSpeed);
        }
    }
    // The cameras recompute their projections while the flag is up: it drops at the second call after a change.
    if (m_ScreenChanged)
    {
        if (m_ScreenChangedSeen)
        {
            m_ScreenChanged = 0;
            m_ScreenChangedSeen = 0;
        }
        else
        {
            m_ScreenChangedSeen = 1;
        }
    }
    SyncCameraScreen();
}

void WeRenderDevice::MarkScreenChanged()
{
    m_ScreenChanged = 1;
    m_ScreenChangedSeen = 0;
    SyncCameraScreen();
}

void WeRenderDevice::SyncCameraScreen()
{
    g_CameraScreen.aspect = m_Aspect;
    g_CameraScreen.screenChanged = m_ScreenChanged;
    g_CameraScreen.viewport = {0, 0, DWORD(g_ScreenSize.width), DWORD(g_ScreenSize.height), 0.0f, 1.0f};
}

void WeRenderDevice::SetSamplerFilter(int32_t stage, int32_t filter, int32_t address)
{
    if (stage < 0 || stage > 7 || m_Device == nullptr)
        return;
    SamplerCache& cache = m_SamplerCache[stage];
    if (filter != 0)
    {
        int32_t mag = D3DTEXF_LINEAR;
        int32_t mip = D3DTEXF_LINEAR;
        int32_t min = D3DTEXF_LINEAR;
        if (filter == 1)
        {
            mag = mip = min = D3DTEXF_POINT;
        }
        else if (filter == 2)
        {
            min = D3DTEXF_POINT;
        }
        else if (filter == 3 && m_MaxAnisotropy > 0)
        {
            min = D3DTEXF_ANISOTROPIC;
        }
        if (cache.minFilter != min)
        {
            cache.minFilter = min;
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_MINFILTER, DWORD(min));
            if (min == D3DTEXF_ANISOTROPIC)
                m_Device->SetSamplerState(DWORD(stage), D3DSAMP_MAXANISOTROPY, DWORD(m_MaxAnisotropy));
        }
        if (cache.magFilter != mag)
        {
            cache.magFilter = mag;
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_MAGFILTER, DWORD(mag));
        }
        if (cache.mipFilter != mip)
        {
            cache.mipFilter = mip;
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_MIPFILTER, DWORD(mip));
        }
    }
    if (address != 0)
    {
        int32_t mode = address == 1 ? D3DTADDRESS_CLAMP : (address == 3 ? D3DTADDRESS_BORDER : D3DTADDRESS_WRAP);
        if (cache.address != mode)
        {
            cache.address = mode;
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_ADDRESSU, DWORD(mode));
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_ADDRESSV, DWORD(mode));
            m_Device->SetSamplerState(DWORD(stage), D3DSAMP_ADDRESSW, DWORD(mode));
            if (mode == D3DTADDRESS_BORDER)
                m_Device->SetSamplerState(DWORD(stage), D3DSAMP_BORDERCOLOR, 0);
        }
    }
}

void WeRenderDevice::SetTexture(int32_t stage, WeTexture* texture)
{
    SetD3DTexture(stage, texture != nullptr ? texture->GetD3DTexture() : nullptr);
}

void WeRenderDevice::SetD3DTexture(int32_t stage, IDirect3DBaseTexture9* texture)
{
    if (m_Device != nullptr)
        m_Device->SetTexture(DWORD(stage), texture);
}

void WeRenderDevice::SetRenderTarget(int32_t index, WeRenderTarget* target)
{
    if (m_Device != nullptr)
        m_Device->SetRenderTarget(DWORD(index), target != nullptr ? target->GetSurface(0) : nullptr);
}

IDirect3DSurface9* WeRenderDevice::GetRenderTarget()
{
    IDirect3DSurface9* surface = nullptr;
    if (m_Device != nullptr && FAILED(m_Device->GetRenderTarget(0, &surface)))
        surface = nullptr;
    return surface;
}

void WeRenderDevice::RestoreRenderTarget(IDirect3DSurface9* surface)
{
    if (surface == nullptr)
        return;
    if (m_Device != nullptr)
        m_Device->SetRenderTarget(0, surface);
    surface->Release();
}

void WeRenderDevice::UseOffscreenDepth()
{
    if (m_Device == nullptr)
        return;
    m_Device->SetDepthStencilSurface(m_OffscreenDepth);
    if (m_MultisampleType > 0)
        m_Device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 0);
}

void WeRenderDevice::UseBackBufferDepth()
{
    if (m_Device == nullptr)
        return;
    if (m_MultisampleType > 0)
        m_Device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, 1);
    m_Device->SetDepthStencilSurface(m_BackBufferDepth);
}

void WeRenderDevice::SetReflectionQuality(int32_t quality)
{
    m_ReflectionQuality = quality;
    g_ReflectionRenderer.SetQuality(quality);
}

void WeRenderDevice::GetCaps(D3DCAPS9* caps)
{
    if (m_Device != nullptr && caps != nullptr)
        m_Device->GetDeviceCaps(caps);
}

bool WeRenderDevice::IsAppForeground()
{
    // Every window of the process belongs to its one UI thread.
    return GetForegroundWindow() != nullptr;
}

D3DXMATRIX* WeRenderDevice::MatrixLookAt(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                         const D3DXVECTOR3* up)
{
    return D3DXMatrixLookAtLH(out, eye, at, up);
}

D3DXMATRIX* WeRenderDevice::MatrixPerspective(D3DXMATRIX* out, float fov, float aspect, float zNear, float zFar)
{
    return D3DXMatrixPerspectiveFovLH(out, fov, aspect == 0.0f ? m_Aspect : aspect, zNear, zFar);
}
