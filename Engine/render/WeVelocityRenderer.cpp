#include "Engine/render/WeVelocityRenderer.h"

#include "Engine/render/WeBaseModel.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WePostProcess.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderQueue.h"
#include "Engine/render/WeRenderTarget.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/world/WeActor.h"

WeVelocityRenderer g_VelocityRenderer;

bool WeVelocityRenderer::Init()
{
    if (m_Initialised)
        return true;
    m_Shader = g_ShaderManager.GetShader("Shaders.Special.Motion", false, false);
    ID3DXEffect* effect = m_Shader != nullptr ? m_Shader->GetEffect() : nullptr;
    if (effect != nullptr)
    {
        m_DoFOnly = effect->GetTechniqueByName("DoFOnly");
        m_PixelMotionBlurOnly = effect->GetTechniqueByName("PixelMotionBlurOnly");
        m_PixelMotionBlurAndDof = effect->GetTechniqueByName("PixelMotionBlurAndDof");
    }
    m_Initialised = 1;
    OnResetDevice();
    return true;
}

void WeVelocityRenderer::Release()
{
    m_Initialised = 0;
    m_Shader = nullptr;
    m_DoFOnly = m_PixelMotionBlurOnly = m_PixelMotionBlurAndDof = nullptr;
}

bool WeVelocityRenderer::Draw(WeWorld* world, WeCamera* camera)
{
    (void)world;
    (void)camera;
    WeRenderDevice& d = g_RenderDevice;
    ID3DXEffect* effect = m_Shader != nullptr ? m_Shader->GetEffect() : nullptr;
    if (effect == nullptr || m_DoFOnly == nullptr || !g_PostProcess.m_SceneOpen || d.GetDevice() == nullptr ||
        !(d.m_G16R16FTargets && (d.m_DepthOfFieldOn || d.m_MotionBlurMode == 2)))
        return false;
    // Without the target (it could not be made) there is nothing to draw into.
    WeRenderTarget* target = g_PostProcess.m_DepthTarget;
    if (target == nullptr)
        return false;

    IDirect3DSurface9* saved = d.GetRenderTarget();
    d.UseOffscreenDepth();
    d.SetRenderTarget(0, target);
    d.Clear(true, 0, true, 1.0f, d.m_RefractionOn != 0, 0);
    // Depth and the object's factor are all both later passes need, whatever the options.
    effect->SetTechnique(m_DoFOnly);
    UINT passes = 0;
    if (SUCCEEDED(effect->Begin(&passes, 0)) && passes > 0)
    {
        if (SUCCEEDED(effect->BeginPass(0)))
        {
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            const WeRenderHeap& heap = g_RenderQueue.m_OpaqueHeap;
            for (int32_t i = heap.m_Count - 1; i >= 0; --i)
            {
                WeRenderItem* item = heap.m_Entries[i].item;
                if (item == nullptr || item->model == nullptr || item->actor == nullptr)
                    continue;
                m_Shader->SetWorldMatrix(item->worldMatrix != nullptr ? *item->worldMatrix : identity);
                m_Shader->SetPrevWorldMatrix(item->model->m_PrevWorldMatrix != nullptr ? *item->model->m_PrevWorldMatrix
                                                                                       : identity);
                if (m_Shader->m_MotionBlurFactor != nullptr)
                    effect->SetFloat(m_Shader->m_MotionBlurFactor,
                                     item->actor->m_PlainStatic ? item->actor->m_PlainStaticFactor : 0.0f);
                effect->CommitChanges();
                if (item->model->m_Mesh != nullptr)
                    item->model->m_Mesh->DrawSubset(item->subset, 0.0f);
            }
            effect->EndPass();
        }
        effect->End();
    }
    d.GetDevice()->SetRenderTarget(1, nullptr);
    d.RestoreRenderTarget(saved);
    d.UseBackBufferDepth();
    return true;
}
