#include "Engine/render/WePostProcess.h"

#include <cmath>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WePostProcessEffect.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"

WePostProcess g_PostProcess;

const float WePostProcess::FilterTaps[12][2] = {
    {-0.326212f, -0.405805f}, {-0.840144f, -0.07358f}, {-0.695914f, 0.457137f}, {-0.203345f, 0.620716f},
    {0.96234f, -0.194983f},   {0.473434f, -0.480026f}, {0.519456f, 0.767022f},  {0.185461f, -0.893124f},
    {0.507431f, 0.064425f},   {0.89642f, 0.412458f},   {-0.32194f, -0.932615f}, {-0.791559f, -0.597705f}};

namespace
{

constexpr int32_t CreateTries = 4;

WeRenderTarget* CreateTarget(int32_t width, int32_t height, D3DFORMAT format, int32_t multisampleType,
                             int32_t multisampleQuality)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    for (int32_t i = 0; i < CreateTries; ++i)
    {
        WeRenderTarget* target =
            g_RenderTargetManager.CreateTarget(width, height, format, multisampleType, multisampleQuality);
        if (target != nullptr)
            return target;
    }
    return nullptr;
}

IDirect3DVertexBuffer9* CreateQuad(UINT stride, DWORD fvf)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DVertexBuffer9* vb = nullptr;
    if (device == nullptr || FAILED(device->CreateVertexBuffer(4 * stride, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, fvf,
                                                               D3DPOOL_DEFAULT, &vb, nullptr)))
        return nullptr;
    return vb;
}

void ReleaseQuad(IDirect3DVertexBuffer9*& vb)
{
    if (vb != nullptr)
        vb->Release();
    vb = nullptr;
}

bool DepthTargetWanted()
{
    const WeRenderDevice& d = g_RenderDevice;
    return d.m_G16R16FTargets && (d.m_DepthOfFieldOn || d.m_MotionBlurMode == 2);
}

}  // namespace

WePostProcess::~WePostProcess()
{
    // Shutdown is explicit (the render device's); an exit-time destructor touches no device.
}

float WePostProcess::FocalRange()
{
    // 2 / 0 would be an infinite range: no value, no blur.
    float first = g_RenderDevice.m_DepthOfField[0];
    return first > 0.0f ? 2.0f / first : 0.0f;
}

float WePostProcess::FocalDistance()
{
    return g_RenderDevice.m_DepthOfField[1];
}

float WePostProcess::MaxCircleOfConfusion()
{
    return g_RenderDevice.m_DepthOfField[2];
}

WePostProcessEffect* WePostProcess::Build(const char* shaderName)
{
    WePostProcessEffect* effect = new WePostProcessEffect();
    effect->Load(shaderName);
    m_Effects.PushBack(effect);
    m_Built.PushBack(effect);
    return effect;
}

