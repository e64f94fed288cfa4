#pragma once
// One linked program of an effect pass, bound through the vertex-shader slot: at each draw it becomes
// current and every uniform it uses is set from the effect's values and the draw's state.
#include <vector>

#include "Platform/gfx/GfxEffectProgram.h"
#include "Platform/gfx/GfxRefCounted.h"
#include "Platform/gfx_d3dx/FxEffectData.h"

class FxGLProgram : public GfxRefCounted<GfxEffectProgram> {
 public:
  explicit FxGLProgram(uint32_t program);
  // Finds the uniforms of the effect's parameters and the pass's texture units.
  void Bind(const std::vector<std::unique_ptr<FxParameter>>& parameters, const FxPass& pass);
  void Apply(const GfxState& state) override;
  uint32_t Program() const { return m_Program; }

 private:
  ~FxGLProgram() override;
  struct Uniform {
    const FxParameter* parameter;
    int location;
    int unit;
  };
  uint32_t m_Program;
  bool m_Bound = false;
  int m_Viewport = -1, m_AlphaFunc = -1, m_AlphaRef = -1;
  std::vector<Uniform> m_Uniforms;
};
