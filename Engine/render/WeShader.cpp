#include "Engine/render/WeShader.h"

#include "Engine/render/WeRenderItem.h"
#include "Engine/world/WeBoundingSphere.h"
#include "Engine/world/WeLight.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeShaderManager.h"
#include "Platform/gfx_d3dx/FxEffect.h"

char g_ShaderTechniqueNames[WeShaderVariantCount][20];

namespace
{

constexpr int32_t ShaderFileType = 3;
// A compiled effect is a text of ours; nothing near this size is plausible.
constexpr int32_t MaxCompiledSize = 64 * 1024 * 1024;

void BuildTechniqueNames()
{
    static bool built = false;
    if (built)
        return;
    built = true;
    static const char Letters[] = "3FHDSBELVGW";
    for (int32_t i = 0; i < WeShaderVariantCount; ++i)
    {
        char* name = g_ShaderTechniqueNames[i];
        std::strcpy(name, "Default");
        size_t n = 7;
        for (int32_t bit = 10; bit >= 0; --bit)
            if (i & (1 << bit))
                name[n++] = Letters[10 - bit];
        name[n] = 0;
    }
}

// Names that come from data may use '\'.
WeString DiskPath(const WeString& path)
{
    WeString out = path;
    for (int32_t i = 0; i < out.Length(); ++i)
        if (out.Data()[i] == '\\')
            out.Data()[i] = '/';
    return out;
}

bool ReadWholeFile(const WeString& path, std::unique_ptr<uint8_t[]>* bytes, int32_t* size)
{
    WeFileStream stream;
    if (!stream.Open(DiskPath(path)))
        return false;
    int64_t length = stream.GetSize();
    if (length <= 0 || length > MaxCompiledSize)
        return false;
    bytes->reset(new uint8_t[size_t(length)]);
    if (stream.Read(bytes->get(), length) != length)
        return false;
    *size = int32_t(length);
    return true;
}

bool CompileSource(const WeString& path, std::unique_ptr<uint8_t[]>* bytes, int32_t* size)
{
    ID3DXEffectCompiler* compiler = nullptr;
    ID3DXBuffer* errors = nullptr;
    if (FAILED(D3DXCreateEffectCompilerFromFileA(DiskPath(path).c_str(), nullptr, nullptr,
                                                 D3DXSHADER_OPTIMIZATION_LEVEL3, &compiler, &errors)))
    {
        if (errors != nullptr)
            errors->Release();
        return false;
    }
    ID3DXBuffer* compiled = nullptr;
    bool ok = SUCCEEDED(compiler->CompileEffect(0, &compiled, &errors)) && compiled != nullptr &&
              compiled->GetBufferSize() > 0 && compiled->GetBufferSize() <= DWORD(MaxCompiledSize);
    if (ok)
    {
        *size = int32_t(compiled->GetBufferSize());
        bytes->reset(new uint8_t[size_t(*size)]);
        std::memcpy(bytes->get(), compiled->GetBufferPointer(), size_t(*size));
    }
    if (compiled != nullptr)
        compiled->Release();
    if (errors != nullptr)
        errors->Release();
    compiler->Release();
    return ok;
}

int32_t ReadInt(ID3DXEffect* effect, const char* name)
{
    D3DXHANDLE h = effect->GetParameterByName(nullptr, name);
    INT value = 0;
    if (h == nullptr || FAILED(effect->GetInt(h, &value)))
        return 0;
    return value;
}

}  // namespace

WeShader::WeShader()
{
    BuildTechniqueNames();
}

WeShader::~WeShader()
{
    Free();
}

void WeShader::Free()
{
    if (m_Effect != nullptr)
        m_Effect->Release();
    m_Effect = nullptr;
    delete[] m_Compiled;
    m_Compiled = nullptr;
    m_CompiledSize = 0;
    for (int32_t i = 0; i < m_PixelArrayCount; ++i)
        delete[] m_PixelArrays[i].values;
    delete[] m_PixelArrays;
    m_PixelArrays = nullptr;
    m_PixelArrayCount = 0;
}