bool WePostProcess::Init()
{
    if (m_Initialised)
        return true;
    WeRenderDevice& d = g_RenderDevice;
    if (d.GetDevice() == nullptr)
        return false;

    if (m_Contrast == nullptr)
    {
        WeShader* contrast = g_ShaderManager.GetShader("Shaders.PostProcess.Contrast", false, false);
        if (contrast != nullptr && contrast->GetEffect() != nullptr)
        {
            m_Contrast = contrast;
            ID3DXEffect* e = contrast->GetEffect();
            m_Brightness = e->GetParameterByName(nullptr, "Brightness");
            m_ContrastValue = e->GetParameterByName(nullptr, "Contrast");
            m_FlashColorHandle = e->GetParameterByName(nullptr, "FlashColor");
        }
    }

    const int32_t width = g_ScreenSize.width;
    const int32_t height = g_ScreenSize.height;
    m_HalfWidth = int32_t(float(width) * m_DownScale);
    m_HalfHeight = int32_t(float(height) * m_DownScale);
    m_QuarterWidth = int32_t(float(m_HalfWidth) * m_DownScale);
    m_QuarterHeight = int32_t(float(m_HalfHeight) * m_DownScale);

    BeginBusy();
    m_DistortionTexture = g_TextureManager.GetTexture("Textures.Distortion.Distortion1", false, 0, true);
    m_FilmGrainMaterial = g_MaterialManager.GetMaterial("Materials.Distortion.FilmGrain", false, false);
    m_FilmGrainTexture = m_FilmGrainMaterial != nullptr ? m_FilmGrainMaterial->m_Textures[0] : nullptr;
    if (m_DistortionTexture != nullptr)
        m_DistortionTexture->SetMinimumQuality(2);
    if (m_FilmGrainTexture != nullptr)
        m_FilmGrainTexture->SetMinimumQuality(2);
    EndBusy();

    m_FullQuad = CreateQuad(24, D3DFVF_XYZRHW | D3DFVF_TEX1);
    m_HalfQuad = CreateQuad(24, D3DFVF_XYZRHW | D3DFVF_TEX1);
    m_QuarterQuad = CreateQuad(24, D3DFVF_XYZRHW | D3DFVF_TEX1);
    m_FilmGrainQuad = CreateQuad(28, D3DFVF_XYZ | D3DFVF_TEX2);
    FillScreenQuad(m_FullQuad, float(width), height);
    FillScreenQuad(m_HalfQuad, float(m_HalfWidth), m_HalfHeight);
    FillScreenQuad(m_QuarterQuad, float(m_QuarterWidth), m_QuarterHeight);
    {
        static float& stretchX = GetConfigFloat("cameras.PostProcess.FilmGrainXStrech", 1.0f);
        static float& stretchY = GetConfigFloat("cameras.PostProcess.FilmGrainYStrech", 1.0f);
        float grainWidth = m_FilmGrainTexture != nullptr ? float(m_FilmGrainTexture->GetWidth()) : 128.0f;
        float grainHeight = m_FilmGrainTexture != nullptr ? float(m_FilmGrainTexture->GetHeight()) : 128.0f;
        FillScaledQuad(m_FilmGrainQuad, grainWidth * stretchX, grainHeight * stretchY, float(width), height);
    }

    m_MainTarget = CreateTarget(width, height, D3DFMT_A8R8G8B8, d.m_MultisampleType, d.m_MultisampleQuality);
    if (d.m_RefractionOn)
        m_RefractionTarget = CreateTarget(width, height, D3DFMT_A8R8G8B8, d.m_MultisampleType, d.m_MultisampleQuality);
    if (DepthTargetWanted())
        m_DepthTarget = CreateTarget(width, height, D3DFMT_G16R16F, 0, 0);
    for (WeRenderTarget*& t : m_QuarterTargets)
        t = CreateTarget(m_QuarterWidth, m_QuarterHeight, D3DFMT_A8R8G8B8, 0, 0);
    m_HalfTarget = CreateTarget(m_HalfWidth, m_HalfHeight, D3DFMT_A8R8G8B8, 0, 0);
    for (WeRenderTarget*& t : m_FullTargets)
        t = CreateTarget(width, height, D3DFMT_A8R8G8B8, 0, 0);

    if (d.m_BloomLevel == 1)
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.Bloom");
        e->m_DownSampling = 1;
        e->m_BlendFromPass1 = 1;
        e->m_Filter[0] = e->m_Filter[1] = 3;
        e->m_Address[0] = e->m_Address[1] = 1;
    }
    if (d.m_MotionBlurMode == 1 || (d.m_MotionBlurMode == 2 && !d.m_G16R16FTargets))
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.RadialBlur");
        e->m_Filter[0] = 2;
        e->m_Address[0] = 1;
    }
    else if (d.m_MotionBlurMode == 2)
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.PixelMotionBlur");
        for (int32_t stage : {0, 2, 3})
        {
            e->m_Filter[stage] = 3;
            e->m_Address[stage] = 1;
        }
    }
    if (d.m_RefractionOn)
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.Refraction");
        e->m_Refraction = 1;
        e->m_Filter[0] = 2;
        e->m_Address[0] = 1;
        e->m_Filter[4] = 3;
        e->m_Address[4] = 2;
    }
    if (d.m_G16R16FTargets && d.m_DepthOfFieldOn)
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.DoF");
        e->m_Filter[0] = 1;
        e->m_Address[0] = 1;
        e->m_Filter[7] = 1;
        e->m_Address[7] = 2;
        if (e->m_Loaded && e->m_Shader->GetEffect() != nullptr)
        {
            D3DXVECTOR4 taps[12];
            for (int i = 0; i < 12; ++i)
                taps[i] = D3DXVECTOR4(width > 0 ? FilterTaps[i][0] / float(width) : 0.0f,
                                      height > 0 ? FilterTaps[i][1] / float(height) : 0.0f, 0.0f, 0.0f);
            e->m_Shader->GetEffect()->SetVectorArray("filterTaps", taps, 12);
        }
    }
    if (d.m_FilmGrainOn)
    {
        WePostProcessEffect* e = Build("Shaders.PostProcess.FilmGrain");
        e->m_PPParam = d.m_FilmGrainStrength;
        e->m_FilmGrainQuad = 1;
        e->m_Filter[0] = 1;
        e->m_Address[0] = 1;
        e->m_Filter[6] = 1;
        e->m_Address[6] = 2;
        // Only a material that really loaded brings its own grain shader; the default material's would
        // draw the frame with the default effect.
        WeShader* own = m_FilmGrainMaterial != nullptr ? m_FilmGrainMaterial->m_Shader : nullptr;
        if (own != nullptr && own->GetEffect() != nullptr)
        {
            e->m_Shader = own;
            e->m_Loaded = 1;
        }
    }

    // The game's effects come back after the built ones, in their order.
    WePostProcessEffect* outside = nullptr;
    while (m_Outside.PopFront(outside))
        m_Effects.PushBack(outside);

    m_NextFull = 0;
    m_NextQuarter = 0;
    m_Initialised = 1;
    return true;
}

