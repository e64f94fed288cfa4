#include "Platform/gfx_d3dx/FxDeviceHost.h"

#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxShaderInterface.h"
#include "Platform/gfx/GfxVertexLayout.h"
#include "Platform/gfx_d3dx/FxEffect.h"

namespace
{

const char* const Version = "#version 330 core\n";

std::string AttributeDefines()
{
    static const struct
    {
        const char* name;
        int location;
    } Attributes[] = {{"WE_ATTR_POSITION", WE_ATTR_POSITION},
                      {"WE_ATTR_BLENDWEIGHT", WE_ATTR_BLENDWEIGHT},
                      {"WE_ATTR_BLENDINDICES", WE_ATTR_BLENDINDICES},
                      {"WE_ATTR_NORMAL", WE_ATTR_NORMAL},
                      {"WE_ATTR_PSIZE", WE_ATTR_PSIZE},
                      {"WE_ATTR_COLOR0", WE_ATTR_COLOR0},
                      {"WE_ATTR_COLOR1", WE_ATTR_COLOR1},
                      {"WE_ATTR_TANGENT", WE_ATTR_TANGENT},
                      {"WE_ATTR_BINORMAL", WE_ATTR_BINORMAL}};
    std::string out;
    for (const auto& a : Attributes)
        out += "#define " + std::string(a.name) + " " + std::to_string(a.location) + "\n";
    for (int i = 0; i < 7; ++i)
        out += "#define WE_ATTR_TEXCOORD" + std::to_string(i) + " " + std::to_string(WE_ATTR_TEXCOORD0 + i) + "\n";
    return out;
}

}  // namespace

FxDeviceHost::FxDeviceHost(IDirect3DDevice9* device) : m_Device(static_cast<GfxDevice*>(device)) {}

FxDeviceHost::~FxDeviceHost()
{
    for (auto& [program, uniforms] : m_Uniforms)
        m_Device->Backend().DestroyProgram(program);
}

std::string FxDeviceHost::VertexText(const std::string& body)
{
    return Version + AttributeDefines() + GfxShaderInterface::VertexPrelude + "#line 1\n" + body;
}

std::string FxDeviceHost::FragmentText(const std::string& body)
{
    return Version + std::string(GfxShaderInterface::FragmentPrelude) + "#line 1\n" + body;
}

uint32_t FxDeviceHost::BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log)
{
    uint32_t program = m_Device->Backend().BuildProgram(VertexText(vertex), FragmentText(fragment), log);
    if (program)
        m_Uniforms[program];  // located on first use, once the effect's parameters are known
    return program;
}

void FxDeviceHost::DestroyProgram(uint32_t program)
{
    if (!m_Uniforms.erase(program))
        return;
    if (m_Device->State().program == program)
        m_Device->SetEffectProgram(0);
    m_Device->Backend().DestroyProgram(program);
}

void FxDeviceHost::BindTextures(const FxEffect& effect, const FxPass& pass)
{
    for (const FxSampler& s : pass.samplers)
    {
        if (s.texture.empty())
            continue;
        const FxParameter* p = effect.Parameter(effect.GetParameterByName(nullptr, s.texture.c_str()));
        m_Device->SetTexture(s.unit, p ? static_cast<IDirect3DBaseTexture9*>(p->value->texture) : nullptr);
    }
}

void FxDeviceHost::Upload(const FxEffect& effect, const FxPass& pass)
{
    auto it = m_Uniforms.find(pass.program);
    if (it == m_Uniforms.end())
        return;
    GfxBackend& backend = m_Device->Backend();
    using Type = GfxBackend::UniformType;
    std::vector<Uniform>& uniforms = it->second;
    if (uniforms.empty())
    {
        for (const auto& p : effect.Data().parameters)
        {
            if (p->type == FxType::String)
                continue;
            int location = backend.UniformLocation(pass.program, p->name.c_str());
            if (location < 0)
                continue;
            int unit = -1;
            if (p->type == FxType::Texture)
            {
                for (const FxSampler& s : pass.samplers)
                    if (s.texture == p->name)
                        unit = int(s.unit);
                if (unit < 0)
                    continue;
            }
            uniforms.push_back({p.get(), location, unit, 0});
        }
        // Stage samplers get their unit once: GL keeps the value with the program.
        for (const FxStageSampler& s : effect.Data().stageSamplers)
        {
            int location = backend.UniformLocation(pass.program, s.name.c_str());
            if (location < 0)
                continue;
            int32_t unit = int32_t(s.unit);
            backend.SetUniform(pass.program, location, Type::Int1, 1, &unit);
        }
        // A program using none of the parameters still counts as located.
        if (uniforms.empty())
            uniforms.push_back({nullptr, -1, -1, 0});
    }
    for (Uniform& u : uniforms)
    {
        if (!u.parameter || u.uploaded == u.parameter->value->version)
            continue;
        u.uploaded = u.parameter->value->version;
        const FxParameter& p = *u.parameter;
        UINT count = p.elements ? p.elements : 1;
        const uint32_t* words = p.value->words.data();
        switch (p.type)
        {
        case FxType::Texture:
        {
            int32_t unit = u.unit;
            backend.SetUniform(pass.program, u.location, Type::Int1, 1, &unit);
            break;
        }
        case FxType::Int:
        case FxType::Bool:
            if (p.rows == 1 && p.columns == 1)
                backend.SetUniform(pass.program, u.location, Type::Int1, count, words);
            break;
        case FxType::Float:
            if (p.rows == 4 && p.columns == 4)
            {
                backend.SetUniform(pass.program, u.location, Type::Matrix4, count, words);
            }
            else if (p.rows == 1)
            {
                static const Type Vector[4] = {Type::Float1, Type::Float2, Type::Float3, Type::Float4};
                backend.SetUniform(pass.program, u.location, Vector[p.columns - 1], count, words);
            }
            else if (p.columns == 4)
            {
                // Other four-column matrices go as arrays of their rows (vec4 name[rows]).
                backend.SetUniform(pass.program, u.location, Type::Float4, count * p.rows, words);
            }
            break;
        case FxType::String: break;
        }
    }
}

void FxDeviceHost::ApplyPass(const FxEffect& effect, const FxPass& pass)
{
    for (const auto& [state, value] : pass.renderStates)
        m_Device->SetRenderState(D3DRENDERSTATETYPE(state), value);
    for (const FxSampler& s : pass.samplers)
        for (const auto& [state, value] : s.states)
            m_Device->SetSamplerState(s.unit, D3DSAMPLERSTATETYPE(state), value);
    BindTextures(effect, pass);
    m_Device->SetEffectProgram(pass.program);
    Upload(effect, pass);
}

void FxDeviceHost::Commit(const FxEffect& effect, const FxPass& pass)
{
    BindTextures(effect, pass);
    Upload(effect, pass);
}

void FxDeviceHost::EndPass()
{
    m_Device->SetEffectProgram(0);
}
