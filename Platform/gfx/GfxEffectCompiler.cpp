#include "Platform/gfx/GfxEffectCompiler.h"

#include <fstream>
#include <sstream>

#include "Platform/gfx/GfxDataBuffer.h"
#include "Platform/gfx/GfxEffectText.h"

HRESULT GfxEffectCompiler::CompileEffect(DWORD flags, ID3DXBuffer** effect, ID3DXBuffer** errors) {
  (void)flags;
  if (errors) *errors = nullptr;
  if (!effect) return D3DERR_INVALIDCALL;
  *effect = nullptr;
  GfxEffectDef def;
  std::string error;
  if (!GfxEffectText::Parse(m_Text.data(), m_Text.size(), def, &error)) {
    if (errors) *errors = GfxDataBuffer::FromText(error);
    return E_FAIL;
  }
  *effect = new GfxDataBuffer(std::vector<uint8_t>(m_Text.begin(), m_Text.end()));
  return D3D_OK;
}

HRESULT D3DXCreateEffectCompilerFromFileA(LPCSTR path, const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                                          ID3DXEffectCompiler** compiler, ID3DXBuffer** errors) {
  (void)defines, (void)include, (void)flags;
  if (errors) *errors = nullptr;
  if (!path || !compiler) return D3DERR_INVALIDCALL;
  *compiler = nullptr;
  // Paths from data may use backslashes.
  std::string name(path);
  for (char& c : name)
    if (c == '\\') c = '/';
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    if (errors) *errors = GfxDataBuffer::FromText("cannot open " + name);
    return D3DERR_NOTFOUND;
  }
  std::ostringstream text;
  text << file.rdbuf();
  GfxEffectDef def;
  std::string error;
  if (!GfxEffectText::Parse(text.str().data(), text.str().size(), def, &error)) {
    GfxDebugPrint("effect %s: %s\n", name.c_str(), error.c_str());
    if (errors) *errors = GfxDataBuffer::FromText(name + ": " + error);
    return E_FAIL;
  }
  *compiler = new GfxEffectCompiler(text.str());
  return D3D_OK;
}
