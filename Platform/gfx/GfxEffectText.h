#pragma once
// The effect text: parsed into definitions that effects are built from. The format is described in
// README.md beside this file.
#include <string>
#include <utility>
#include <vector>

#include "Platform/gfx/D3DX9Effect.h"

struct GfxEffectParamDef {
  std::string name, semantic;
  D3DXPARAMETER_TYPE type = D3DXPT_FLOAT;
  D3DXPARAMETER_CLASS cls = D3DXPC_SCALAR;
  UINT rows = 1, columns = 1, elements = 0;  // elements 0: not an array
  bool shared = false;
  std::vector<uint32_t> words;  // default value: floats as their bits, ints and bools as integers
  std::string text;             // default of a string
  std::vector<GfxEffectParamDef> annotations;

  UINT Count() const { return elements ? elements : 1; }
  // Value words of the whole parameter (0 for strings and textures).
  UINT Words() const { return (type == D3DXPT_STRING || type == D3DXPT_TEXTURE) ? 0 : rows * columns * Count(); }
};

struct GfxEffectSamplerDef {
  std::string uniform;  // the GLSL sampler uniform
  UINT unit = 0;        // texture unit, which is sampler stage `unit` of the device
  std::string texture;  // a texture parameter bound to the unit at each pass, or empty
};

struct GfxEffectPassDef {
  std::string name;
  std::vector<std::pair<int, DWORD>> states;              // render state, value
  std::vector<std::pair<std::pair<UINT, int>, DWORD>> samplerStates;  // (unit, state), value
  std::vector<GfxEffectSamplerDef> samplers;
  std::string vertex, fragment;
};

struct GfxEffectTechniqueDef {
  std::string name;
  std::vector<GfxEffectPassDef> passes;
};

struct GfxEffectDef {
  std::vector<GfxEffectParamDef> parameters;
  std::vector<GfxEffectTechniqueDef> techniques;
};

class GfxEffectText {
 public:
  // False with "line N: reason" in `error` for text that is not a well-formed effect.
  static bool Parse(const char* text, size_t size, GfxEffectDef& out, std::string* error);
  // A render or sampler state by its name without prefix ("ZEnable", "MinFilter"), case-insensitive, or
  // its number; -1 when unknown.
  static int RenderState(const std::string& name);
  static int SamplerState(const std::string& name);
};