void WePostProcess::ReleaseTarget(WeRenderTarget*& target)
{
    if (target != nullptr)
        g_RenderTargetManager.ReleaseTarget(target);
    target = nullptr;
}

void WePostProcess::Release()
{
    if (!m_Initialised)
        return;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (m_SceneOpen)
        EndScene();
    // A texture or stream still bound keeps its target or quad alive, and a live default-pool resource refuses
    // the reset.
    if (device != nullptr)
    {
        for (DWORD stage = 0; stage < 8; ++stage)
            device->SetTexture(stage, nullptr);
        device->SetStreamSource(0, nullptr, 0, 0);
    }

    // Only what Init built dies here; the game's effects wait for the next Init.
    for (WeList<WePostProcessEffect*>::Node* node = m_Effects.FirstNode(); node != nullptr;
         node = m_Effects.NextNode(node))
    {
        if (!m_Built.Contains(node->payload))
            m_Outside.PushBack(node->payload);
    }
    WePostProcessEffect* built = nullptr;
    while (m_Built.PopFront(built))
        delete built;
    m_Effects.Reset();

    ReleaseQuad(m_FullQuad);
    ReleaseQuad(m_HalfQuad);
    ReleaseQuad(m_QuarterQuad);
    ReleaseQuad(m_FilmGrainQuad);
    ReleaseTarget(m_MainTarget);
    ReleaseTarget(m_RefractionTarget);
    ReleaseTarget(m_QuarterTargets[0]);
    ReleaseTarget(m_QuarterTargets[1]);
    ReleaseTarget(m_HalfTarget);
    ReleaseTarget(m_FullTargets[0]);
    ReleaseTarget(m_FullTargets[1]);
    ReleaseTarget(m_DepthTarget);
    m_RadialBlurStrength = 0.0f;
    m_DownScale = 0.5f;
    m_RadialBlurEnabled = 1;
    m_DistortionTexture = nullptr;
    m_FilmGrainTexture = nullptr;
    m_FilmGrainMaterial = nullptr;
    m_Contrast = nullptr;
    m_Brightness = m_ContrastValue = m_FlashColorHandle = nullptr;
    m_Initialised = 0;
}

void WePostProcess::Reinitialize()
{
    Release();
    Init();
}

void WePostProcess::BeginScene()
{
    if (!m_Initialised)
        return;
    if (m_SavedTarget != nullptr)
        m_SavedTarget->Release();
    m_SavedTarget = g_RenderDevice.GetRenderTarget();
    // Without a main target the scene stays on the back buffer.
    if (m_MainTarget != nullptr)
        g_RenderDevice.SetRenderTarget(0, m_MainTarget);
    m_SceneOpen = 1;
}

void WePostProcess::EndScene()
{
    if (!m_Initialised)
        return;
    g_RenderDevice.RestoreRenderTarget(m_SavedTarget);
    m_SavedTarget = nullptr;
    m_SceneOpen = 0;
}

WePostProcessEffect* WePostProcess::AddEffect(WePostProcessEffect* effect)
{
    if (effect == nullptr)
        return nullptr;
    // Between Release and Init the game's effects wait aside; a new one joins them.
    if (m_Initialised)
        m_Effects.PushBack(effect);
    else
        m_Outside.PushBack(effect);
    return effect;
}

WePostProcessEffect* WePostProcess::AddEffectByName(const WeString& shaderName)
{
    WePostProcessEffect* effect = new WePostProcessEffect();
    effect->Load(shaderName);
    return AddEffect(effect);
}

