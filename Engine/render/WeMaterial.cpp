#include "Engine/render/WeMaterial.h"

#include <cmath>
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Platform/system/SysRandom.h"

WeTexture* (*WeMaterial::s_ReflectionCube)() = nullptr;

namespace
{

constexpr float Pi = 3.14159265358979323846f;

// Truncation toward zero that never leaves the int range: NaN gives 0, out-of-range values clamp.
int32_t SafeTrunc(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return int32_t(v);
}

// What the file names; the strings are resolved after the layout is read.
struct Names
{
    WeString shader;
    WeString textures[WeMaterial::TextureSlots];
};

void ReadTextureList(WeFileStream& s, Names& names, int32_t count, int32_t ignored)
{
    names.shader = s.ReadString();
    for (int32_t i = 0; i < count; ++i)
        names.textures[i] = s.ReadString();
    for (int32_t i = 0; i < ignored; ++i)
        s.ReadString();
}

}  // namespace

WeMaterial::WeMaterial()
{
    D3DXMatrixIdentity(&m_TextureMatrix);
    m_Shader = g_ShaderManager.GetDefaultShader();
}

WeMaterial::~WeMaterial() {}

bool WeMaterial::Load(WeVirtualFileSystem* vfs, const WeString& name)
{
    if (vfs == nullptr || !vfs->Open(name, FileType))
    {
        m_Shader = nullptr;
        for (int32_t i = 0; i < TextureSlots; ++i)
            m_Textures[i] = nullptr;
        m_Name = "";
        return false;
    }
    WeFileStream& s = *vfs->GetStream();
    Names names;
    int32_t version = s.ReadInt32();
    if (version < 10)
    {
        s.Seek(-4, 1);
        version = 0;
    }
    // Newer files than this reader are read with the newest layout it knows.
    if (version > NewestVersion)
        version = NewestVersion;

    auto block1 = [&](bool ignoredPair)
    {
        m_AnimationMode = s.ReadInt32();
        m_P0 = s.ReadFloat();
        m_P1 = s.ReadFloat();
        m_P2 = s.ReadFloat();
        m_P3 = s.ReadFloat();
        m_LastAnimationTime = s.ReadFloat();
        m_MaterialStrength = s.ReadFloat();
        m_EnvironmentStrength = s.ReadFloat();
        if (ignoredPair)
        {
            s.ReadFloat();
            s.ReadFloat();
        }
        s.ReadVector4(m_Color);
    };
    auto header = [&]()
    {
        m_SortMode = s.ReadInt32();
        m_LegacyBlendMode = s.ReadInt32();
        m_Reflective = s.ReadInt32() == 1 ? 1 : 0;
    };
    auto flags = [&]()
    {
        m_Lit = uint8_t(s.ReadByte());
        s.ReadByte();
        m_Stencil = uint8_t(s.ReadByte());
    };

    if (version == 0)
    {
        m_SortMode = s.ReadInt32();
        m_Reflective = s.ReadInt32() == 1 ? 1 : 0;
        ReadTextureList(s, names, 5, 11);
        block1(true);
    }
    else if (version <= 19)
    {
        header();
        if (version == 11 || version == 12)
            m_Lit = uint8_t(s.ReadByte());
        else if (version >= 13)
            flags();
        if (version >= 15)
            m_TwoSided = uint8_t(s.ReadByte());
        ReadTextureList(s, names, 5, 11);
        block1(true);
        if (version >= 12)
        {
            m_BumpIntensity = s.ReadFloat();
            m_SpecularPower = s.ReadFloat();
        }
        if (version >= 14)
            m_AlphaReference = s.ReadInt32();
        if (version >= 16 && version <= 18)
            s.ReadByte();
        if (version >= 17)
            m_Trailing = s.ReadInt32();
        if (version == 18)
            s.ReadByte();
    }
    else
    {
        m_SortMode = s.ReadInt32();
        m_SourceBlend = s.ReadInt32();
        m_DestinationBlend = s.ReadInt32();
        m_Reflective = s.ReadInt32() == 1 ? 1 : 0;
        flags();
        m_TwoSided = uint8_t(s.ReadByte());
        ReadTextureList(s, names, version >= 24 ? 6 : 5, version <= 21 ? 11 : 0);
        m_AnimationMode = s.ReadInt32();
        m_P0 = s.ReadFloat();
        m_P1 = s.ReadFloat();
        m_P2 = s.ReadFloat();
        m_P3 = s.ReadFloat();
        m_LastAnimationTime = s.ReadFloat();
        m_MaterialStrength = s.ReadFloat();
        m_EnvironmentStrength = s.ReadFloat();
        if (version >= 23)
            m_GlowAmount = s.ReadFloat();
        s.ReadVector4(m_Color);
        m_BumpIntensity = s.ReadFloat();
        if (version >= 25)
            s.ReadVector3(m_StaticBumpVector);
        if (version >= 26)
            m_StaticBumpIntensity = s.ReadFloat();
        m_SpecularPower = s.ReadFloat();
        m_AlphaReference = s.ReadInt32();
        if (version >= 27)
            m_Wireframe = uint8_t(s.ReadByte());
        m_Trailing = s.ReadInt32();
        if (version >= 24)
        {
            m_Noise = uint8_t(s.ReadByte());
            m_NoiseSpeed = s.ReadFloat();
            m_WaveSpeed = s.ReadFloat();
            m_NoiseScale = s.ReadFloat();
            m_NoiseIntensity = s.ReadFloat();
        }
    }
    vfs->Close();
    m_Name = name;

    if (m_SortMode == 1)
        m_SortMode = 2;
    else if (m_SortMode == 3)
    {
        m_SortMode = 2;
        m_Stencil = 1;
    }
    if (version < 20)
    {
        m_SourceBlend = 5;
        m_DestinationBlend = m_LegacyBlendMode == 1 ? 2 : 6;
    }
    WeString& shaderName = names.shader;
    if (version < 21)
    {
        if (m_SortMode == 2 || m_SortMode == 4)
            m_TwoSided = 1;
        if (shaderName == "Shaders.Default.Standard" || shaderName == "Shaders.Default.Standard_LightMapped")
        {
            m_MaterialStrength = 1.0f;
            m_EnvironmentStrength = 0.0f;
        }
        if (m_MaterialStrength < 0.001f)
            m_MaterialStrength = 1.0f;
    }
    if (m_SortMode == 0)
        m_Color[3] = 1.0f;
    if (shaderName == "Shaders.Default.Refraction")
    {
        shaderName = "Shaders.Default.Default";
        m_Color[3] = 0.0f;
    }
    if (version < 27)
    {
        if (shaderName == "Shaders.Editor.Wireframe" || shaderName == "Shaders.Editor.Light")
        {
            shaderName = "Shaders.Default.ColorOnly";
            m_Wireframe = 1;
        }
        else if (shaderName == "Shaders.Editor.Selection")
            shaderName = "Shaders.Default.ColorOnly";
    }

    m_Shader = g_ShaderManager.GetShader(shaderName, false, true);
    if (m_Shader == nullptr)
    {
        WeDebugPrint("MISSING SHADER: Material %s: %s\n", m_Name.c_str(), shaderName.c_str());
        m_Shader = g_ShaderManager.GetDefaultShader();
    }

    for (int32_t i = 0; i < TextureSlots; ++i)
    {
        WeString& t = names.textures[i];
        m_Textures[i] = nullptr;
        if (t == " ")
            t = "";
        m_TextureNames[i] = t;
        if (t.IsEmpty())
            continue;
        m_Textures[i] = g_TextureManager.GetTexture(t, false, g_MaterialManager.GetMaxTextureSize(i), false);
        if (m_Textures[i] == nullptr)
            WeDebugPrint("MISSING TEXTURE: Material [%s], Texture %d => [%s]\n", m_Name.c_str(), int(i), t.c_str());
    }

    auto clear = [&](int32_t slot)
    {
        m_TextureNames[slot] = "";
        m_Textures[slot] = nullptr;
    };
    if (m_TextureNames[1].Find(".DefaultNormalMapBlue1x1") >= 0)
        clear(1);
    if (m_TextureNames[2].Find(".DefaultBlack1x1") >= 0)
        clear(2);
    bool alphaFalloff = m_Shader != nullptr && m_Shader->GetName().Find("AlphaFalloff") >= 0;
    if (!alphaFalloff)
    {
        const WeString& glow = m_TextureNames[3];
        if (glow.Find(".DefaultGray1x1") >= 0)
        {
            clear(3);
            m_GlowAmount = 0.5f;
        }
        else if (glow.Find(".DefaultBlack1x1") >= 0)
        {
            clear(3);
            m_GlowAmount = 0.0f;
        }
        else if (glow.Find(".DefaultWhite1x1") >= 0 || glow.Find(".DefaultWhiteGlow4x4") >= 0)
        {
            clear(3);
            m_GlowAmount = 1.0f;
        }
    }

    for (int32_t i = 0; i < TextureSlots; ++i)
    {
        WeTexture* t = m_Textures[i];
        if (t == nullptr)
            continue;
        int32_t wanted = i == 4 ? WeTexture::KindCube : i == 5 ? WeTexture::KindVolume : WeTexture::Kind2D;
        if (t->m_Kind == wanted)
            continue;
        const char* what = i == 4 ? "CUBE" : i == 5 ? "3D" : "2D";
        WeDebugPrint("WARNING: Wrong Texture Type (must be %s): Material [%s], Texture %d => [%s]\n", what,
                     m_Name.c_str(), int(i), m_TextureNames[i].c_str());
        m_Textures[i] = nullptr;
    }

    if (shaderName == "Shaders.Default.ParticleSystem")
    {
        if (g_ShaderManager.m_NewParticleSystem != nullptr)
            m_Shader = g_ShaderManager.m_NewParticleSystem;
        m_SortMode = 2;
        m_SourceBlend = 5;
        m_DestinationBlend = 2;
    }
    return true;
}

