#include "Engine/render/WeShaderManager.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeCamera.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Platform/math/D3DXQuaternionFunctions.h"

WeShaderManager g_ShaderManager;

namespace
{

// Effects renamed since older materials and maps were written.
const struct
{
    const char* from;
    const char* to;
} Renamed[] = {
    {"Shaders.Default.Standard", "Shaders.Default.Default"},
    {"Shaders.Default.Standard_LightMapped", "Shaders.Default.Default"},
    {"Shaders.Default.EnvStandard", "Shaders.Default.Default"},
    {"Shaders.Default.EnvStandard_LightMapped", "Shaders.Default.Default"},
    {"Shaders.Default.ParticleSystem", "Shaders.Default.NewParticleSystem"},
    {"Shaders.Billboarding.Default", "Shaders.Default.Billboard"},
    {"Shaders.Default.Standard_AlphaFalloff", "Shaders.Default.AlphaFalloff"},
    {"Shaders.Diffuse.Trail", "Shaders.Special.Trail"},
};

}  // namespace

WeShaderManager::WeShaderManager()
{
    D3DXMatrixIdentity(&m_ViewProj);
    D3DXMatrixIdentity(&m_PrevViewProj);
}

WeShaderManager::~WeShaderManager()
{
    ReleaseAll();
}

bool WeShaderManager::CreatePool()
{
    if (m_Initialised)
        return true;
    if (FAILED(D3DXCreateEffectPool(&m_Pool)))
    {
        m_Pool = nullptr;
        m_Missing = "the effect pool";
        return false;
    }
    m_Initialised = 1;
    m_Shared = GetShader("Shaders.Default.SharedHandles", false, true);
    if (m_Shared == nullptr)
    {
        m_Missing = "Shaders.Default.SharedHandles";
        return false;
    }
    ID3DXEffect* e = m_Shared->GetEffect();
    auto handle = [e](const char* name) { return e->GetParameterByName(nullptr, name); };
    m_ElapsedTime = handle("ElapsedTime");
    m_ViewMatrix = handle("ViewMatrix");
    m_Projection = handle("Projection");
    m_ViewProjHandle = handle("ViewProj");
    m_PrevViewProjHandle = handle("PrevViewProj");
    m_InvViewMulPrevViewProj = handle("InvViewMulPrevViewProj");
    m_CameraPosition = handle("CameraPosition");
    m_CameraDirection = handle("CameraDirection");
    m_TextureAnimation = handle("TextureAnimation");
    m_FogStart = handle("FogStart");
    m_FogInvEnd = handle("FogInvEnd");
    m_FogMin = handle("FogMin");
    m_FogMax = handle("FogMax");
    m_FogColor = handle("FogColor");
    m_AmbientColor = handle("AmbientColor");
    m_PixelMotionBlurFactor = handle("PixelMotionBlurFactor");
    m_RadialBlurStrength = handle("RadialBlurStrength");
    m_BloomScale = handle("BloomScale");
    m_RefractionSpeed = handle("RefractionSpeed");
    m_RefractionStrength = handle("RefractionStrength");
    m_ResWidth = handle("ResWidth");
    m_ResHeight = handle("ResHeight");
    m_MaxCoC = handle("MaxCoC");
    m_FocalDist = handle("FocalDist");
    m_FocalRange = handle("FocalRange");
    m_ProjectorMatrix = handle("ProjectorMatrix");
    m_ProjectorPosition = handle("ProjectorPosition");
    m_ProjectorDirection = handle("ProjectorDirection");
    return true;
}

bool WeShaderManager::LoadDefaultEffects()
{
    m_Default = GetShader("Shaders.Default.ColorOnly", false, true);
    if (m_Default == nullptr)
    {
        m_Missing = "Shaders.Default.ColorOnly";
        return false;
    }
    m_AlphaFalloff = GetShader("Shaders.Default.AlphaFalloff", false, true);
    m_Billboard = GetShader("Shaders.Default.Billboard", false, true);
    m_NewParticleSystem = GetShader("Shaders.Default.NewParticleSystem", false, true);
    m_Trail = GetShader("Shaders.Special.Trail", false, true);
    return true;
}

