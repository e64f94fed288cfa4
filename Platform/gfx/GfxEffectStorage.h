#pragma once
// The value of one effect parameter (owned by the effect, or by the pool when shared).
#include <string>
#include <vector>

#include "Platform/gfx/D3D9.h"

struct GfxEffectStorage {
  std::vector<uint32_t> words;  // floats as bits, ints and bools as integers
  std::string text;
  IDirect3DBaseTexture9* texture = nullptr;  // a reference of its own

  GfxEffectStorage() = default;
  GfxEffectStorage(const GfxEffectStorage&) = delete;
  GfxEffectStorage& operator=(const GfxEffectStorage&) = delete;
  ~GfxEffectStorage() {
    if (texture) texture->Release();
  }
  void SetTexture(IDirect3DBaseTexture9* value) {
    if (value) value->AddRef();
    if (texture) texture->Release();
    texture = value;
  }
};
