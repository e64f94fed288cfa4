#pragma once
// A block of bytes handed out by the helper functions (compiled effects, error texts, saved images).
#include <string>
#include <vector>

#include "Platform/gfx/D3DX9Effect.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxDataBuffer : public GfxRefCounted<ID3DXBuffer> {
 public:
  explicit GfxDataBuffer(std::vector<uint8_t> bytes) : m_Bytes(std::move(bytes)) {}
  void* GetBufferPointer() override { return m_Bytes.data(); }
  DWORD GetBufferSize() override { return DWORD(m_Bytes.size()); }
  // A buffer holding a text and its terminating zero.
  static GfxDataBuffer* FromText(const std::string& text);

 private:
  ~GfxDataBuffer() override = default;
  std::vector<uint8_t> m_Bytes;
};