WeShader* WeShaderManager::GetShader(const WeString& requested, bool reload, bool fallbackToDefault)
{
    if (!m_Initialised)
        return nullptr;
    WeShader* fallback = fallbackToDefault ? m_Default : nullptr;
    if (requested.IsEmpty())
        return fallback;
    WeString name = requested;
    if (name.GetToken('.', 0) == "Effects")
        name = WeString("Shaders.") + name.GetToken('.', 1) + "." + name.GetToken('.', 2);
    for (const auto& r : Renamed)
    {
        if (name == r.from)
        {
            name = r.to;
            break;
        }
    }
    WeString key = name.ToLower();
    WeShader* cached = nullptr;
    if (m_Shaders.Find(key, &cached) && cached != nullptr)
    {
        if (!reload)
            return cached;
        // A reload replaces the effect in place; one that fails keeps the old effect.
        if (!cached->Load(WeVirtualFileSystem::Instance(), name))
            WeDebugPrint("Cannot reload shader %s\n", name.c_str());
        return cached;
    }
    WeShader* shader = new WeShader();
    if (!shader->Load(WeVirtualFileSystem::Instance(), name))
    {
        delete shader;
        if (fallbackToDefault)
            WeDebugPrint("Cannot load shader %s\n", name.c_str());
        return fallback;
    }
    m_Shaders.Insert(key, shader);
    return shader;
}

void WeShaderManager::SetSharedFloat(D3DXHANDLE handle, float value)
{
    if (m_Initialised && m_Shared != nullptr && m_Shared->GetEffect() != nullptr && handle != nullptr)
        m_Shared->GetEffect()->SetFloat(handle, value);
}

void WeShaderManager::SetSharedFloats(D3DXHANDLE handle, const float* values, UINT count)
{
    if (m_Initialised && m_Shared != nullptr && m_Shared->GetEffect() != nullptr && handle != nullptr)
        m_Shared->GetEffect()->SetFloatArray(handle, values, count);
}

void WeShaderManager::SetSharedMatrix(D3DXHANDLE handle, const D3DXMATRIX& m)
{
    if (m_Initialised && m_Shared != nullptr && m_Shared->GetEffect() != nullptr && handle != nullptr)
        m_Shared->GetEffect()->SetMatrix(handle, &m);
}

void WeShaderManager::SetCameraPosition(const float xyz[3])
{
    SetSharedFloats(m_CameraPosition, xyz, 3);
}

void WeShaderManager::SetCameraDirection(const float xyz[3])
{
    SetSharedFloats(m_CameraDirection, xyz, 3);
}

void WeShaderManager::SetTextureAnimation(const D3DXMATRIX& m)
{
    SetSharedMatrix(m_TextureAnimation, m);
}

void WeShaderManager::SetFogParameters(const float colour[4], float start, float end, float minimum, float maximum)
{
    SetSharedFloat(m_FogStart, start);
    // A fog that ends where it starts (a map without fog) must not put an infinity into every effect.
    SetSharedFloat(m_FogInvEnd, end > start ? 1.0f / (end - start) : 0.0f);
    SetSharedFloat(m_FogMin, minimum);
    SetSharedFloat(m_FogMax, maximum);
    SetSharedFloats(m_FogColor, colour, 3);
}

void WeShaderManager::SetViewProjection(const D3DXMATRIX& view, const D3DXMATRIX& projection, WeCamera* camera)
{
    m_ViewProj = view * projection;
    m_PrevViewProj = m_ViewProj;
    if (camera != nullptr && !camera->m_Orthographic)
        PreviousFromHistory(*camera, &m_PrevViewProj);
    SetSharedMatrix(m_ViewMatrix, view);
    SetSharedMatrix(m_Projection, projection);
    SetSharedMatrix(m_ViewProjHandle, m_ViewProj);
    SetSharedMatrix(m_PrevViewProjHandle, m_PrevViewProj);
    D3DXMATRIX world;
    if (camera != nullptr)
        world = camera->GetWorldMatrix();
    else if (D3DXMatrixInverse(&world, nullptr, &view) == nullptr)
        D3DXMatrixIdentity(&world);
    SetSharedMatrix(m_InvViewMulPrevViewProj, world * m_PrevViewProj);
}

