#pragma once
// The one hook effects need from the GL backend: a vertex shader object carrying an effect pass's linked
// program. While one is bound, draws make it current through Apply (which also sets the viewport and
// alpha-test uniforms of GfxShaderInterface from the draw's state) in place of the built-in program.
#include "Platform/gfx/D3D9.h"

struct GfxState;

class GfxEffectProgram : public IDirect3DVertexShader9 {
 public:
  virtual void Apply(const GfxState& state) = 0;
};