bool WeShader::Load(WeVirtualFileSystem* vfs, const WeString& name)
{
    std::unique_ptr<uint8_t[]> bytes;
    int32_t size = 0;
    WeString last = name.GetTokenFromEnd('.', 0).ToLower();
    bool found = false;
    if (last == "fx")
    {
        found = CompileSource(name, &bytes, &size);
    }
    else if (last == "fxo")
    {
        found =
            ReadWholeFile(name, &bytes, &size) || CompileSource(name.Substring(0, name.Length() - 1), &bytes, &size);
    }
    else
    {
        if (vfs != nullptr && vfs->Open(name, ShaderFileType))
        {
            WeFileStream* stream = vfs->GetStream();
            int64_t memberSize = vfs->GetSize();
            int32_t n = stream != nullptr ? stream->ReadInt32() : 0;
            // The size is checked against the member before anything is allocated.
            if (stream != nullptr && n > 0 && int64_t(n) <= memberSize - 4 && n <= MaxCompiledSize)
            {
                bytes.reset(new uint8_t[size_t(n)]);
                if (stream->Read(bytes.get(), n) == n)
                {
                    size = n;
                    found = true;
                }
            }
            vfs->Close();
        }
        else
        {
            WeString path = WeString("Shaders\\") + name.GetToken('.', 1) + "\\" + name.GetToken('.', 2) + ".fxo";
            found = ReadWholeFile(path, &bytes, &size) ||
                    CompileSource(path.Substring(0, path.Length() - 1), &bytes, &size);
        }
    }
    if (!found)
        return false;
    return LoadFromMemory(bytes.get(), size, name);
}