bool WeShaderManager::PreviousFromHistory(const WeCamera& camera, D3DXMATRIX* out)
{
    static float& blurTime = GetConfigFloat("cameras.PostProcess.PixelMotionBlurTime", 0.0333f);
    const float then = g_Timer.m_TotalTimeF - blurTime;
    // Newest first; during the first lap the slot at the oldest index was never written, so it is not read.
    const int32_t size = WeCamera::HistorySize;
    int32_t newer = -1;
    for (int32_t i = camera.m_HistoryNewest; i != camera.m_HistoryOldest; i = (i + size - 1) % size)
    {
        const WeCameraState& state = camera.m_History[i];
        if (state.time > then)
        {
            newer = i;
            continue;
        }
        WeCameraState blend = state;
        if (newer >= 0)
        {
            const WeCameraState& next = camera.m_History[newer];
            float span = next.time - state.time;
            float t = span > 0.0f ? (then - state.time) / span : 0.0f;
            t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
            blend.position = state.position + (next.position - state.position) * t;
            blend.fov = state.fov + (next.fov - state.fov) * t;
            blend.nearPlane = state.nearPlane + (next.nearPlane - state.nearPlane) * t;
            blend.farPlane = state.farPlane + (next.farPlane - state.farPlane) * t;
            blend.aspect = state.aspect + (next.aspect - state.aspect) * t;
            D3DXQUATERNION a, b, q;
            D3DXQuaternionRotationMatrix(&a, &state.basis);
            D3DXQuaternionRotationMatrix(&b, &next.basis);
            D3DXQuaternionSlerp(&q, &a, &b, t);
            D3DXMatrixRotationQuaternion(&blend.basis, &q);
        }
        // The basis rows are right, up and direction.
        D3DXVECTOR3 up(blend.basis._21, blend.basis._22, blend.basis._23);
        D3DXVECTOR3 direction(blend.basis._31, blend.basis._32, blend.basis._33);
        D3DXVECTOR3 at = blend.position + direction;
        D3DXMATRIX view, projection;
        WeRenderDevice::MatrixLookAt(&view, &blend.position, &at, &up);
        g_RenderDevice.MatrixPerspective(&projection, blend.fov, blend.aspect, blend.nearPlane, blend.farPlane);
        *out = view * projection;
        return true;
    }
    return false;
}

void WeShaderManager::OnLostDevice()
{
    for (WeHashTable<WeShader*>::Entry* e = m_Shaders.First(); e != nullptr; e = m_Shaders.Next())
        if (e->value != m_Shared)
            e->value->OnLostDevice();
    if (m_Shared != nullptr)
        m_Shared->OnLostDevice();
}

void WeShaderManager::OnResetDevice()
{
    for (WeHashTable<WeShader*>::Entry* e = m_Shaders.First(); e != nullptr; e = m_Shaders.Next())
        if (e->value != m_Shared)
            e->value->OnResetDevice();
    if (m_Shared != nullptr)
        m_Shared->OnResetDevice();
}

void WeShaderManager::ReleaseAll()
{
    for (WeHashTable<WeShader*>::Entry* e = m_Shaders.First(); e != nullptr; e = m_Shaders.Next())
        delete e->value;
    m_Shaders.FreeNodes();
    m_Shared = nullptr;
    m_Default = nullptr;
    m_AlphaFalloff = nullptr;
    m_Billboard = nullptr;
    m_NewParticleSystem = nullptr;
    m_Trail = nullptr;
    if (m_Pool != nullptr)
        m_Pool->Release();
    m_Pool = nullptr;
    m_Initialised = 0;
}
