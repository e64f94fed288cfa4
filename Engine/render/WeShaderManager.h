#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeCamera;
class WeShader;

// Caches the effects by name, owns the effect pool they share, and sets the pool's shared parameters
// (camera, fog, ambient, post-processing values) once for every effect through a special effect that
// declares them all.
class WeShaderManager
{
public:
    WeShaderManager();
    virtual ~WeShaderManager();
    WeShaderManager(const WeShaderManager&) = delete;
    WeShaderManager& operator=(const WeShaderManager&) = delete;

    bool CreatePool();
    bool LoadDefaultEffects();
    WeShader* GetShader(const WeString& name, bool reload, bool fallbackToDefault);
    // The effect every new material takes (the loading screen switches it to the full material effect).
    void SetDefaultShader(WeShader* shader) { m_Default = shader; }
    WeShader* GetDefaultShader() const { return m_Default; }

    void SetCameraPosition(const float xyz[3]);
    void SetCameraDirection(const float xyz[3]);
    void SetTextureAnimation(const D3DXMATRIX& m);
    void SetFogParameters(const float colour[4], float start, float end, float minimum, float maximum);
    void SetViewProjection(const D3DXMATRIX& view, const D3DXMATRIX& projection, WeCamera* camera);
    // Sets a float, vector or matrix shared parameter by its handle; nothing before initialisation.
    void SetSharedFloat(D3DXHANDLE handle, float value);
    void SetSharedFloats(D3DXHANDLE handle, const float* values, UINT count);
    void SetSharedMatrix(D3DXHANDLE handle, const D3DXMATRIX& m);

    void OnLostDevice();
    void OnResetDevice();
    void ReleaseAll();

    ID3DXEffectPool* GetPool() const { return m_Pool; }
    WeShader* GetSharedEffect() const { return m_Shared; }
    const D3DXMATRIX& GetViewProjection() const { return m_ViewProj; }
    const D3DXMATRIX& GetPrevViewProjection() const { return m_PrevViewProj; }
    // The name whose load failed last (the device's error text names it).
    const WeString& GetMissingName() const { return m_Missing; }

    uint8_t m_Initialised = 0;
    WeHashTable<WeShader*> m_Shaders;
    WeShader* m_Shared = nullptr;
    WeShader* m_Default = nullptr;
    WeShader* m_AlphaFalloff = nullptr;
    WeShader* m_Billboard = nullptr;
    WeShader* m_NewParticleSystem = nullptr;
    WeShader* m_Trail = nullptr;
    ID3DXEffectPool* m_Pool = nullptr;
    D3DXMATRIX m_ViewProj;
    D3DXMATRIX m_PrevViewProj;

    // Shared parameter handles.
    D3DXHANDLE m_ElapsedTime = nullptr;
    D3DXHANDLE m_ViewMatrix = nullptr;
    D3DXHANDLE m_Projection = nullptr;
    D3DXHANDLE m_ViewProjHandle = nullptr;
    D3DXHANDLE m_PrevViewProjHandle = nullptr;
    D3DXHANDLE m_InvViewMulPrevViewProj = nullptr;
    D3DXHANDLE m_CameraPosition = nullptr;
    D3DXHANDLE m_CameraDirection = nullptr;
    D3DXHANDLE m_TextureAnimation = nullptr;
    D3DXHANDLE m_FogStart = nullptr;
    D3DXHANDLE m_FogInvEnd = nullptr;
    D3DXHANDLE m_FogMin = nullptr;
    D3DXHANDLE m_FogMax = nullptr;
    D3DXHANDLE m_FogColor = nullptr;
    D3DXHANDLE m_AmbientColor = nullptr;
    D3DXHANDLE m_PixelMotionBlurFactor = nullptr;
    D3DXHANDLE m_RadialBlurStrength = nullptr;
    D3DXHANDLE m_BloomScale = nullptr;
    D3DXHANDLE m_RefractionSpeed = nullptr;
    D3DXHANDLE m_RefractionStrength = nullptr;
    D3DXHANDLE m_ResWidth = nullptr;
    D3DXHANDLE m_ResHeight = nullptr;
    D3DXHANDLE m_MaxCoC = nullptr;
    D3DXHANDLE m_FocalDist = nullptr;
    D3DXHANDLE m_FocalRange = nullptr;
    D3DXHANDLE m_ProjectorMatrix = nullptr;
    D3DXHANDLE m_ProjectorPosition = nullptr;
    D3DXHANDLE m_ProjectorDirection = nullptr;

private:
    // The view x projection of the camera's state the motion-blur time ago, from its history; false when
    // the history holds none that old.
    bool PreviousFromHistory(const WeCamera& camera, D3DXMATRIX* out);

    WeString m_Missing;
};

extern WeShaderManager g_ShaderManager;