bool WeShader::LoadFromMemory(const void* bytes, int32_t size, const WeString& name)
{
    if (bytes == nullptr || size <= 0)
        return false;
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXCreateEffect(g_RenderDevice.GetDevice(), bytes, UINT(size), nullptr, nullptr, D3DXFX_NOT_CLONEABLE,
                                  g_ShaderManager.GetPool(), &effect, &errors);
    if (FAILED(hr) || effect == nullptr)
    {
        // The parser's log goes where the effect layer reports its build failures.
        std::string text = "effect " + std::string(name.c_str()) + ": ";
        if (errors != nullptr)
            text.append(static_cast<const char*>(errors->GetBufferPointer()), errors->GetBufferSize());
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        FxEffect::Report((text + "\n").c_str());
        if (errors != nullptr)
            errors->Release();
        return false;
    }
    if (errors != nullptr)
        errors->Release();

    // Only a new effect replaces the old one: a reload that fails keeps what was there.
    Free();
    m_Effect = effect;
    m_CompiledSize = size;
    m_Compiled = new uint8_t[size_t(size)];
    std::memcpy(m_Compiled, bytes, size_t(size));
    m_Name = name;

    m_WantPerVertexLights = ReadInt(effect, "WantPerVertexLightsCount");
    m_WantPerVertexLights30 = ReadInt(effect, "WantPerVertexLightsCount30");
    m_WantPerPixelLights = ReadInt(effect, "WantPerPixelLightsCount");
    m_WantPerPixelLights30 = ReadInt(effect, "WantPerPixelLightsCount30");

    auto param = [effect](const char* n) { return effect->GetParameterByName(nullptr, n); };
    m_GlowAmount = param("GlowAmount");
    m_WaveSpeed = param("WaveSpeed");
    m_NoiseSpeed = param("NoiseSpeed");
    m_NoiseScale = param("NoiseScale");
    m_NoiseIntensity = param("NoiseIntensity");
    m_WorldMatrix = param("WorldMatrix");
    m_PrevWorldMatrix = param("PrevWorldMatrix");
    m_WorldViewProj = param("WorldViewProj");
    m_PrevWorldViewProj = param("PrevWorldViewProj");
    m_PerPixelLightsPosition = param("PerPixelLightsPosition");
    m_PerPixelLightsColor = param("PerPixelLightsColor");
    m_PerPixelLightsSpecularColor = param("PerPixelLightsSpecularColor");
    m_PerPixelLightsRange = param("PerPixelLightsRange");
    m_PerPixelLightsCount = param("PerPixelLightsCount");
    m_PerVertexLightsPosition = param("PerVertexLightsPosition");
    m_PerVertexLightsColor = param("PerVertexLightsColor");
    m_PerVertexLightsRange = param("PerVertexLightsRange");
    m_PerVertexLightsCount = param("PerVertexLightsCount");
    m_Scaling = param("Scaling");
    m_CameraRotation = param("CameraRotation");
    m_MaterialStrength = param("MaterialStrength");
    m_EnvStrength = param("EnvStrength");
    m_MaterialColor = param("MaterialColor");
    m_BumpIntensity = param("BumpIntensity");
    m_StaticBumpVector = param("StaticBumpVector");
    m_StaticBumpIntensity = param("StaticBumpIntensity");
    m_SpecularPow = param("SpecularPow");
    m_MotionBlurFactor = param("MotionBlurFactor");
    m_DefaultTechnique = effect->GetTechniqueByName("Default");

    std::memset(m_Variants, 0, sizeof(m_Variants));
    if (m_WantPerPixelLights > 0 || m_WantPerVertexLights > 0)
        for (int32_t i = 0; i < WeShaderVariantCount; ++i)
            m_Variants[i] = effect->GetTechniqueByName(g_ShaderTechniqueNames[i]);

    // Keep the pixel values of every array marked for conversion, so that each reset converts from them.
    D3DXEFFECT_DESC desc{};
    effect->GetDesc(&desc);
    m_PixelArrays = desc.Parameters > 0 ? new PixelArray[desc.Parameters] : nullptr;
    for (UINT i = 0; i < desc.Parameters; ++i)
    {
        D3DXHANDLE p = effect->GetParameter(nullptr, i);
        D3DXHANDLE note = p != nullptr ? effect->GetAnnotationByName(p, "ConvertPixelsToTexels") : nullptr;
        LPCSTR targetName = nullptr;
        if (note == nullptr || FAILED(effect->GetString(note, &targetName)) || targetName == nullptr)
            continue;
        D3DXHANDLE target = effect->GetParameterByName(nullptr, targetName);
        D3DXPARAMETER_DESC targetDesc{};
        if (target == nullptr || FAILED(effect->GetParameterDesc(target, &targetDesc)) ||
            targetDesc.Type != D3DXPT_FLOAT)
            continue;
        UINT count = targetDesc.Bytes / 16;
        if (count == 0)
            continue;
        PixelArray& array = m_PixelArrays[m_PixelArrayCount++];
        array.parameter = target;
        array.count = count;
        array.values = new float[count * 4];
        if (FAILED(effect->GetFloatArray(target, array.values, count * 4)))
            std::memset(array.values, 0, sizeof(float) * count * 4);
    }
    ConvertPixelsToTexels();
    return true;
}

void WeShader::ConvertPixelsToTexels()
{
    if (m_Effect == nullptr)
        return;
    float sx = g_ScreenSize.width > 0 ? 1.0f / float(g_ScreenSize.width) : 0.0f;
    float sy = g_ScreenSize.height > 0 ? 1.0f / float(g_ScreenSize.height) : 0.0f;
    for (int32_t i = 0; i < m_PixelArrayCount; ++i)
    {
        const PixelArray& array = m_PixelArrays[i];
        std::unique_ptr<float[]> texels(new float[array.count * 4]);
        std::memcpy(texels.get(), array.values, sizeof(float) * array.count * 4);
        for (UINT e = 0; e < array.count; ++e)
        {
            texels[e * 4 + 0] *= sx;
            texels[e * 4 + 1] *= sy;
        }
        m_Effect->SetFloatArray(array.parameter, texels.get(), array.count * 4);
    }
}

