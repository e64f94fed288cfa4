#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Platform/math/D3DXMATRIX.h"

class WeShader;
class WeTexture;
class WeVirtualFileSystem;

// How a surface is drawn: its effect, colour, blend factors, queue sort mode, up to six textures, the
// values of the effect's material parameters and an optional animation of the texture coordinates.
class WeMaterial
{
public:
    static constexpr int32_t NewestVersion = 27;
    static constexpr int32_t TextureSlots = 6;
    // The file type of material files in the virtual file systems.
    static constexpr int32_t FileType = 2;

    WeMaterial();
    virtual ~WeMaterial();
    WeMaterial(const WeMaterial&) = default;
    WeMaterial& operator=(const WeMaterial&) = default;

    bool Load(WeVirtualFileSystem* vfs, const WeString& name);
    // Binds the textures the variant bits ask for through the render device; cache (6 entries, may be null)
    // skips repeated binds.
    void BindTextures(int32_t variantFlags, WeTexture** cache, int32_t diffuseStage);
    void Animate(float time);
    void MarkPersistent(bool persistent);

    // The dynamic reflection cube bound at reflection quality 2 and above; null until a reflection renderer
    // supplies it through this hook.
    static WeTexture* (*s_ReflectionCube)();

    int32_t m_LastAnimationStep = -1;
    int32_t m_RandomFrame = 0;
    uint8_t m_Persistent = 0;
    D3DXMATRIX m_TextureMatrix;
    int32_t m_SortMode = 0;
    int32_t m_LegacyBlendMode = 0;
    int32_t m_SourceBlend = 5;
    int32_t m_DestinationBlend = 6;
    int32_t m_AnimationMode = 0;
    float m_P0 = 0.0f;
    float m_P1 = 0.0f;
    float m_P2 = 0.0f;
    float m_P3 = 0.0f;
    float m_LastAnimationTime = 0.0f;
    uint8_t m_Lit = 1;
    float m_BumpIntensity = 2.5f;
    float m_StaticBumpVector[3] = {15.0f, 15.0f, 10.0f};
    float m_StaticBumpIntensity = 1.0f;
    float m_SpecularPower = 4.0f;
    int32_t m_AlphaReference = 0;
    float m_MaterialStrength = 1.0f;
    float m_EnvironmentStrength = 0.0f;
    float m_GlowAmount = 0.0f;
    uint8_t m_Wireframe = 0;
    WeString m_Name;
    uint8_t m_Stencil = 0;
    uint8_t m_Noise = 0;
    float m_NoiseSpeed = 0.0f;
    float m_WaveSpeed = 0.0f;
    float m_NoiseScale = 0.0f;
    float m_NoiseIntensity = 0.0f;
    uint8_t m_TwoSided = 0;
    uint8_t m_Reflective = 0;
    WeTexture* m_Textures[TextureSlots] = {};
    WeString m_TextureNames[TextureSlots];
    WeShader* m_Shader = nullptr;
    float m_Color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t m_Trailing = 2;

private:
    void SetFrameStrip(int32_t frame, int32_t frameCount);
};
