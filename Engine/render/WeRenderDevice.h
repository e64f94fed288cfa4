#pragma once
#include <cstdint>

#include "Engine/foundation/WeCriticalSection.h"
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Platform/gfx/D3D9.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeBaseRenderer;
class WeCamera;
class WeMovieTextureRenderer;
class WeRenderTarget;
class WeTexture;

// The back-buffer size for the whole program.
struct WeScreenSize
{
    int32_t width;
    int32_t height;
};
extern WeScreenSize g_ScreenSize;

struct WeDisplayMode
{
    int32_t width;
    int32_t height;
};

struct WeMultisampleChoice
{
    int32_t type;
    int32_t quality;
    WeString name;
    uint8_t floatTargets;  // the float render targets can be multisampled this way too
};

// Owns the graphics device: creates it from the start-up settings, checks the hardware, brings up
// the managers and renderers in a fixed order, runs the frame (UI layers around the game's render
// callback), survives device loss and mode changes by releasing and restoring everything around a
// reset, and caches the states the renderers set most often. It also holds the graphics options the
// option screens write and the renderers read.
class WeRenderDevice
{
public:
    WeRenderDevice();
    virtual ~WeRenderDevice();
    WeRenderDevice(const WeRenderDevice&) = delete;
    WeRenderDevice& operator=(const WeRenderDevice&) = delete;

    // Creation and frame.
    bool Create(void* instance, HWND window, int32_t width, int32_t height, int32_t multisampleType,
                int32_t multisampleQuality, uint8_t verticalSync, int32_t windowMode, int32_t reflectionQuality,
                uint8_t multithreaded);
    // Takes an existing device (its own reference) for tools and tests that use the resource classes without
    // a full Create: no checks, no managers, no depth surfaces. Shutdown gives it back.
    bool AdoptDevice(IDirect3DDevice9* device);
    void Render();
    int32_t CheckDeviceLost();
    bool ChangeMode(int32_t width, int32_t height, int32_t multisampleType, int32_t multisampleQuality,
                    uint8_t verticalSync, int32_t windowMode);
    void Shutdown();

    void EnumerateDisplayModes();
    void BuildMultisampleList();
    void ValidateMultisample();
    bool IsMultisampleSupported(WeMultisampleChoice& choice);
    void FillPresentParameters();

    void ReleaseResources();
    void RestoreResources();

    // States.
    void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void SetAlphaBlend(bool enable);
    void SetAlphaTest(int32_t reference);
    void EnableStencil();
    void DisableStencil();
    void SetScissorRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void DisableScissor();
    void Clear(bool target, D3DCOLOR colour, bool zbuffer, float z, bool stencil, DWORD stencilValue);
    void SetFog(bool enable, const float colour[4], float start, float end, float minimum, float maximum);
    void EnableFog();
    void DisableFog();
    void ApplyFogParameters();
    void SetAmbientColor(const float rgba[4]);
    // The camera's transforms and the per-frame shared parameters.
    void SetCamera(WeCamera* camera);
    // Raises the screen-changed flag as a mode change does (a screen that rebuilds its cameras' projections
    // without one): cameras see it at their next Update, and the second SetCamera after it clears it.
    void MarkScreenChanged();
    void SetSamplerFilter(int32_t stage, int32_t filter, int32_t address);
    void SetTexture(int32_t stage, WeTexture* texture);
    void SetD3DTexture(int32_t stage, IDirect3DBaseTexture9* texture);
    void SetRenderTarget(int32_t index, WeRenderTarget* target);
    IDirect3DSurface9* GetRenderTarget();
    void RestoreRenderTarget(IDirect3DSurface9* surface);
    void UseOffscreenDepth();
    void UseBackBufferDepth();
    void SetReflectionQuality(int32_t quality);
    void GetCaps(D3DCAPS9* caps);
    bool IsAppForeground();

    static D3DXMATRIX* MatrixLookAt(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                    const D3DXVECTOR3* up);
    // An aspect of 0 means the device's.
    D3DXMATRIX* MatrixPerspective(D3DXMATRIX* out, float fov, float aspect, float zNear, float zFar);

    IDirect3DDevice9* GetDevice() const { return m_Device; }
    IDirect3D9* GetDirect3D() const { return m_D3D; }
    // The movie renderers' list is touched from their decoding threads: walk it under this lock.
    WeCriticalSection& GetMovieLock() { return m_MovieLock; }
    WeList<WeMovieTextureRenderer*>& GetMovies() { return m_Movies; }

    // Fields, in the order the engine's code knows them.
    uint8_t m_Created = 0;
    uint8_t m_Lost = 0;
    uint8_t m_ResetThisFrame = 0;
    uint8_t m_Spare0 = 0;
    uint8_t m_QueueByte = 0;  // read by the render queue

    int32_t m_WindowMode = 0;
    uint8_t m_VerticalSync = 0;
    uint8_t m_ClearEachFrame = 0;
    uint8_t m_ParticleOption = 1;  // read by the particle renderer

    int32_t m_StateBlockMarker = 999;