bool WeShader::SaveCompiled(WeVirtualFileSystem* vfs, const WeString& name)
{
    if (vfs == nullptr || !vfs->Create(name, ShaderFileType, true))
        return false;
    WeFileStream* stream = vfs->GetStream();
    bool ok = stream != nullptr && stream->WriteInt32(m_CompiledSize) &&
              (m_CompiledSize == 0 || stream->Write(m_Compiled, m_CompiledSize));
    return vfs->EndCreate() && ok;
}

int32_t WeShader::GetWantedPerPixelLights() const
{
    return g_RenderDevice.m_ShaderPath == 2 ? m_WantPerPixelLights30 : m_WantPerPixelLights;
}

int32_t WeShader::GetWantedPerVertexLights() const
{
    return g_RenderDevice.m_ShaderPath == 2 ? m_WantPerVertexLights30 : m_WantPerVertexLights;
}

bool WeShader::SetTechnique(int32_t variant, bool fog)
{
    if (m_Effect == nullptr)
        return false;
    if (g_RenderDevice.m_ShaderPath == 2)
    {
        if (fog && g_RenderDevice.m_FogEnabled)
            variant |= 0x200;
        variant |= 0x400;
    }
    D3DXHANDLE technique = m_Variants[variant & (WeShaderVariantCount - 1)];
    if (technique == nullptr)
        technique = m_DefaultTechnique;
    if (technique == nullptr)
        return false;
    return SUCCEEDED(m_Effect->SetTechnique(technique));
}

UINT WeShader::Begin(DWORD flags)
{
    m_PassCount = 0;
    if (m_Effect == nullptr || FAILED(m_Effect->Begin(&m_PassCount, flags)))
        return 0;
    return m_PassCount;
}

HRESULT WeShader::End()
{
    return m_Effect != nullptr ? m_Effect->End() : 0;
}

HRESULT WeShader::BeginPass(UINT pass)
{
    return m_Effect != nullptr ? m_Effect->BeginPass(pass) : 0;
}

HRESULT WeShader::EndPass()
{
    return m_Effect != nullptr ? m_Effect->EndPass() : 0;
}

HRESULT WeShader::CommitChanges()
{
    return m_Effect != nullptr ? m_Effect->CommitChanges() : 0;
}

void WeShader::SetWorldMatrix(const D3DXMATRIX& m)
{
    if (m_Effect == nullptr)
        return;
    if (m_WorldMatrix != nullptr)
        m_Effect->SetMatrix(m_WorldMatrix, &m);
    if (m_WorldViewProj != nullptr)
    {
        D3DXMATRIX wvp = m * g_ShaderManager.GetViewProjection();
        m_Effect->SetMatrix(m_WorldViewProj, &wvp);
    }
}

void WeShader::SetPrevWorldMatrix(const D3DXMATRIX& m)
{
    if (m_Effect == nullptr)
        return;
    if (m_PrevWorldMatrix != nullptr)
        m_Effect->SetMatrix(m_PrevWorldMatrix, &m);
    if (m_PrevWorldViewProj != nullptr)
    {
        D3DXMATRIX wvp = m * g_ShaderManager.GetPrevViewProjection();
        m_Effect->SetMatrix(m_PrevWorldViewProj, &wvp);
    }
}

void WeShader::SetMaterialColor(const float rgba[4])
{
    if (m_Effect != nullptr && m_MaterialColor != nullptr)
        m_Effect->SetFloatArray(m_MaterialColor, rgba, 4);
}

void WeShader::SetMaterialParameters(float strength, float envStrength, float bumpIntensity,
                                     const float staticBumpVector[3], float staticBumpIntensity, float specularPow,
                                     float glowAmount)
{
    if (m_Effect == nullptr)
        return;
    if (m_MaterialStrength != nullptr)
        m_Effect->SetFloat(m_MaterialStrength, strength);
    if (m_EnvStrength != nullptr)
        m_Effect->SetFloat(m_EnvStrength, envStrength);
    if (m_BumpIntensity != nullptr)
        m_Effect->SetFloat(m_BumpIntensity, bumpIntensity);
    if (m_StaticBumpVector != nullptr)
        m_Effect->SetFloatArray(m_StaticBumpVector, staticBumpVector, 3);
    if (m_StaticBumpIntensity != nullptr)
        m_Effect->SetFloat(m_StaticBumpIntensity, staticBumpIntensity);
    if (m_SpecularPow != nullptr)
        m_Effect->SetFloat(m_SpecularPow, specularPow);
    if (m_GlowAmount != nullptr)
        m_Effect->SetFloat(m_GlowAmount, glowAmount);
}

