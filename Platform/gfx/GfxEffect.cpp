#include "Platform/gfx/GfxEffect.h"

#include <cmath>
#include <cstring>
#include <strings.h>
#include <fstream>
#include <sstream>

#include "Platform/gfx/GfxDataBuffer.h"
#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxShaderInterface.h"

namespace {

float AsFloat(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

}  // namespace

GfxEffect::GfxEffect(GfxDevice* device, GfxEffectPool* pool, GfxEffectDef def)
    : m_Device(device), m_Pool(pool), m_Def(std::move(def)) {
  m_Device->AddRef();
  if (m_Pool) m_Pool->AddRef();
}

GfxEffect::~GfxEffect() {
  if (m_Running) End();
  for (auto& technique : m_Techniques)
    for (Pass& pass : technique->passes)
      if (pass.program) m_Device->Backend().DestroyProgram(pass.program);
  m_Parameters.clear();
  if (m_Pool) m_Pool->Release();
  m_Device->Release();
}

bool GfxEffect::Init(std::string* error) {
  for (const GfxEffectParamDef& def : m_Def.parameters) {
    auto p = std::make_unique<Parameter>();
    p->def = def;
    if (def.shared && m_Pool) {
      p->storage = m_Pool->Share(def);
      if (!p->storage) {
        if (error) *error = "shared parameter " + def.name + " has another type in the pool";
        return false;
      }
    } else {
      p->storage = std::make_shared<GfxEffectStorage>();
      p->storage->words = def.words;
      p->storage->text = def.text;
    }
    for (const GfxEffectParamDef& a : def.annotations) {
      auto annotation = std::make_unique<Parameter>();
      annotation->def = a;
      annotation->storage = std::make_shared<GfxEffectStorage>();
      annotation->storage->words = a.words;
      annotation->storage->text = a.text;
      m_ParameterHandles.insert(annotation.get());
      p->annotations.push_back(std::move(annotation));
    }
    m_ParameterHandles.insert(p.get());
    m_Parameters.push_back(std::move(p));
  }
  for (const GfxEffectTechniqueDef& def : m_Def.techniques) {
    auto t = std::make_unique<Technique>();
    t->def = &def;
    t->passes.resize(def.passes.size());
    for (size_t i = 0; i < def.passes.size(); ++i) t->passes[i].def = &def.passes[i];
    m_TechniqueHandles.insert(t.get());
    m_Techniques.push_back(std::move(t));
  }
  m_Current = m_Techniques.empty() ? nullptr : m_Techniques.front().get();
  return true;
}

GfxEffect::Parameter* GfxEffect::FindParameter(D3DXHANDLE handle) {
  if (!handle) return nullptr;
  if (m_ParameterHandles.count(handle)) return reinterpret_cast<Parameter*>(const_cast<char*>(handle));
  for (auto& p : m_Parameters)
    if (p->def.name == handle) return p.get();
  return nullptr;
}

GfxEffect::Technique* GfxEffect::FindTechnique(D3DXHANDLE handle) {
  if (!handle) return nullptr;
  if (m_TechniqueHandles.count(handle)) return reinterpret_cast<Technique*>(const_cast<char*>(handle));
  for (auto& t : m_Techniques)
    if (t->def->name == handle) return t.get();
  return nullptr;
}

HRESULT GfxEffect::GetDesc(D3DXEFFECT_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  desc->Creator = "weeffect 1";
  desc->Parameters = UINT(m_Parameters.size());
  desc->Techniques = UINT(m_Techniques.size());
  desc->Functions = 0;
  return D3D_OK;
}

HRESULT GfxEffect::GetParameterDesc(D3DXHANDLE handle, D3DXPARAMETER_DESC* desc) {
  Parameter* p = FindParameter(handle);
  if (!p || !desc) return D3DERR_INVALIDCALL;
  desc->Name = p->def.name.c_str();
  desc->Semantic = p->def.semantic.empty() ? nullptr : p->def.semantic.c_str();
  desc->Class = p->def.cls;
  desc->Type = p->def.type;
  desc->Rows = p->def.rows;
  desc->Columns = p->def.columns;
  desc->Elements = p->def.elements;
  desc->Annotations = UINT(p->annotations.size());
  desc->StructMembers = 0;
  desc->Flags = p->def.shared ? D3DXPARAMETER_SHARED : 0;
  desc->Bytes = p->def.Words() * 4;
  return D3D_OK;
}

HRESULT GfxEffect::GetTechniqueDesc(D3DXHANDLE handle, D3DXTECHNIQUE_DESC* desc) {
  Technique* t = FindTechnique(handle);
  if (!t || !desc) return D3DERR_INVALIDCALL;
  desc->Name = t->def->name.c_str();
  desc->Passes = UINT(t->passes.size());
  desc->Annotations = 0;
  return D3D_OK;
}

D3DXHANDLE GfxEffect::GetParameter(D3DXHANDLE parent, UINT index) {
  if (parent || index >= m_Parameters.size()) return nullptr;  // elements of arrays are not handed out
  return reinterpret_cast<D3DXHANDLE>(m_Parameters[index].get());
}

D3DXHANDLE GfxEffect::GetParameterByName(D3DXHANDLE parent, LPCSTR name) {
  if (parent || !name) return nullptr;
  for (auto& p : m_Parameters)
    if (p->def.name == name) return reinterpret_cast<D3DXHANDLE>(p.get());
  return nullptr;
}

D3DXHANDLE GfxEffect::GetParameterBySemantic(D3DXHANDLE parent, LPCSTR semantic) {
  if (parent || !semantic) return nullptr;
  for (auto& p : m_Parameters)
    if (strcasecmp(p->def.semantic.c_str(), semantic) == 0) return reinterpret_cast<D3DXHANDLE>(p.get());
  return nullptr;
}

D3DXHANDLE GfxEffect::GetAnnotationByName(D3DXHANDLE object, LPCSTR name) {
  Parameter* p = FindParameter(object);
  if (!p || !name) return nullptr;
  for (auto& a : p->annotations)
    if (a->def.name == name) return reinterpret_cast<D3DXHANDLE>(a.get());
  return nullptr;
}

D3DXHANDLE GfxEffect::GetTechnique(UINT index) {
  return index < m_Techniques.size() ? reinterpret_cast<D3DXHANDLE>(m_Techniques[index].get()) : nullptr;
}

D3DXHANDLE GfxEffect::GetTechniqueByName(LPCSTR name) {
  if (!name) return nullptr;
  for (auto& t : m_Techniques)
    if (t->def->name == name) return reinterpret_cast<D3DXHANDLE>(t.get());
  return nullptr;
}

D3DXHANDLE GfxEffect::GetCurrentTechnique() { return reinterpret_cast<D3DXHANDLE>(m_Current); }

HRESULT GfxEffect::Store(Parameter* p, const void* values, UINT count, D3DXPARAMETER_TYPE from) {
  if (!p || !values || p->def.Words() == 0) return D3DERR_INVALIDCALL;
  std::vector<uint32_t>& words = p->storage->words;
  UINT n = std::min<UINT>(count, UINT(words.size()));
  for (UINT i = 0; i < n; ++i) {
    uint32_t raw;
    std::memcpy(&raw, static_cast<const uint8_t*>(values) + size_t(i) * 4, 4);
    if (p->def.type == from || (from != D3DXPT_FLOAT && p->def.type != D3DXPT_FLOAT)) {
      words[i] = p->def.type == D3DXPT_BOOL ? (raw != 0) : raw;
    } else if (p->def.type == D3DXPT_FLOAT) {
      words[i] = FloatBits(float(int32_t(raw)));
    } else {
      float f = AsFloat(raw);
      words[i] = p->def.type == D3DXPT_BOOL ? (f != 0.0f) : uint32_t(int32_t(f));
    }
  }
  return D3D_OK;
}

HRESULT GfxEffect::Load(Parameter* p, void* values, UINT count, D3DXPARAMETER_TYPE to) {
  if (!p || !values || p->def.Words() == 0) return D3DERR_INVALIDCALL;
  const std::vector<uint32_t>& words = p->storage->words;
  UINT n = std::min<UINT>(count, UINT(words.size()));
  for (UINT i = 0; i < n; ++i) {
    uint32_t raw = words[i];
    if (p->def.type != to) {
      if (to == D3DXPT_FLOAT)
        raw = FloatBits(float(int32_t(raw)));
      else if (p->def.type == D3DXPT_FLOAT)
        raw = to == D3DXPT_BOOL ? (AsFloat(raw) != 0.0f) : uint32_t(int32_t(AsFloat(raw)));
    }
    std::memcpy(static_cast<uint8_t*>(values) + size_t(i) * 4, &raw, 4);
  }
  return D3D_OK;
}

HRESULT GfxEffect::SetValue(D3DXHANDLE handle, const void* data, UINT bytes) {
  Parameter* p = FindParameter(handle);
  if (!p || !data) return D3DERR_INVALIDCALL;
  if (p->def.type == D3DXPT_TEXTURE) {
    if (bytes < sizeof(void*)) return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture9* texture;
    std::memcpy(&texture, data, sizeof(texture));
    p->storage->SetTexture(texture);
    return D3D_OK;
  }
  if (p->def.type == D3DXPT_STRING) return D3DERR_INVALIDCALL;
  size_t n = std::min<size_t>(bytes, p->storage->words.size() * 4);
  std::memcpy(p->storage->words.data(), data, n);
  return D3D_OK;
}

HRESULT GfxEffect::GetValue(D3DXHANDLE handle, void* data, UINT bytes) {
  Parameter* p = FindParameter(handle);
  if (!p || !data || p->def.Words() == 0) return D3DERR_INVALIDCALL;
  size_t n = std::min<size_t>(bytes, p->storage->words.size() * 4);
  std::memcpy(data, p->storage->words.data(), n);
  return D3D_OK;
}

HRESULT GfxEffect::SetBool(D3DXHANDLE h, BOOL value) {
  int32_t v = value != 0;
  return Store(FindParameter(h), &v, 1, D3DXPT_BOOL);
}
HRESULT GfxEffect::GetBool(D3DXHANDLE h, BOOL* value) { return Load(FindParameter(h), value, 1, D3DXPT_BOOL); }
HRESULT GfxEffect::SetInt(D3DXHANDLE h, INT value) { return Store(FindParameter(h), &value, 1, D3DXPT_INT); }
HRESULT GfxEffect::GetInt(D3DXHANDLE h, INT* value) { return Load(FindParameter(h), value, 1, D3DXPT_INT); }
HRESULT GfxEffect::SetFloat(D3DXHANDLE h, float value) { return Store(FindParameter(h), &value, 1, D3DXPT_FLOAT); }
HRESULT GfxEffect::GetFloat(D3DXHANDLE h, float* value) { return Load(FindParameter(h), value, 1, D3DXPT_FLOAT); }
HRESULT GfxEffect::SetFloatArray(D3DXHANDLE h, const float* values, UINT count) {
  return Store(FindParameter(h), values, count, D3DXPT_FLOAT);
}
HRESULT GfxEffect::SetVector(D3DXHANDLE h, const D3DXVECTOR4* vector) {
  Parameter* p = FindParameter(h);
  if (!p || !vector) return D3DERR_INVALIDCALL;
  return Store(p, vector, std::min<UINT>(4, p->def.columns * p->def.rows), D3DXPT_FLOAT);
}
HRESULT GfxEffect::GetVector(D3DXHANDLE h, D3DXVECTOR4* vector) {
  Parameter* p = FindParameter(h);
  if (!p || !vector) return D3DERR_INVALIDCALL;
  float values[4] = {0, 0, 0, 0};
  HRESULT hr = Load(p, values, 4, D3DXPT_FLOAT);
  std::memcpy(vector, values, sizeof(values));
  return hr;
}
HRESULT GfxEffect::SetVectorArray(D3DXHANDLE h, const D3DXVECTOR4* vectors, UINT count) {
  Parameter* p = FindParameter(h);
  if (!p || !vectors || p->def.type != D3DXPT_FLOAT || p->def.rows != 1) return D3DERR_INVALIDCALL;
  // Each element takes as many components of its vector as it has.
  UINT columns = p->def.columns, n = std::min(count, p->def.Count());
  for (UINT i = 0; i < n; ++i)
    for (UINT c = 0; c < columns; ++c)
      p->storage->words[i * columns + c] = FloatBits(reinterpret_cast<const float*>(&vectors[i])[c]);
  return D3D_OK;
}
HRESULT GfxEffect::SetMatrix(D3DXHANDLE h, const D3DXMATRIX* matrix) {
  Parameter* p = FindParameter(h);
  if (!p || !matrix || p->def.cls != D3DXPC_MATRIX_ROWS) return D3DERR_INVALIDCALL;
  return Store(p, matrix, 16, D3DXPT_FLOAT);
}
HRESULT GfxEffect::GetMatrix(D3DXHANDLE h, D3DXMATRIX* matrix) {
  Parameter* p = FindParameter(h);
  if (!p || !matrix || p->def.cls != D3DXPC_MATRIX_ROWS) return D3DERR_INVALIDCALL;
  return Load(p, matrix, 16, D3DXPT_FLOAT);
}
HRESULT GfxEffect::SetString(D3DXHANDLE h, LPCSTR text) {
  Parameter* p = FindParameter(h);
  if (!p || !text || p->def.type != D3DXPT_STRING) return D3DERR_INVALIDCALL;
  p->storage->text = text;
  return D3D_OK;
}
HRESULT GfxEffect::GetString(D3DXHANDLE h, LPCSTR* text) {
  Parameter* p = FindParameter(h);
  if (!p || !text || p->def.type != D3DXPT_STRING) return D3DERR_INVALIDCALL;
  *text = p->storage->text.c_str();
  return D3D_OK;
}
HRESULT GfxEffect::SetTexture(D3DXHANDLE h, IDirect3DBaseTexture9* texture) {
  Parameter* p = FindParameter(h);
  if (!p || p->def.type != D3DXPT_TEXTURE) return D3DERR_INVALIDCALL;
  p->storage->SetTexture(texture);
  return D3D_OK;
}
HRESULT GfxEffect::GetTexture(D3DXHANDLE h, IDirect3DBaseTexture9** texture) {
  Parameter* p = FindParameter(h);
  if (!p || !texture || p->def.type != D3DXPT_TEXTURE) return D3DERR_INVALIDCALL;
  *texture = p->storage->texture;
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

HRESULT GfxEffect::SetTechnique(D3DXHANDLE handle) {
  Technique* t = FindTechnique(handle);
  if (!t || m_Running) return D3DERR_INVALIDCALL;
  m_Current = t;
  return D3D_OK;
}

bool GfxEffect::Build(Technique& technique) {
  if (technique.built) return !technique.broken;
  technique.built = true;
  const std::string head = "#version 330 core\n";
  for (Pass& pass : technique.passes) {
    std::string log;
    std::string vertex = head + GfxShaderInterface::kVertexPrelude + pass.def->vertex;
    std::string fragment = head + GfxShaderInterface::kFragmentPrelude + pass.def->fragment;
    pass.program = m_Device->Backend().BuildProgram(vertex, fragment, &log);
    if (!pass.program) {
      GfxDebugPrint("effect %s, technique %s, pass %s: %s\n", m_Name.c_str(), technique.def->name.c_str(),
                    pass.def->name.c_str(), log.c_str());
      technique.broken = true;
      return false;
    }
    GfxBackend& backend = m_Device->Backend();
    for (auto& p : m_Parameters) pass.locations.push_back(backend.UniformLocation(pass.program, p->def.name.c_str()));
    for (const GfxEffectSamplerDef& s : pass.def->samplers) {
      int unit = int(s.unit);
      backend.SetUniform(pass.program, backend.UniformLocation(pass.program, s.uniform.c_str()),
                         GfxBackend::UniformType::Int1, 1, &unit);
    }
  }
  return true;
}

HRESULT GfxEffect::Begin(UINT* passes, DWORD flags) {
  if (passes) *passes = 0;
  if (!m_Current || m_Running) return D3DERR_INVALIDCALL;
  if (!Build(*m_Current)) return E_FAIL;
  m_Running = m_Current;
  m_Pass = -1;
  m_SaveState = (flags & D3DXFX_DONOTSAVESTATE) == 0;
  m_SavedStates.clear();
  m_SavedSamplerStates.clear();
  if (m_SaveState) {
    for (const Pass& pass : m_Running->passes) {
      for (const auto& state : pass.def->states) {
        DWORD value = 0;
        m_Device->GetRenderState(D3DRENDERSTATETYPE(state.first), &value);
        m_SavedStates.push_back({state.first, value});
      }
      if (flags & D3DXFX_DONOTSAVESAMPLERSTATE) continue;
      for (const auto& state : pass.def->samplerStates) {
        DWORD value = 0;
        m_Device->GetSamplerState(state.first.first, D3DSAMPLERSTATETYPE(state.first.second), &value);
        m_SavedSamplerStates.push_back({state.first, value});
      }
    }
  }
  if (passes) *passes = UINT(m_Running->passes.size());
  return D3D_OK;
}

void GfxEffect::BindTextures(const Pass& pass) {
  for (const GfxEffectSamplerDef& s : pass.def->samplers) {
    if (s.texture.empty()) continue;
    Parameter* p = FindParameter(s.texture.c_str());
    if (p) m_Device->SetTexture(s.unit, p->storage->texture);
  }
}

void GfxEffect::Upload(const Pass& pass) {
  GfxBackend& backend = m_Device->Backend();
  for (size_t i = 0; i < m_Parameters.size(); ++i) {
    int location = pass.locations[i];
    if (location < 0) continue;
    const Parameter& p = *m_Parameters[i];
    const void* data = p.storage->words.data();
    UINT count = p.def.Count();
    if (p.def.type == D3DXPT_FLOAT) {
      if (p.def.cls == D3DXPC_MATRIX_ROWS) {
        backend.SetUniform(pass.program, location, GfxBackend::UniformType::Matrix4, count, data);
      } else {
        static const GfxBackend::UniformType kTypes[4] = {GfxBackend::UniformType::Float1, GfxBackend::UniformType::Float2,
                                                          GfxBackend::UniformType::Float3, GfxBackend::UniformType::Float4};
        backend.SetUniform(pass.program, location, kTypes[p.def.columns - 1], count, data);
      }
    } else if (p.def.type == D3DXPT_INT || p.def.type == D3DXPT_BOOL) {
      backend.SetUniform(pass.program, location, GfxBackend::UniformType::Int1, count, data);
    }
  }
}

HRESULT GfxEffect::BeginPass(UINT index) {
  if (!m_Running || m_Pass >= 0 || index >= m_Running->passes.size()) return D3DERR_INVALIDCALL;
  m_Pass = int(index);
  const Pass& pass = m_Running->passes[index];
  for (const auto& state : pass.def->states) m_Device->SetRenderState(D3DRENDERSTATETYPE(state.first), state.second);
  for (const auto& state : pass.def->samplerStates)
    m_Device->SetSamplerState(state.first.first, D3DSAMPLERSTATETYPE(state.first.second), state.second);
  BindTextures(pass);
  m_Device->SetEffectProgram(pass.program);
  Upload(pass);
  return D3D_OK;
}

HRESULT GfxEffect::CommitChanges() {
  if (!m_Running || m_Pass < 0) return D3DERR_INVALIDCALL;
  const Pass& pass = m_Running->passes[size_t(m_Pass)];
  BindTextures(pass);
  Upload(pass);
  return D3D_OK;
}

HRESULT GfxEffect::EndPass() {
  if (!m_Running || m_Pass < 0) return D3DERR_INVALIDCALL;
  m_Pass = -1;
  return D3D_OK;
}

HRESULT GfxEffect::End() {
  if (!m_Running) return D3DERR_INVALIDCALL;
  m_Device->SetEffectProgram(0);
  // Restored in reverse, so that a state set by several passes gets its value from before the first.
  for (auto it = m_SavedStates.rbegin(); it != m_SavedStates.rend(); ++it)
    m_Device->SetRenderState(D3DRENDERSTATETYPE(it->first), it->second);
  for (auto it = m_SavedSamplerStates.rbegin(); it != m_SavedSamplerStates.rend(); ++it)
    m_Device->SetSamplerState(it->first.first, D3DSAMPLERSTATETYPE(it->first.second), it->second);
  m_Running = nullptr;
  m_Pass = -1;
  return D3D_OK;
}

HRESULT GfxEffect::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  m_Device->AddRef();
  *device = m_Device;
  return D3D_OK;
}

HRESULT GfxEffect::GetPool(ID3DXEffectPool** pool) {
  if (!pool) return D3DERR_INVALIDCALL;
  *pool = m_Pool;
  if (m_Pool) m_Pool->AddRef();
  return D3D_OK;
}

void GfxSetEffectName(ID3DXEffect* effect, const char* name) {
  if (effect && name) static_cast<GfxEffect*>(effect)->SetName(name);
}

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT bytes, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors) {
  (void)defines, (void)include, (void)flags;
  if (errors) *errors = nullptr;
  if (!device || !data || !effect) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  GfxEffectDef def;
  std::string error;
  if (!GfxEffectText::Parse(static_cast<const char*>(data), bytes, def, &error)) {
    GfxDebugPrint("effect: %s\n", error.c_str());
    if (errors) *errors = GfxDataBuffer::FromText(error);
    return E_FAIL;
  }
  GfxEffect* created = new GfxEffect(static_cast<GfxDevice*>(device), static_cast<GfxEffectPool*>(pool), std::move(def));
  if (!created->Init(&error)) {
    GfxDebugPrint("effect: %s\n", error.c_str());
    if (errors) *errors = GfxDataBuffer::FromText(error);
    created->Release();
    return E_FAIL;
  }
  *effect = created;
  return D3D_OK;
}
