#include "Platform/gfx_d3dx/FxEffect.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Platform/gfx_d3dx/FxHost.h"
#include "Platform/gfx_d3dx/FxParser.h"
#include "Platform/gfx_d3dx/FxPool.h"

namespace
{

void StderrReport(const char* text)
{
    std::fprintf(stderr, "%s\n", text);
}
void (*g_FxReport)(const char*) = StderrReport;

float AsFloat(const FxParameter& p, uint32_t word)
{
    if (p.type == FxType::Float)
    {
        float f;
        std::memcpy(&f, &word, 4);
        return f;
    }
    return float(int32_t(word));
}

// A float as a whole number, as a cast would give it where a cast is defined: NaN becomes 0 and values past
// the range stop at its ends.
int32_t WholeOf(float f)
{
    if (std::isnan(f))
        return 0;
    if (f <= -2147483648.0f)
        return INT32_MIN;
    if (f >= 2147483648.0f)
        return INT32_MAX;
    return int32_t(f);
}

uint32_t FromFloat(const FxParameter& p, float f)
{
    if (p.type == FxType::Float)
    {
        uint32_t w;
        std::memcpy(&w, &f, 4);
        return w;
    }
    if (p.type == FxType::Bool)
        return f != 0.0f ? 1u : 0u;
    return uint32_t(WholeOf(f));
}

// "A B=1" -> "#define A\n#define B 1\n".
std::string DefineLines(const std::string& defines)
{
    std::string out;
    size_t i = 0;
    while (i < defines.size())
    {
        while (i < defines.size() && defines[i] == ' ')
            ++i;
        size_t b = i;
        while (i < defines.size() && defines[i] != ' ')
            ++i;
        if (i == b)
            break;
        std::string item = defines.substr(b, i - b);
        size_t eq = item.find('=');
        out += "#define " + (eq == std::string::npos ? item : item.substr(0, eq) + " " + item.substr(eq + 1)) + "\n";
    }
    return out;
}

}  // namespace

void FxEffect::SetReporter(void (*report)(const char*))
{
    g_FxReport = report ? report : StderrReport;
}

void FxEffect::Report(const char* text)
{
    if (text != nullptr)
        g_FxReport(text);
}

FxEffect::~FxEffect()
{
    ReleasePrograms();
}

void FxEffect::Register(std::vector<std::unique_ptr<FxParameter>>& list, Kind kind)
{
    for (auto& p : list)
    {
        m_Handles[p.get()] = kind;
        Register(p->annotations, Kind::Annotation);
    }
}

bool FxEffect::Create(std::string_view text, FxPool* pool, FxHost* host, const std::string& name, std::string* error)
{
    std::string why;
    if (!FxParser::Parse(text, &m_Data, &why))
    {
        if (error)
            *error = name + ": " + why;
        m_Data = FxEffectData{};
        return false;
    }
    // Every shared parameter is checked against the pool before any joins it, so a refused effect adds none.
    for (auto& p : m_Data.parameters)
    {
        if (!p->shared || !pool)
            continue;
        const FxParameter* q = pool->Find(p->name);
        if (q && (q->type != p->type || q->rows != p->rows || q->columns != p->columns || q->elements != p->elements))
        {
            if (error)
                *error = name + ": shared parameter " + p->name + " differs from the pool's";
            m_Data = FxEffectData{};
            return false;
        }
    }
    for (auto& p : m_Data.parameters)
        if (p->shared && pool)
            pool->Attach(p.get());
    m_Name = m_Data.name.empty() ? name : m_Data.name;
    m_Host = host;
    Register(m_Data.parameters, Kind::Parameter);
    for (auto& t : m_Data.techniques)
    {
        m_Handles[t.get()] = Kind::Technique;
        m_TechniqueNames.emplace(t->name, t.get());
        Register(t->annotations, Kind::Annotation);
        for (auto& pass : t->passes)
        {
            m_Handles[pass.get()] = Kind::Pass;
            Register(pass->annotations, Kind::Annotation);
        }
    }
    return true;
}

const FxParameter* FxEffect::Parameter(FxHandle h) const
{
    if (!h)
        return nullptr;
    auto it = m_Handles.find(h);
    if (it != m_Handles.end())
        return it->second == Kind::Parameter || it->second == Kind::Annotation ? reinterpret_cast<const FxParameter*>(h)
                                                                               : nullptr;
    return reinterpret_cast<const FxParameter*>(GetParameterByName(nullptr, h));
}

const FxTechnique* FxEffect::Technique(FxHandle h) const
{
    if (!h)
        return nullptr;
    auto it = m_Handles.find(h);
    if (it != m_Handles.end())
        return it->second == Kind::Technique ? reinterpret_cast<const FxTechnique*>(h) : nullptr;
    return reinterpret_cast<const FxTechnique*>(GetTechniqueByName(h));
}

