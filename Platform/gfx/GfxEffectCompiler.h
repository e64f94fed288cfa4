#pragma once
// "Compiling" an effect text: checking it and handing back its bytes, which D3DXCreateEffect takes.
#include <string>

#include "Platform/gfx/D3DX9Effect.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxEffectCompiler : public GfxRefCounted<ID3DXEffectCompiler> {
 public:
  explicit GfxEffectCompiler(std::string text) : m_Text(std::move(text)) {}
  HRESULT CompileEffect(DWORD flags, ID3DXBuffer** effect, ID3DXBuffer** errors) override;

 private:
  ~GfxEffectCompiler() override = default;
  std::string m_Text;
};