bool WePostProcess::RemoveEffect(WePostProcessEffect* effect)
{
    for (WeList<WePostProcessEffect*>* list : {&m_Effects, &m_Outside, &m_Built})
    {
        for (WeList<WePostProcessEffect*>::Node* node = list->FirstNode(); node != nullptr; node = list->NextNode(node))
        {
            if (node->payload != effect)
                continue;
            list->Remove(node);
            // A built effect taken out of the chain is no longer the chain's to destroy.
            if (list == &m_Effects)
            {
                for (WeList<WePostProcessEffect*>::Node* b = m_Built.FirstNode(); b != nullptr; b = m_Built.NextNode(b))
                    if (b->payload == effect)
                    {
                        m_Built.Remove(b);
                        break;
                    }
            }
            return true;
        }
    }
    return false;
}

void WePostProcess::DeleteAllEffects()
{
    WePostProcessEffect* effect = nullptr;
    while (m_Effects.PopFront(effect))
        delete effect;
    while (m_Outside.PopFront(effect))
        delete effect;
    m_Built.Reset();
}

void WePostProcess::BindTarget(int32_t stage, WeRenderTarget* target)
{
    g_RenderDevice.SetD3DTexture(stage, target != nullptr ? target->GetTexture() : nullptr);
}

void WePostProcess::Resolve(WeRenderTarget* target)
{
    if (target == nullptr || target->m_MultisampleType <= 0 || target->GetResolveSurface() == nullptr)
        return;
    D3DXLoadSurfaceFromSurface(target->GetResolveSurface(), nullptr, nullptr, target->GetSurface(0), nullptr, nullptr,
                               D3DX_DEFAULT, 0);
}

void WePostProcess::Render()
{
    if (!m_Initialised)
        return;
    WeRenderDevice& d = g_RenderDevice;
    IDirect3DDevice9* device = d.GetDevice();
    if (device == nullptr)
        return;
    // The scene stayed on the back buffer: there is nothing to run the chain over.
    if (m_MainTarget == nullptr)
        return;

    d.SetRenderState(D3DRS_ZENABLE, 0);
    d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (d.m_FilmGrainOn && m_FilmGrainMaterial != nullptr)
    {
        m_FilmGrainMaterial->Animate(g_Timer.m_TotalTimeF);
        g_ShaderManager.SetTextureAnimation(m_FilmGrainMaterial->m_TextureMatrix);
    }
    IDirect3DSurface9* saved = d.GetRenderTarget();

    Resolve(m_MainTarget);
    d.UseOffscreenDepth();
    BindTarget(0, m_MainTarget);
    BindTarget(1, m_MainTarget);
    if (d.m_RefractionOn)
        d.SetTexture(4, m_DistortionTexture);
    if (d.m_FilmGrainOn)
        d.SetTexture(6, m_FilmGrainTexture);
    if (m_DepthTarget != nullptr)
        BindTarget(7, m_DepthTarget);

    float blurFactor = *d.m_PixelMotionBlurFactor * d.m_PostProcessFactor;
    // The delta tested is the one divided by: a raw delta of 0 would make the factor infinite.
    if (g_Timer.m_FrameDeltaF > 0.0f && g_Timer.m_RawFrameDeltaF > 0.0f)
        blurFactor = blurFactor / g_Timer.m_RawFrameDeltaF * 0.015f;
    g_ShaderManager.SetSharedFloat(g_ShaderManager.m_PixelMotionBlurFactor, blurFactor);
    g_ShaderManager.SetSharedFloat(g_ShaderManager.m_RadialBlurStrength, m_RadialBlurStrength);
    g_ShaderManager.SetSharedFloat(g_ShaderManager.m_MaxCoC, MaxCircleOfConfusion());
    g_ShaderManager.SetSharedFloat(g_ShaderManager.m_FocalDist, FocalDistance());
    g_ShaderManager.SetSharedFloat(g_ShaderManager.m_FocalRange, FocalRange());

    m_NextFull = 0;
    m_NextQuarter = 0;
    m_LastResult = m_MainTarget;
    m_Source = m_MainTarget;
    for (WeList<WePostProcessEffect*>::Node* node = m_Effects.FirstNode(); node != nullptr;
         node = m_Effects.NextNode(node))
        RunEffect(node->payload);

    d.RestoreRenderTarget(saved);
    d.UseBackBufferDepth();
    BindTarget(0, m_LastResult);
    d.SetSamplerFilter(0, 1, 1);
    bool drawn = false;
    if (m_Contrast != nullptr && m_Contrast->GetEffect() != nullptr && m_Contrast->SetTechnique(0, false))
    {
        ID3DXEffect* e = m_Contrast->GetEffect();
        e->SetFloat(m_ContrastValue, d.m_CameraValues[0]);
        e->SetFloat(m_Brightness, d.m_CameraValues[1]);
        e->SetVector(m_FlashColorHandle, reinterpret_cast<const D3DXVECTOR4*>(m_FlashColor));
        UINT passes = m_Contrast->Begin(0);
        if (passes > 0 && SUCCEEDED(m_Contrast->BeginPass(0)))
        {
            DrawScreenQuad(m_FullQuad);
            m_Contrast->EndPass();
            drawn = true;
        }
        m_Contrast->End();
    }
    // Without the final pass the result still reaches the back buffer.
    if (!drawn)
    {
        SetQuadStates();
        BindTarget(0, m_LastResult);
        DrawScreenQuad(m_FullQuad);
    }
    d.SetRenderState(D3DRS_ZENABLE, 1);
}