FxHandle FxEffect::GetParameterByName(FxHandle parent, const char* name) const
{
    if (!name || parent)
        return nullptr;  // parameters have no members: structures are not part of the format
    for (auto& p : m_Data.parameters)
        if (p->name == name)
            return reinterpret_cast<FxHandle>(p.get());
    return nullptr;
}

FxHandle FxEffect::GetParameterBySemantic(FxHandle parent, const char* semantic) const
{
    if (!semantic || !*semantic || parent)
        return nullptr;
    for (auto& p : m_Data.parameters)
        if (strcasecmp(p->semantic.c_str(), semantic) == 0)
            return reinterpret_cast<FxHandle>(p.get());
    return nullptr;
}

FxHandle FxEffect::GetParameter(FxHandle parent, uint32_t index) const
{
    if (parent || index >= m_Data.parameters.size())
        return nullptr;
    return reinterpret_cast<FxHandle>(m_Data.parameters[index].get());
}

namespace
{
const std::vector<std::unique_ptr<FxParameter>>* AnnotationsOf(const void* object, int kind)
{
    switch (kind)
    {
    case 0: return &static_cast<const FxParameter*>(object)->annotations;
    case 2: return &static_cast<const FxTechnique*>(object)->annotations;
    case 3: return &static_cast<const FxPass*>(object)->annotations;
    default: return nullptr;
    }
}
}  // namespace

FxHandle FxEffect::GetAnnotation(FxHandle object, uint32_t index) const
{
    if (!object)
        return nullptr;
    const void* o = Parameter(object);
    Kind kind = Kind::Parameter;
    if (!o)
    {
        auto it = m_Handles.find(object);
        if (it == m_Handles.end())
        {
            o = Technique(object);
            kind = Kind::Technique;
        }
        else
        {
            o = object;
            kind = it->second;
        }
    }
    if (!o)
        return nullptr;
    auto* list = AnnotationsOf(o, int(kind));
    if (!list || index >= list->size())
        return nullptr;
    return reinterpret_cast<FxHandle>((*list)[index].get());
}

FxHandle FxEffect::GetAnnotationByName(FxHandle object, const char* name) const
{
    if (!name)
        return nullptr;
    for (uint32_t i = 0;; ++i)
    {
        FxHandle a = GetAnnotation(object, i);
        if (!a)
            return nullptr;
        if (reinterpret_cast<const FxParameter*>(a)->name == name)
            return a;
    }
}

FxHandle FxEffect::GetTechniqueByName(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_TechniqueNames.find(name);
    return it == m_TechniqueNames.end() ? nullptr : reinterpret_cast<FxHandle>(it->second);
}

FxHandle FxEffect::GetTechnique(uint32_t index) const
{
    return index < m_Data.techniques.size() ? reinterpret_cast<FxHandle>(m_Data.techniques[index].get()) : nullptr;
}

FxHandle FxEffect::GetPass(FxHandle technique, uint32_t index) const
{
    const FxTechnique* t = Technique(technique);
    if (!t || index >= t->passes.size())
        return nullptr;
    return reinterpret_cast<FxHandle>(t->passes[index].get());
}

FxParameter* FxEffect::Writable(FxHandle h)
{
    return const_cast<FxParameter*>(Parameter(h));
}

const FxParameter* FxEffect::Number(FxHandle h) const
{
    const FxParameter* p = Parameter(h);
    return p && p->type != FxType::String && p->type != FxType::Texture ? p : nullptr;
}

bool FxEffect::WriteFloats(FxHandle h, const float* v, uint32_t count)
{
    FxParameter* p = const_cast<FxParameter*>(Number(h));
    if (!p || (!v && count))
        return false;
    uint32_t n = std::min(count, p->Words());
    for (uint32_t i = 0; i < n; ++i)
        p->value->words[i] = FromFloat(*p, v[i]);
    ++p->value->version;
    return true;
}

bool FxEffect::ReadFloats(FxHandle h, float* v, uint32_t count) const
{
    const FxParameter* p = Number(h);
    if (!p || (!v && count))
        return false;
    for (uint32_t i = 0; i < count; ++i)
        v[i] = i < p->Words() ? AsFloat(*p, p->value->words[i]) : 0.0f;
    return true;
}