void WeMaterial::BindTextures(int32_t variantFlags, WeTexture** cache, int32_t diffuseStage)
{
    auto bind = [&](int32_t stage, WeTexture* texture)
    {
        if (stage < 0 || stage >= TextureSlots + 2)
            return;
        if (cache != nullptr && stage < TextureSlots && cache[stage] == texture)
            return;
        g_RenderDevice.SetTexture(stage, texture);
        if (cache != nullptr && stage < TextureSlots)
            cache[stage] = texture;
    };
    bind(diffuseStage, m_Textures[0] != nullptr ? m_Textures[0] : g_TextureManager.m_DefaultBlack);
    if (variantFlags & 0x20)
        bind(1, m_Textures[1]);
    if (variantFlags & 0x40)
        bind(2, m_Textures[2]);
    if (variantFlags & 0x02)
        bind(3, m_Textures[3]);
    if (variantFlags & (0x01 | 0x10))
    {
        int32_t quality = g_RenderDevice.m_ReflectionQuality;
        if (quality == 1 || !m_Reflective)
            bind(4, m_Textures[4]);
        else if (quality >= 2)
        {
            WeTexture* cube = s_ReflectionCube != nullptr ? s_ReflectionCube() : nullptr;
            if (cube != nullptr)
                bind(4, cube);
        }
    }
    if (variantFlags & 0x01)
        bind(5, m_Textures[5]);
}

