#include "Platform/gfx_d3dx/FxGLProgram.h"

#include "Platform/gfx/GfxGL.h"
#include "Platform/gfx/GfxShaderInterface.h"
#include "Platform/gfx/GfxState.h"

FxGLProgram::FxGLProgram(uint32_t program) : m_Program(program) {
  m_Viewport = g_GL.glGetUniformLocation(program, GfxShaderInterface::kViewport);
  m_AlphaFunc = g_GL.glGetUniformLocation(program, GfxShaderInterface::kAlphaFunc);
  m_AlphaRef = g_GL.glGetUniformLocation(program, GfxShaderInterface::kAlphaRef);
}

FxGLProgram::~FxGLProgram() {
  if (m_Program) g_GL.glDeleteProgram(m_Program);
}

void FxGLProgram::Bind(const std::vector<std::unique_ptr<FxParameter>>& parameters, const FxPass& pass) {
  if (m_Bound) return;
  m_Bound = true;
  for (const auto& p : parameters) {
    if (p->type == FxType::String) continue;
    int location = g_GL.glGetUniformLocation(m_Program, p->name.c_str());
    if (location < 0) continue;
    int unit = -1;
    if (p->type == FxType::Texture) {
      for (const FxSampler& s : pass.samplers)
        if (s.texture == p->name) unit = int(s.unit);
      if (unit < 0) continue;
    }
    m_Uniforms.push_back({p.get(), location, unit});
  }
}

void FxGLProgram::Apply(const GfxState& state) {
  g_GL.glUseProgram(m_Program);
  if (m_Viewport >= 0)
    g_GL.glUniform4f(m_Viewport, float(state.viewport.X), float(state.viewport.Y), float(state.viewport.Width),
                     float(state.viewport.Height));
  const DWORD* rs = state.renderStates;
  if (m_AlphaFunc >= 0) g_GL.glUniform1i(m_AlphaFunc, rs[D3DRS_ALPHATESTENABLE] ? GLint(rs[D3DRS_ALPHAFUNC]) : 0);
  if (m_AlphaRef >= 0) g_GL.glUniform1f(m_AlphaRef, float(rs[D3DRS_ALPHAREF] & 0xFF));
  for (const Uniform& u : m_Uniforms) {
    const FxParameter& p = *u.parameter;
    GLsizei count = GLsizei(p.elements ? p.elements : 1);
    const uint32_t* words = p.value->words.data();
    switch (p.type) {
      case FxType::Texture:
        g_GL.glUniform1i(u.location, u.unit);
        break;
      case FxType::Int:
      case FxType::Bool:
        if (p.rows == 1 && p.columns == 1) g_GL.glUniform1iv(u.location, count, reinterpret_cast<const GLint*>(words));
        break;
      case FxType::Float: {
        const float* f = reinterpret_cast<const float*>(words);
        if (p.rows == 4 && p.columns == 4) {
          // Uploaded as it is: GLSL reads the rows as columns and M * v equals v * M.
          g_GL.glUniformMatrix4fv(u.location, count, GL_FALSE, f);
        } else if (p.rows == 1) {
          switch (p.columns) {
            case 1: g_GL.glUniform1fv(u.location, count, f); break;
            case 2: g_GL.glUniform2fv(u.location, count, f); break;
            case 3: g_GL.glUniform3fv(u.location, count, f); break;
            default: g_GL.glUniform4fv(u.location, count, f); break;
          }
        } else if (p.columns == 4) {
          // Other matrices with four columns go as arrays of their rows (vec4 name[rows]).
          g_GL.glUniform4fv(u.location, count * p.rows, f);
        }
        break;
      }
      case FxType::String:
        break;
    }
  }
}