bool FxEffect::SetValue(FxHandle h, const void* data, uint32_t bytes)
{
    FxParameter* p = Writable(h);
    if (!p || (!data && bytes))
        return false;
    if (p->type == FxType::Texture)
    {
        if (bytes < sizeof(void*))
            return false;
        std::memcpy(&p->value->texture, data, sizeof(void*));
    }
    else if (p->type == FxType::String)
    {
        return false;
    }
    else
    {
        std::memcpy(p->value->words.data(), data, std::min(bytes, p->Bytes()));
    }
    ++p->value->version;
    return true;
}

bool FxEffect::GetValue(FxHandle h, void* data, uint32_t bytes) const
{
    const FxParameter* p = Parameter(h);
    if (!p || (!data && bytes))
        return false;
    if (p->type == FxType::Texture)
    {
        if (bytes < sizeof(void*))
            return false;
        std::memcpy(data, &p->value->texture, sizeof(void*));
        return true;
    }
    if (p->type == FxType::String)
        return false;
    uint32_t n = std::min(bytes, p->Bytes());
    std::memcpy(data, p->value->words.data(), n);
    std::memset(static_cast<uint8_t*>(data) + n, 0, bytes - n);
    return true;
}

bool FxEffect::SetBool(FxHandle h, bool v)
{
    FxParameter* p = const_cast<FxParameter*>(Number(h));
    if (!p)
        return false;
    p->value->words[0] = p->type == FxType::Float ? FromFloat(*p, v ? 1.0f : 0.0f) : (v ? 1u : 0u);
    ++p->value->version;
    return true;
}

bool FxEffect::GetBool(FxHandle h, bool* v) const
{
    const FxParameter* p = Number(h);
    if (!p || !v)
        return false;
    *v = p->type == FxType::Float ? AsFloat(*p, p->value->words[0]) != 0.0f : p->value->words[0] != 0;
    return true;
}

bool FxEffect::SetInt(FxHandle h, int32_t v)
{
    FxParameter* p = const_cast<FxParameter*>(Number(h));
    if (!p)
        return false;
    p->value->words[0] = p->type == FxType::Float  ? FromFloat(*p, float(v))
                         : p->type == FxType::Bool ? (v != 0 ? 1u : 0u)
                                                   : uint32_t(v);
    ++p->value->version;
    return true;
}

bool FxEffect::GetInt(FxHandle h, int32_t* v) const
{
    const FxParameter* p = Number(h);
    if (!p || !v)
        return false;
    *v = p->type == FxType::Float ? WholeOf(AsFloat(*p, p->value->words[0])) : int32_t(p->value->words[0]);
    return true;
}

bool FxEffect::SetFloat(FxHandle h, float v)
{
    return WriteFloats(h, &v, 1);
}
bool FxEffect::GetFloat(FxHandle h, float* v) const
{
    return v && ReadFloats(h, v, 1);
}
bool FxEffect::SetFloatArray(FxHandle h, const float* v, uint32_t count)
{
    return WriteFloats(h, v, count);
}
bool FxEffect::GetFloatArray(FxHandle h, float* v, uint32_t count) const
{
    return ReadFloats(h, v, count);
}

bool FxEffect::SetVectorArray(FxHandle h, const float* v, uint32_t count)
{
    FxParameter* p = const_cast<FxParameter*>(Number(h));
    if (!p || (!v && count))
        return false;
    uint32_t stride = p->rows * p->columns;
    uint32_t elements = p->elements ? p->elements : 1;
    uint32_t cols = std::min<uint32_t>(p->columns, 4);
    for (uint32_t e = 0; e < std::min(count, elements); ++e)
        for (uint32_t c = 0; c < cols; ++c)
            p->value->words[e * stride + c] = FromFloat(*p, v[e * 4 + c]);
    ++p->value->version;
    return true;
}

bool FxEffect::SetVector(FxHandle h, const float* v4)
{
    return v4 && SetVectorArray(h, v4, 1);
}

bool FxEffect::GetVector(FxHandle h, float* v4) const
{
    const FxParameter* p = Number(h);
    if (!p || !v4)
        return false;
    for (uint32_t c = 0; c < 4; ++c)
        v4[c] = c < p->columns ? AsFloat(*p, p->value->words[c]) : 0.0f;
    return true;
}

bool FxEffect::SetMatrixArray(FxHandle h, const float* m, uint32_t count)
{
    FxParameter* p = const_cast<FxParameter*>(Number(h));
    if (!p || (!m && count))
        return false;
    uint32_t stride = p->rows * p->columns;
    uint32_t elements = p->elements ? p->elements : 1;
    for (uint32_t e = 0; e < std::min(count, elements); ++e)
        for (uint32_t r = 0; r < p->rows; ++r)
            for (uint32_t c = 0; c < p->columns; ++c)
                p->value->words[e * stride + r * p->columns + c] = FromFloat(*p, m[e * 16 + r * 4 + c]);
    ++p->value->version;
    return true;
}

