#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeLight;
class WeVirtualFileSystem;
struct WeBoundingSphere;
struct WeRenderItem;

// A light as the shaders take it: world position, colour and specular colour with their intensities,
// and its range.
struct WeShaderLight
{
    D3DXVECTOR3 position;
    float colour[3];
    float intensity;
    float specularColour[3];
    float specularIntensity;
    float range;
};

// A light actor's current values as the shaders take them.
WeShaderLight WeShaderLightFrom(const WeLight& light);

// Number of technique variants: one per combination of the letters "3FHDSBELVGW" (bit 10 down to 0).
constexpr int32_t WeShaderVariantCount = 2048;
// "Default" followed by the letters of each variant's set bits; built with the first shader.
extern char g_ShaderTechniqueNames[WeShaderVariantCount][20];

// One compiled effect, created in the manager's effect pool, with the handles the engine sets every
// draw and the variant techniques it chooses from.
class WeShader
{
public:
    WeShader();
    virtual ~WeShader();
    WeShader(const WeShader&) = delete;
    WeShader& operator=(const WeShader&) = delete;

    virtual bool Load(WeVirtualFileSystem* vfs, const WeString& name);
    virtual bool SaveCompiled(WeVirtualFileSystem* vfs, const WeString& name);

    bool SetTechnique(int32_t variant, bool fog);
    UINT Begin(DWORD flags);
    HRESULT End();
    HRESULT BeginPass(UINT pass);
    HRESULT EndPass();
    HRESULT CommitChanges();

    void SetWorldMatrix(const D3DXMATRIX& m);
    void SetPrevWorldMatrix(const D3DXMATRIX& m);
    void SetMaterialColor(const float rgba[4]);
    void SetMaterialParameters(float strength, float envStrength, float bumpIntensity, const float staticBumpVector[3],
                               float staticBumpIntensity, float specularPow, float glowAmount);
    void SetNoiseParameters(float waveSpeed, float noiseSpeed, float noiseScale, float noiseIntensity);
    // Plain light values; the render queue passes an item's lights through these. A sphere (w = radius)
    // fades the per-vertex lights that barely reach it.
    void SetPerPixelLights(const WeShaderLight* lights, int32_t count);
    void SetPerVertexLights(const WeShaderLight* lights, int32_t count, const D3DXVECTOR4* sphere);
    // A render item's chosen lights; a sphere fades the per-vertex ones by their distance to it.
    void SetPerPixelLights(const WeRenderItem* item);
    void SetPerVertexLights(const WeRenderItem* item, const WeBoundingSphere* sphere);

    void OnLostDevice();
    void OnResetDevice();

    // Makes an effect of compiled bytes (the member's payload without its size), as Load does.
    bool LoadFromMemory(const void* bytes, int32_t size, const WeString& name);
    // Sample offsets written in pixels become texels of the current screen size, from the values kept at load.
    void ConvertPixelsToTexels();

    ID3DXEffect* GetEffect() const { return m_Effect; }
    const WeString& GetName() const { return m_Name; }
    D3DXHANDLE GetVariantTechnique(int32_t variant) const { return m_Variants[variant & 2047]; }
    D3DXHANDLE GetDefaultTechnique() const { return m_DefaultTechnique; }
    int32_t GetWantedPerPixelLights() const;
    int32_t GetWantedPerVertexLights() const;

    int32_t m_Reserved = 0;
    UINT m_PassCount = 0;
    D3DXHANDLE m_DefaultTechnique = nullptr;
    D3DXHANDLE m_Variants[WeShaderVariantCount] = {};
    D3DXHANDLE m_GlowAmount = nullptr;
    D3DXHANDLE m_WaveSpeed = nullptr;
    D3DXHANDLE m_NoiseSpeed = nullptr;
    D3DXHANDLE m_NoiseScale = nullptr;
    D3DXHANDLE m_NoiseIntensity = nullptr;
    D3DXHANDLE m_WorldMatrix = nullptr;
    D3DXHANDLE m_PrevWorldMatrix = nullptr;
    D3DXHANDLE m_WorldViewProj = nullptr;
    D3DXHANDLE m_PrevWorldViewProj = nullptr;
    uint8_t* m_Compiled = nullptr;
    int32_t m_CompiledSize = 0;
    ID3DXEffect* m_Effect = nullptr;
    int32_t m_WantPerVertexLights = 0;
    int32_t m_WantPerVertexLights30 = 0;
    int32_t m_WantPerPixelLights = 0;
    int32_t m_WantPerPixelLights30 = 0;
    WeString m_Name;
    D3DXHANDLE m_PerPixelLightsPosition = nullptr;
    D3DXHANDLE m_PerPixelLightsColor = nullptr;
    D3DXHANDLE m_PerPixelLightsSpecularColor = nullptr;
    D3DXHANDLE m_PerPixelLightsRange = nullptr;
    D3DXHANDLE m_PerPixelLightsCount = nullptr;
    D3DXHANDLE m_PerVertexLightsPosition = nullptr;
    D3DXHANDLE m_PerVertexLightsColor = nullptr;
    D3DXHANDLE m_PerVertexLightsRange = nullptr;
    D3DXHANDLE m_PerVertexLightsCount = nullptr;
    D3DXHANDLE m_Scaling = nullptr;
    D3DXHANDLE m_CameraRotation = nullptr;
    D3DXHANDLE m_MaterialStrength = nullptr;
    D3DXHANDLE m_EnvStrength = nullptr;
    D3DXHANDLE m_MaterialColor = nullptr;
    D3DXHANDLE m_BumpIntensity = nullptr;
    D3DXHANDLE m_StaticBumpVector = nullptr;
    D3DXHANDLE m_StaticBumpIntensity = nullptr;
    D3DXHANDLE m_SpecularPow = nullptr;
    D3DXHANDLE m_MotionBlurFactor = nullptr;

private:
    void Free();
    bool CreateEffect();
    // The pixel values of every "ConvertPixelsToTexels" target, as the effect held them at load.
    struct PixelArray
    {
        D3DXHANDLE parameter;
        float* values;
        UINT count;  // float4 elements
    };
    PixelArray* m_PixelArrays = nullptr;
    int32_t m_PixelArrayCount = 0;
};
