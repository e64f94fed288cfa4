#pragma once
// The effect host over the graphics device: passes set their render and sampler states and textures
// through the device; on the GL backend each pass's program is compiled and linked and bound for the pass
// as a GfxEffectProgram, on the recording backend programs only get numbers.
#include <map>

#include "Platform/gfx/D3D9.h"
#include "Platform/gfx_d3dx/FxHost.h"

class FxGLProgram;

class FxDeviceHost : public FxHost {
 public:
  explicit FxDeviceHost(IDirect3DDevice9* device);
  ~FxDeviceHost() override;

  uint32_t BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log) override;
  void DestroyProgram(uint32_t program) override;
  void ApplyPass(const FxEffect& effect, const FxPass& pass) override;
  void Commit(const FxEffect& effect, const FxPass& pass) override;
  void EndPass() override;

  // The texts a pass's bodies are compiled as: #version, the layer's preludes and attribute locations.
  static std::string VertexText(const std::string& body);
  static std::string FragmentText(const std::string& body);

 private:
  void BindTextures(const FxEffect& effect, const FxPass& pass);

  IDirect3DDevice9* m_Device;  // not owned: the effect holds the reference
  bool m_GL;
  uint32_t m_NextFake = 1;
  std::map<uint32_t, FxGLProgram*> m_Programs;
};
