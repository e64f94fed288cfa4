#pragma once
// Image files into scratch images: DDS through GfxDds, PNG, JPEG, TGA and BMP through stb_image.
#include <string>

#include "Platform/gfx/D3DX9Tex.h"
#include "Platform/gfx/GfxImage.h"

class GfxImageFile {
 public:
  static bool Info(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info);
  static bool Decode(const uint8_t* data, size_t size, GfxImage& out, D3DXIMAGE_INFO* info);
  // A whole file into memory ('\' in the path taken as '/'); false when it cannot be read.
  static bool ReadFile(const char* path, std::string& bytes);
};