void WeMaterial::SetFrameStrip(int32_t frame, int32_t frameCount)
{
    (void)frameCount;
    int32_t columns = 1;
    double reciprocal = m_P0 > 0.0f ? 1.0 / double(m_P0) : 0.0;
    if (std::isfinite(reciprocal) && reciprocal < 2147483648.0)
        columns = int32_t(reciprocal);
    if (columns < 1)
        columns = 1;
    D3DXMatrixIdentity(&m_TextureMatrix);
    m_TextureMatrix._11 = m_P0;
    m_TextureMatrix._22 = m_P1;
    m_TextureMatrix._41 = float(frame % columns) * m_P0;
    m_TextureMatrix._42 = float(frame / columns) * m_P1;
}

void WeMaterial::Animate(float t)
{
    switch (m_AnimationMode)
    {
    case 0: D3DXMatrixIdentity(&m_TextureMatrix); break;
    case 1:
        D3DXMatrixIdentity(&m_TextureMatrix);
        m_TextureMatrix._41 = m_P0 * t;
        m_TextureMatrix._42 = m_P1 * t;
        break;
    case 2:
    {
        D3DXMATRIX a, r, b;
        D3DXMatrixTranslation(&a, -m_P1, -m_P2, 0.0f);
        D3DXMatrixRotationZ(&r, m_P0 * t * 2.0f * Pi);
        D3DXMatrixTranslation(&b, m_P1, m_P2, 0.0f);
        m_TextureMatrix = a * r * b;
        break;
    }
    case 4:
    case 7:
    {
        int32_t n = SafeTrunc(m_P2);
        if (n <= 0)
        {
            D3DXMatrixIdentity(&m_TextureMatrix);
            break;
        }
        int32_t step = int32_t(int64_t(SafeTrunc(double(m_P3) * double(t))) % n);
        int32_t frame = step;
        if (m_AnimationMode == 7)
        {
            if (step != m_LastAnimationStep)
            {
                m_LastAnimationStep = step;
                m_RandomFrame = SysRandom::Scaled(n);
            }
            frame = m_RandomFrame;
        }
        SetFrameStrip(frame, n);
        m_LastAnimationTime = t;
        break;
    }
    case 5:
    {
        int32_t r = int32_t((int64_t(SysRandom::Next()) * 1000) >> 15);
        // A draw of 0 would divide by zero and throw the texture to infinity.
        if (r == 0)
            r = 1;
        D3DXMatrixIdentity(&m_TextureMatrix);
        m_TextureMatrix._41 = m_P0 / float(r);
        m_TextureMatrix._42 = m_P0 / float(r);
        break;
    }
    case 6:
    {
        float s = std::fabs(m_P0 - m_P1) * std::cos(t * Pi * 0.5f) + std::fabs(m_P1 - m_P0) * 0.5f;
        D3DXMatrixScaling(&m_TextureMatrix, s, s, s);
        break;
    }
    case 8:
        D3DXMatrixIdentity(&m_TextureMatrix);
        m_TextureMatrix._11 = m_P2;
        m_TextureMatrix._22 = m_P3;
        m_TextureMatrix._41 = m_P0 * t;
        m_TextureMatrix._42 = m_P1 * t;
        break;
    default: break;
    }
    g_ShaderManager.SetTextureAnimation(m_TextureMatrix);
}

void WeMaterial::MarkPersistent(bool persistent)
{
    if (!persistent)
        return;
    m_Persistent = 1;
    for (int32_t i = 0; i < TextureSlots; ++i)
        if (m_Textures[i] != nullptr)
            m_Textures[i]->MarkPersistent(true);
}