void WePostProcess::RunEffect(WePostProcessEffect* effect)
{
    if (effect == nullptr || !effect->m_Enabled || !effect->m_Loaded || effect->m_Shader == nullptr ||
        effect->m_Shader->GetEffect() == nullptr)
        return;
    WeRenderDevice& d = g_RenderDevice;
    WeShader* shader = effect->m_Shader;

    // A full target that is missing falls back to the other one, never to the one being read.
    auto nextFull = [&]() -> WeRenderTarget*
    {
        for (int32_t k = 0; k < 2; ++k)
        {
            WeRenderTarget* t = m_FullTargets[(m_NextFull + k) & 1];
            if (t != nullptr && t != m_Source)
            {
                m_NextFull = (m_NextFull + k) & 1;
                return t;
            }
        }
        return nullptr;
    };
    const bool refraction = effect->m_Refraction && m_RefractionTarget != nullptr && !d.m_RefractionOption;
    if (!refraction && nextFull() == nullptr)
        return;

    if (refraction)
    {
        // The scene is copied into the refraction target, then the passes change only the pixels the
        // render queue marked in the back buffer's stencil.
        d.UseBackBufferDepth();
        d.SetRenderTarget(0, m_RefractionTarget);
        d.DisableStencil();
        SetQuadStates();
        BindTarget(0, m_Source);
        DrawScreenQuad(m_FullQuad);
        d.EnableStencil();
        d.SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
        d.SetRenderState(D3DRS_STENCILREF, 1);
        d.SetRenderState(D3DRS_STENCILMASK, 1);
        d.SetRenderState(D3DRS_STENCILWRITEMASK, 0);
        d.SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
        d.SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
        d.SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    }

    for (int32_t stage = 0; stage < 8; ++stage)
        d.SetSamplerFilter(stage, effect->m_Filter[stage], effect->m_Address[stage]);
    bool blending = false;
    if (shader->SetTechnique(0, false))
    {
        UINT passes = shader->Begin(0);
        for (UINT i = 0; i < passes; ++i)
        {
            WeRenderTarget* target = nullptr;
            IDirect3DVertexBuffer9* quad = m_FullQuad;
            bool full = true;
            if (refraction)
            {
                target = m_RefractionTarget;
            }
            else if (effect->m_DownSampling && i + 1 < passes)
            {
                if (i == 0)
                {
                    target = m_HalfTarget;
                    quad = m_HalfQuad;
                }
                else
                {
                    target = m_QuarterTargets[m_NextQuarter];
                    if (target == m_Source)
                        target = nullptr;
                    quad = m_QuarterQuad;
                }
                full = false;
            }
            if (target == nullptr)
            {
                target = nextFull();
                quad = m_FullQuad;
                full = true;
            }
            if (target == nullptr)
                break;
            if (effect->m_FilmGrainQuad)
                quad = m_FilmGrainQuad;
            if (effect->m_BlendFromPass1 && i == 1)
            {
                d.SetAlphaBlend(true);
                blending = true;
            }
            d.SetRenderTarget(0, target);
            if (FAILED(shader->BeginPass(i)))
                continue;
            effect->ApplyParameters();
            if (effect->m_FilmGrainQuad)
                DrawScaledQuad(quad);
            else
                DrawScreenQuad(quad);
            shader->EndPass();
            if (refraction)
                continue;
            BindTarget(0, target);
            m_Source = target;
            if (full)
            {
                m_LastResult = target;
                m_NextFull ^= 1;
            }
            else if (target == m_QuarterTargets[m_NextQuarter])
            {
                m_NextQuarter ^= 1;
            }
        }
        shader->End();
    }
    if (blending)
        d.SetAlphaBlend(false);

    if (refraction)
    {
        Resolve(m_RefractionTarget);
        d.UseOffscreenDepth();
        BindTarget(0, m_RefractionTarget);
        BindTarget(1, m_RefractionTarget);
        d.DisableStencil();
        m_Source = m_RefractionTarget;
        m_LastResult = m_RefractionTarget;
        return;
    }
    BindTarget(1, m_LastResult);
}
