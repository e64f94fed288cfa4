#include "Engine/render/WeSkyBoxRenderer.h"

#include <cmath>

#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeMaterial.h"
#include "Engine/render/WeMesh.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeScreenQuad.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/world/WeSkyBox.h"

WeSkyBoxRenderer g_SkyBoxRenderer;

bool WeSkyBoxRenderer::Init()
{
    if (m_Initialised)
        return true;
    OnResetDevice();
    m_Shader = g_ShaderManager.GetShader("Shaders.Default.SkyBox", false, false);
    m_Initialised = 1;
    return true;
}

void WeSkyBoxRenderer::Release()
{
    if (!m_Initialised)
        return;
    OnLostDevice();
    m_Shader = nullptr;
    m_Initialised = 0;
}

void WeSkyBoxRenderer::OnLostDevice()
{
    // A stream still bound would keep the buffer alive through a reset.
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (m_Quad != nullptr && device != nullptr)
        device->SetStreamSource(0, nullptr, 0, 0);
    if (m_Quad != nullptr)
        m_Quad->Release();
    m_Quad = nullptr;
}

void WeSkyBoxRenderer::OnResetDevice()
{
    OnLostDevice();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device != nullptr &&
        FAILED(device->CreateVertexBuffer(4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFVF_XYZRHW | D3DFVF_TEX1,
                                          D3DPOOL_DEFAULT, &m_Quad, nullptr)))
        m_Quad = nullptr;
}

bool WeSkyBoxRenderer::DrawCubeSky(WeSkyBox* skyBox, WeCamera* camera, float alphaFactor)
{
    (void)alphaFactor;  // the cube sky is opaque
    if (skyBox == nullptr || skyBox->m_CubeTexture == nullptr || camera == nullptr || m_Quad == nullptr ||
        m_Shader == nullptr || m_Shader->GetEffect() == nullptr)
        return false;
    g_RenderDevice.SetTexture(4, skyBox->m_CubeTexture);

    D3DXVECTOR3 direction = camera->m_Target - camera->m_Position;
    float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
    direction = length > 0.0f ? direction / length : D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    const float view[3] = {direction.x, direction.y, direction.z};
    g_ShaderManager.SetCameraPosition(view);
    // The rays come from the orientation alone; the projection's first two diagonal terms trade places
    // (the effect reads them back crosswise).
    D3DXMATRIX projection = camera->m_Projection;
    projection._11 = 0.8f * camera->m_Projection._22;
    projection._22 = 0.8f * camera->m_Projection._11;
    g_ShaderManager.SetViewProjection(camera->m_Basis, projection, nullptr);

    bool drawn = false;
    if (FillScreenQuad(m_Quad, float(g_ScreenSize.width), g_ScreenSize.height) && m_Shader->SetTechnique(0, false))
    {
        if (m_Shader->Begin(0) > 0)
        {
            if (SUCCEEDED(m_Shader->BeginPass(0)))
            {
                DrawScreenQuad(m_Quad);
                m_Shader->EndPass();
                drawn = true;
            }
            m_Shader->End();
        }
    }

    const float position[3] = {camera->m_Position.x, camera->m_Position.y, camera->m_Position.z};
    g_ShaderManager.SetCameraPosition(position);
    g_ShaderManager.SetViewProjection(camera->m_View, camera->m_Projection, camera);
    return drawn;
}

bool WeSkyBoxRenderer::DrawMeshSky(WeSkyBox* skyBox, WeCamera* camera, float alphaFactor)
{
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (skyBox == nullptr || skyBox->m_Model == nullptr || skyBox->m_Model->m_Mesh == nullptr || camera == nullptr ||
        device == nullptr)
        return false;
    WeMesh* mesh = skyBox->m_Model->m_Mesh;
    WeRenderDevice& d = g_RenderDevice;

    // Centred on the camera: the view without its translation, the eye at the origin.
    D3DXMATRIX view = camera->m_View;
    view._41 = view._42 = view._43 = 0.0f;
    g_ShaderManager.SetViewProjection(view, camera->m_Projection, nullptr);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    g_ShaderManager.SetCameraPosition(origin);
    d.SetSamplerFilter(0, 0, 1);
    const float ambient[4] = {d.m_AmbientColor[0], d.m_AmbientColor[1], d.m_AmbientColor[2], d.m_AmbientColor[3]};
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    d.SetAmbientColor(white);

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    WeShader* current = nullptr;
    bool drawn = false;
    const int32_t subsets =
        mesh->m_SubsetCount < WeMaterialPreset::Entries ? mesh->m_SubsetCount : WeMaterialPreset::Entries;
    for (int32_t i = 0; i < subsets; ++i)
    {
        WeMaterial* material = mesh->m_Presets[0].materials[i];
        WeShader* shader = material != nullptr ? material->m_Shader : nullptr;
        if (shader != current)
        {
            if (current != nullptr)
            {
                current->EndPass();
                current->End();
            }
            current = nullptr;
            // A shader without its plain technique draws nothing.
            if (shader != nullptr && shader->GetVariantTechnique(0) == nullptr &&
                shader->GetDefaultTechnique() == nullptr)
                shader = nullptr;
            if (shader != nullptr && shader->SetTechnique(0, false) && shader->Begin(0) > 0)
            {
                if (SUCCEEDED(shader->BeginPass(0)))
                    current = shader;
                else
                    shader->End();
            }
        }
        if (current == nullptr)
            continue;
        current->SetWorldMatrix(identity);
        material->BindTextures(0, nullptr, 0);
        material->Animate(g_Timer.m_TotalTimeF);
        const float colour[4] = {material->m_Color[0], material->m_Color[1], material->m_Color[2],
                                 material->m_Color[3] * alphaFactor};
        current->SetMaterialColor(colour);
        current->SetMaterialParameters(material->m_MaterialStrength, material->m_MaterialStrength, 0.0f, zero, 0.0f,
                                       0.0f, 0.0f);
        current->CommitChanges();
        mesh->DrawSubset(i, 0.0f);
        drawn = true;
    }
    if (current != nullptr)
    {
        current->EndPass();
        current->End();
    }

    d.SetSamplerFilter(0, 0, 2);
    d.SetAmbientColor(ambient);
    const float position[3] = {camera->m_Position.x, camera->m_Position.y, camera->m_Position.z};
    g_ShaderManager.SetCameraPosition(position);
    g_ShaderManager.SetViewProjection(camera->m_View, camera->m_Projection, camera);
    return drawn;
}
