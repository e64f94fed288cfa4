#include "Platform/gfx_d3dx/FxDeviceHost.h"

#include "Platform/gfx/GfxDevice.h"
#include "Platform/gfx/GfxGLProgram.h"
#include "Platform/gfx/GfxShaderInterface.h"
#include "Platform/gfx/GfxVertexLayout.h"
#include "Platform/gfx_d3dx/FxEffect.h"
#include "Platform/gfx_d3dx/FxGLProgram.h"

namespace {

const char* const kVersion = "#version 330 core\n";

std::string AttributeDefines() {
  static const struct {
    const char* name;
    int location;
  } kAttributes[] = {{"WE_ATTR_POSITION", WE_ATTR_POSITION},   {"WE_ATTR_BLENDWEIGHT", WE_ATTR_BLENDWEIGHT},
                     {"WE_ATTR_BLENDINDICES", WE_ATTR_BLENDINDICES}, {"WE_ATTR_NORMAL", WE_ATTR_NORMAL},
                     {"WE_ATTR_PSIZE", WE_ATTR_PSIZE},         {"WE_ATTR_COLOR0", WE_ATTR_COLOR0},
                     {"WE_ATTR_COLOR1", WE_ATTR_COLOR1},       {"WE_ATTR_TANGENT", WE_ATTR_TANGENT},
                     {"WE_ATTR_BINORMAL", WE_ATTR_BINORMAL}};
  std::string out;
  for (const auto& a : kAttributes) out += "#define " + std::string(a.name) + " " + std::to_string(a.location) + "\n";
  for (int i = 0; i < 7; ++i)
    out += "#define WE_ATTR_TEXCOORD" + std::to_string(i) + " " + std::to_string(WE_ATTR_TEXCOORD0 + i) + "\n";
  return out;
}

}  // namespace

FxDeviceHost::FxDeviceHost(IDirect3DDevice9* device)
    : m_Device(device), m_GL(!static_cast<GfxDevice*>(device)->Recording()) {}

FxDeviceHost::~FxDeviceHost() {
  for (auto& [id, program] : m_Programs) program->Release();
}

std::string FxDeviceHost::VertexText(const std::string& body) {
  return kVersion + AttributeDefines() + GfxShaderInterface::kVertexPrelude + "#line 1\n" + body;
}

std::string FxDeviceHost::FragmentText(const std::string& body) {
  return kVersion + std::string(GfxShaderInterface::kFragmentPrelude) + "#line 1\n" + body;
}

uint32_t FxDeviceHost::BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log) {
  if (!m_GL) return m_NextFake++;
  uint32_t program = GfxGLProgram::Build(VertexText(vertex), FragmentText(fragment), log);
  if (!program) return 0;
  m_Programs[program] = new FxGLProgram(program);
  return program;
}

void FxDeviceHost::DestroyProgram(uint32_t program) {
  auto it = m_Programs.find(program);
  if (it == m_Programs.end()) return;
  it->second->Release();
  m_Programs.erase(it);
}

void FxDeviceHost::BindTextures(const FxEffect& effect, const FxPass& pass) {
  for (const FxSampler& s : pass.samplers) {
    const FxParameter* p = effect.Parameter(effect.GetParameterByName(nullptr, s.texture.c_str()));
    m_Device->SetTexture(s.unit, p ? static_cast<IDirect3DBaseTexture9*>(p->value->texture) : nullptr);
  }
}

void FxDeviceHost::ApplyPass(const FxEffect& effect, const FxPass& pass) {
  for (const auto& [state, value] : pass.renderStates) m_Device->SetRenderState(D3DRENDERSTATETYPE(state), value);
  for (const FxSampler& s : pass.samplers)
    for (const auto& [state, value] : s.states) m_Device->SetSamplerState(s.unit, D3DSAMPLERSTATETYPE(state), value);
  BindTextures(effect, pass);
  auto it = m_Programs.find(pass.program);
  if (it == m_Programs.end()) return;
  it->second->Bind(effect.Data().parameters, pass);
  m_Device->SetVertexShader(it->second);
}

void FxDeviceHost::Commit(const FxEffect& effect, const FxPass& pass) { BindTextures(effect, pass); }

void FxDeviceHost::EndPass() { m_Device->SetVertexShader(nullptr); }
