#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeMaterial;
class WePostProcessEffect;
class WeRenderTarget;
class WeShader;
class WeTexture;

// Runs the finished scene through a chain of full-screen effects and a final colour pass (contrast,
// brightness, flash colour). The world renders into the main target between BeginScene and EndScene;
// Render then draws the chain onto the back buffer. Which effects the chain holds follows the render
// device's graphics options; the game may append its own effects, which it keeps owning.
class WePostProcess
{
public:
    WePostProcess() = default;
    virtual ~WePostProcess();
    WePostProcess(const WePostProcess&) = delete;
    WePostProcess& operator=(const WePostProcess&) = delete;

    bool Init();
    void Release();
    void OnLostDevice() { Release(); }
    void OnResetDevice() { Init(); }
    void Reinitialize();

    void BeginScene();
    void EndScene();
    void Render();

    WePostProcessEffect* AddEffect(WePostProcessEffect* effect);
    WePostProcessEffect* AddEffectByName(const WeString& shaderName);
    // Unlinks the effect (not destroyed); true when the chain held it.
    bool RemoveEffect(WePostProcessEffect* effect);
    // Destroys every effect, the game's included.
    void DeleteAllEffects();

    // Depth-of-field values as the shaders take them, from the render device's three floats.
    static float FocalRange();
    static float FocalDistance();
    static float MaxCircleOfConfusion();
    static const float FilterTaps[12][2];

    float m_FlashColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // rgb and the strength
    IDirect3DSurface9* m_SavedTarget = nullptr;
    float m_RadialBlurStrength = 0.0f;
    float m_DownScale = 0.5f;
    uint8_t m_RadialBlurEnabled = 1;
    WeList<WePostProcessEffect*> m_Effects;
    IDirect3DVertexBuffer9* m_FullQuad = nullptr;
    IDirect3DVertexBuffer9* m_HalfQuad = nullptr;
    IDirect3DVertexBuffer9* m_QuarterQuad = nullptr;
    IDirect3DVertexBuffer9* m_FilmGrainQuad = nullptr;
    int32_t m_QuarterWidth = 0;
    int32_t m_QuarterHeight = 0;
    int32_t m_HalfWidth = 0;
    int32_t m_HalfHeight = 0;
    WeRenderTarget* m_MainTarget = nullptr;
    WeRenderTarget* m_RefractionTarget = nullptr;
    WeRenderTarget* m_QuarterTargets[2] = {};
    WeRenderTarget* m_HalfTarget = nullptr;
    WeRenderTarget* m_FullTargets[2] = {};
    WeRenderTarget* m_DepthTarget = nullptr;
    WeTexture* m_DistortionTexture = nullptr;
    WeTexture* m_FilmGrainTexture = nullptr;
    WeMaterial* m_FilmGrainMaterial = nullptr;
    WeShader* m_Contrast = nullptr;
    D3DXHANDLE m_Brightness = nullptr;
    D3DXHANDLE m_ContrastValue = nullptr;
    D3DXHANDLE m_FlashColorHandle = nullptr;
    uint8_t m_Initialised = 0;
    int32_t m_SceneOpen = 0;

private:
    WePostProcessEffect* Build(const char* shaderName);
    void RunEffect(WePostProcessEffect* effect);
    void ReleaseTarget(WeRenderTarget*& target);
    // Binds the texture of a target (null: nothing) to a stage.
    static void BindTarget(int32_t stage, WeRenderTarget* target);
    static void Resolve(WeRenderTarget* target);

    // The effects Init made; only these are destroyed by Release.
    WeList<WePostProcessEffect*> m_Built;
    // The game's effects held aside between Release and the next Init, in chain order.
    WeList<WePostProcessEffect*> m_Outside;
    int32_t m_NextFull = 0;
    int32_t m_NextQuarter = 0;
    WeRenderTarget* m_Source = nullptr;      // whose texture stage 0 holds
    WeRenderTarget* m_LastResult = nullptr;  // the last full-size result
};

extern WePostProcess g_PostProcess;