    uint8_t m_FogEnabled = 0;
    uint8_t m_FogRequested = 0;
    float m_FogStart = 0.0f;
    float m_FogEnd = 0.0f;
    float m_FogMin = 0.0f;
    float m_FogMax = 0.0f;
    float m_FogColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};

    int32_t m_MotionBlurMode = 2;
    float* m_PixelMotionBlurFactor;
    float m_PostProcessFactor = 1.0f;  // read by post-processing
    uint8_t m_RefractionOn = 1;
    uint8_t m_RefractionOption = 1;  // read by post-processing and the render queue
    float* m_RefractionStrength;
    float* m_RefractionSpeed;
    uint8_t m_FilmGrainOn = 1;
    float m_FilmGrainStrength;
    float m_BloomScale = 1.0f;
    int32_t m_BloomLevel = 1;
    uint8_t m_DepthOfFieldOn = 1;
    float m_DepthOfField[3] = {200.0f, 10.0f, 4.0f};
    float m_CameraValues[2] = {0.0f, 0.0f};  // read by post-processing and the game's camera code
    float m_AmbientColor[4] = {0.05f, 0.05f, 0.05f, 1.0f};
    D3DCOLOR m_ClearColor = 0xFF000000;

    void (*m_RenderCallback)() = nullptr;
    void (*m_DeviceLostCallback)(WeRenderDevice* device) = nullptr;
    void (*m_DeviceResetCallback)(WeRenderDevice* device) = nullptr;

    D3DPRESENT_PARAMETERS m_PresentParameters{};

    uint8_t m_CapsFirst = 1;
    uint8_t m_PixelShader30 = 0;
    uint8_t m_G16R16FTargets = 0;
    uint8_t m_A16B16G16R16FTargets = 0;
    uint8_t m_A16B16G16R16FMultisample = 0;

    int32_t m_RenderEnabled = 1;

    uint8_t m_ProjectorOption = 1;  // read by the projector renderer
    uint8_t m_FlareOption = 1;      // read by the velocity and flare renderers
    uint8_t m_BumpOption = 1;
    uint8_t m_SpecularOption = 1;

    int32_t m_ReflectionQuality = 2;
    int32_t m_ShaderPath = 1;  // 2: the second technique family
    int32_t m_MaxAnisotropy = 1;

    uint8_t m_StencilEnabled = 0;
    struct SamplerCache
    {
        int32_t minFilter;
        int32_t magFilter;
        int32_t mipFilter;
        int32_t address;
    };
    SamplerCache m_SamplerCache[8] = {};

    float m_Aspect = 1024.0f / 768.0f;
    uint8_t m_ScreenChanged = 0;
    uint8_t m_ScreenChangedSeen = 0;  // set by SetCamera; the second call after a change clears the flag

    int32_t m_MultisampleType = 0;
    int32_t m_MultisampleQuality = 0;
    D3DFORMAT m_BackBufferFormat = D3DFMT_X8R8G8B8;
    D3DFORMAT m_DepthFormat = D3DFMT_D24S8;
    IDirect3DSurface9* m_OffscreenDepth = nullptr;
    IDirect3DSurface9* m_BackBufferDepth = nullptr;

    uint8_t m_FellBack = 0;
    uint8_t m_RenderersReleased = 0;
    HWND m_Window = nullptr;

    int32_t m_Scissor[4] = {0, 0, 0, 0};
    uint8_t m_ScissorEnabled = 0;

    WeList<WeDisplayMode> m_DisplayModes;
    WeList<WeMultisampleChoice> m_MultisampleChoices;
    uint8_t m_DrawAtCreation = 0;

    uint8_t m_ActorByte0 = 0;  // read by the actor code
    uint8_t m_ActorByte1 = 0;
    // The game's shadow switch and HDR level, stored for the post-processing and video options that read them.
    uint8_t m_ShadowsOn = 0;
    int32_t m_HdrLevel = 0;

    // The UI draws its three layers through these (null: nothing drawn), so rendering needs no UI.
    void (*m_DrawBackLayer)() = nullptr;
    void (*m_DrawMainLayer)() = nullptr;
    void (*m_DrawFrontLayer)() = nullptr;

    // The movie renderers' own steps, installed with them (null: nothing to do).
    void (*m_MovieLostStep)(WeMovieTextureRenderer* movie) = nullptr;
    void (*m_MovieResetStep)(WeMovieTextureRenderer* movie) = nullptr;
    void (*m_MovieCloseStep)(WeMovieTextureRenderer* movie) = nullptr;

private:
    // Cameras and frusta read the screen through g_CameraScreen.
    void SyncCameraScreen();
    bool CreateDepthSurfaces();
    void ReleaseDepthSurfaces();
    void ResetStateCaches();
    // What Create made, given back after a failure: a later Create starts clean.
    // The depth surfaces, the device and Direct3D, and the video-card lines that describe them.
    void ReleaseDeviceObjects();
    void UndoCreate();
    void ForgetCanvasShader();
    bool InitManagers();
    void InitRenderers();
    void WalkMovies(void (*step)(WeMovieTextureRenderer*));

    IDirect3DDevice9* m_Device = nullptr;
    IDirect3D9* m_D3D = nullptr;
    WeCriticalSection m_MovieLock;
    WeList<WeMovieTextureRenderer*> m_Movies;
    bool m_Adopted = false;
    bool m_ResourcesReleased = false;  // lost steps have run and wait for their restore
    bool m_ShutDownRenderers = false;
};

extern WeRenderDevice g_RenderDevice;