void WeShader::SetNoiseParameters(float waveSpeed, float noiseSpeed, float noiseScale, float noiseIntensity)
{
    if (m_Effect == nullptr)
        return;
    if (m_WaveSpeed != nullptr)
        m_Effect->SetFloat(m_WaveSpeed, waveSpeed);
    if (m_NoiseSpeed != nullptr)
        m_Effect->SetFloat(m_NoiseSpeed, noiseSpeed);
    if (m_NoiseScale != nullptr)
        m_Effect->SetFloat(m_NoiseScale, noiseScale);
    if (m_NoiseIntensity != nullptr)
        m_Effect->SetFloat(m_NoiseIntensity, noiseIntensity);
}

void WeShader::SetPerPixelLights(const WeShaderLight* lights, int32_t count)
{
    if (m_Effect == nullptr || (m_PerPixelLightsPosition == nullptr && m_PerPixelLightsColor == nullptr &&
                                m_PerPixelLightsSpecularColor == nullptr && m_PerPixelLightsRange == nullptr &&
                                m_PerPixelLightsCount == nullptr))
        return;
    int32_t n = std::max(0, std::min(lights != nullptr ? count : 0, GetWantedPerPixelLights()));
    std::unique_ptr<D3DXVECTOR4[]> position(new D3DXVECTOR4[size_t(n) + 1]);
    std::unique_ptr<D3DXVECTOR4[]> colour(new D3DXVECTOR4[size_t(n) + 1]);
    std::unique_ptr<D3DXVECTOR4[]> specular(new D3DXVECTOR4[size_t(n) + 1]);
    std::unique_ptr<float[]> range(new float[size_t(n) + 1]);
    for (int32_t i = 0; i < n; ++i)
    {
        const WeShaderLight& l = lights[i];
        position[i] = D3DXVECTOR4(l.position.x, l.position.y, l.position.z, 1.0f);
        colour[i] = D3DXVECTOR4(l.colour[0] * l.intensity, l.colour[1] * l.intensity, l.colour[2] * l.intensity, 1.0f);
        specular[i] = D3DXVECTOR4(l.specularColour[0] * l.specularIntensity, l.specularColour[1] * l.specularIntensity,
                                  l.specularColour[2] * l.specularIntensity, 1.0f);
        range[i] = l.range != 0.0f ? 1.0f / l.range : 0.0f;
    }
    if (n > 0)
    {
        if (m_PerPixelLightsPosition != nullptr)
            m_Effect->SetVectorArray(m_PerPixelLightsPosition, position.get(), UINT(n));
        if (m_PerPixelLightsColor != nullptr)
            m_Effect->SetVectorArray(m_PerPixelLightsColor, colour.get(), UINT(n));
        if (m_PerPixelLightsSpecularColor != nullptr)
            m_Effect->SetVectorArray(m_PerPixelLightsSpecularColor, specular.get(), UINT(n));
        if (m_PerPixelLightsRange != nullptr)
            m_Effect->SetFloatArray(m_PerPixelLightsRange, range.get(), UINT(n));
    }
    if (m_PerPixelLightsCount != nullptr)
        m_Effect->SetFloat(m_PerPixelLightsCount, float(n));
}