bool FxEffect::SetMatrix(FxHandle h, const float* m16)
{
    return m16 && SetMatrixArray(h, m16, 1);
}

bool FxEffect::GetMatrix(FxHandle h, float* m) const
{
    const FxParameter* p = Number(h);
    if (!p || !m)
        return false;
    for (uint32_t r = 0; r < 4; ++r)
        for (uint32_t c = 0; c < 4; ++c)
            m[r * 4 + c] = r < p->rows && c < p->columns ? AsFloat(*p, p->value->words[r * p->columns + c]) : 0.0f;
    return true;
}

bool FxEffect::SetString(FxHandle h, const char* s)
{
    FxParameter* p = Writable(h);
    if (!p || p->type != FxType::String || !s)
        return false;
    p->value->text = s;
    ++p->value->version;
    return true;
}

bool FxEffect::GetString(FxHandle h, const char** s) const
{
    const FxParameter* p = Parameter(h);
    if (!p || p->type != FxType::String || !s)
        return false;
    *s = p->value->text.c_str();
    return true;
}

bool FxEffect::SetTexture(FxHandle h, void* texture)
{
    FxParameter* p = Writable(h);
    if (!p || p->type != FxType::Texture)
        return false;
    p->value->texture = texture;
    ++p->value->version;
    return true;
}

bool FxEffect::GetTexture(FxHandle h, void** texture) const
{
    const FxParameter* p = Parameter(h);
    if (!p || p->type != FxType::Texture || !texture)
        return false;
    *texture = p->value->texture;
    return true;
}

bool FxEffect::Build(FxTechnique* t)
{
    bool ok = true;
    for (auto& pass : t->passes)
    {
        if (pass->built)
        {
            ok = ok && !pass->failed;
            continue;
        }
        pass->built = true;
        if (!m_Host)
            continue;
        std::string defines = DefineLines(pass->defines);
        // The compiler's line numbers stay those of the body the effect text holds.
        if (!defines.empty())
            defines += "#line 1\n";
        std::string log;
        pass->program = m_Host->BuildProgram(defines + *pass->vertexSource, defines + *pass->fragmentSource, &log);
        if (!pass->program)
        {
            pass->failed = true;
            ok = false;
            std::string text = "effect " + m_Name + ", technique " + t->name + ", pass " + pass->name +
                               ": the program does not build:\n" + log;
            g_FxReport(text.c_str());
        }
    }
    return ok;
}

bool FxEffect::SetTechnique(FxHandle technique)
{
    FxTechnique* t = const_cast<FxTechnique*>(Technique(technique));
    if (!t || m_Begun)
        return false;
    m_Current = t;
    Build(t);
    return true;
}

bool FxEffect::ValidateTechnique(FxHandle technique)
{
    FxTechnique* t = const_cast<FxTechnique*>(Technique(technique));
    return t && Build(t);
}

bool FxEffect::Begin(uint32_t* passes)
{
    if (!m_Current)
    {
        if (m_Data.techniques.empty())
            return false;
        m_Current = m_Data.techniques[0].get();
    }
    if (m_Begun)
        return false;
    Build(m_Current);
    m_Begun = true;
    if (passes)
        *passes = uint32_t(m_Current->passes.size());
    return true;
}

bool FxEffect::BeginPass(uint32_t index)
{
    if (!m_Begun || m_ActivePass || index >= m_Current->passes.size())
        return false;
    FxPass* pass = m_Current->passes[index].get();
    if (pass->failed)
        return false;
    m_ActivePass = pass;
    if (m_Host)
        m_Host->ApplyPass(*this, *pass);
    return true;
}

bool FxEffect::CommitChanges()
{
    if (!m_ActivePass)
        return false;
    if (m_Host)
        m_Host->Commit(*this, *m_ActivePass);
    return true;
}

bool FxEffect::EndPass()
{
    if (!m_ActivePass)
        return false;
    m_ActivePass = nullptr;
    if (m_Host)
        m_Host->EndPass();
    return true;
}

bool FxEffect::End()
{
    if (!m_Begun)
        return false;
    if (m_ActivePass)
        EndPass();
    m_Begun = false;
    return true;
}

void FxEffect::ReleasePrograms()
{
    for (auto& t : m_Data.techniques)
        for (auto& pass : t->passes)
        {
            if (pass->program && m_Host)
                m_Host->DestroyProgram(pass->program);
            pass->program = 0;
            pass->built = false;
            pass->failed = false;
        }
}

void FxEffect::OnLostDevice()
{
    if (m_Begun)
        End();
    ReleasePrograms();
}
