#include "Platform/gfx/GfxDataBuffer.h"

#include <string>

GfxDataBuffer* GfxDataBuffer::FromText(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return new GfxDataBuffer(std::move(bytes));
}

HRESULT D3DXCreateBuffer(DWORD bytes, ID3DXBuffer** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = new GfxDataBuffer(std::vector<uint8_t>(bytes, 0));
  return D3D_OK;
}