void WeShader::SetPerVertexLights(const WeShaderLight* lights, int32_t count, const D3DXVECTOR4* sphere)
{
    if (m_Effect == nullptr || (m_PerVertexLightsPosition == nullptr && m_PerVertexLightsColor == nullptr &&
                                m_PerVertexLightsRange == nullptr && m_PerVertexLightsCount == nullptr))
        return;
    int32_t n = std::max(0, std::min(lights != nullptr ? count : 0, GetWantedPerVertexLights()));
    std::unique_ptr<D3DXVECTOR4[]> position(new D3DXVECTOR4[size_t(n) + 1]);
    std::unique_ptr<D3DXVECTOR4[]> colour(new D3DXVECTOR4[size_t(n) + 1]);
    std::unique_ptr<float[]> range(new float[size_t(n) + 1]);
    for (int32_t i = 0; i < n; ++i)
    {
        const WeShaderLight& l = lights[i];
        float scale = l.intensity;
        if (sphere != nullptr)
        {
            // Lights that barely reach the object's bounding sphere fade out instead of popping.
            float dx = sphere->x - l.position.x;
            float dy = sphere->y - l.position.y;
            float dz = sphere->z - l.position.z;
            float d2 = dx * dx + dy * dy + dz * dz;
            float reach = l.range + sphere->w;
            float fade = 0.0f;
            if (d2 < reach * reach && reach > 0.0f)
                fade = std::min(1.0f, 2.0f * (1.0f - std::sqrt(d2) / reach));
            scale *= fade;
        }
        position[i] = D3DXVECTOR4(l.position.x, l.position.y, l.position.z, 1.0f);
        colour[i] = D3DXVECTOR4(l.colour[0] * scale, l.colour[1] * scale, l.colour[2] * scale, 1.0f);
        range[i] = l.range != 0.0f ? 1.0f / l.range : 0.0f;
    }
    if (n > 0)
    {
        if (m_PerVertexLightsPosition != nullptr)
            m_Effect->SetVectorArray(m_PerVertexLightsPosition, position.get(), UINT(n));
        if (m_PerVertexLightsColor != nullptr)
            m_Effect->SetVectorArray(m_PerVertexLightsColor, colour.get(), UINT(n));
        if (m_PerVertexLightsRange != nullptr)
            m_Effect->SetFloatArray(m_PerVertexLightsRange, range.get(), UINT(n));
    }
    if (m_PerVertexLightsCount != nullptr)
        m_Effect->SetFloat(m_PerVertexLightsCount, float(n));
}

void WeShader::OnLostDevice()
{
    if (m_Effect != nullptr)
        m_Effect->OnLostDevice();
}

void WeShader::OnResetDevice()
{
    if (m_Effect == nullptr)
        return;
    m_Effect->OnResetDevice();
    ConvertPixelsToTexels();
}

WeShaderLight WeShaderLightFrom(const WeLight& light)
{
    WeShaderLight out{};
    out.position = light.GetWorldPosition();
    for (int i = 0; i < 3; ++i)
    {
        out.colour[i] = light.m_Current.color[i];
        out.specularColour[i] = light.m_Current.secondColor[i];
    }
    out.intensity = light.GetColorScale();
    out.specularIntensity = light.GetSecondColorScale();
    out.range = light.m_Range;
    return out;
}

void WeShader::SetPerPixelLights(const WeRenderItem* item)
{
    if (!item)
        return;
    WeShaderLight lights[WeRenderItem::MaxPixelLights];
    const int32_t count = std::clamp(item->pixelLightCount, 0, WeRenderItem::MaxPixelLights);
    for (int32_t i = 0; i < count; ++i)
        lights[i] = WeShaderLightFrom(*item->pixelLights[i]);
    SetPerPixelLights(lights, count);
}

void WeShader::SetPerVertexLights(const WeRenderItem* item, const WeBoundingSphere* sphere)
{
    if (!item)
        return;
    WeShaderLight lights[WeRenderItem::MaxVertexLights];
    const int32_t count = std::clamp(item->vertexLightCount, 0, WeRenderItem::MaxVertexLights);
    for (int32_t i = 0; i < count; ++i)
        lights[i] = WeShaderLightFrom(*item->vertexLights[i]);
    if (!sphere)
    {
        SetPerVertexLights(lights, count, nullptr);
        return;
    }
    const D3DXVECTOR4 s(sphere->center.x, sphere->center.y, sphere->center.z, sphere->radius);
    SetPerVertexLights(lights, count, &s);
}
