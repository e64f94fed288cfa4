#include "Platform/gfx/GfxImageFile.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "Platform/gfx/GfxDds.h"
#include "Platform/gfx/GfxTexelCodec.h"

#include <stb/stb_image.h>

namespace {

constexpr int kMaxSize = 16384;

D3DXIMAGE_FILEFORMAT Detect(const uint8_t* data, size_t size) {
  if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) return D3DXIFF_DDS;
  if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0) return D3DXIFF_PNG;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8) return D3DXIFF_JPG;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return D3DXIFF_BMP;
  return D3DXIFF_TGA;  // the one format without a signature
}

bool StbInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
  int w = 0, h = 0, components = 0;
  if (size > size_t(INT32_MAX) || !stbi_info_from_memory(data, int(size), &w, &h, &components)) return false;
  if (w <= 0 || h <= 0 || w > kMaxSize || h > kMaxSize) return false;
  info->Width = UINT(w);
  info->Height = UINT(h);
  info->Depth = 1;
  info->MipLevels = 1;
  info->Format = (components == 2 || components == 4) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  info->ResourceType = D3DRTYPE_TEXTURE;
  info->ImageFileFormat = Detect(data, size);
  return true;
}

}  // namespace

bool GfxImageFile::Info(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
  if (!data || !info) return false;
  if (Detect(data, size) == D3DXIFF_DDS) {
    GfxImage image;
    if (!GfxDds::Read(data, size, image, nullptr)) return false;
    info->Width = image.width;
    info->Height = image.height;
    info->Depth = image.depth;
    info->MipLevels = image.levels;
    info->Format = image.format;
    info->ResourceType = image.kind == GfxImageKind::Cube     ? D3DRTYPE_CUBETEXTURE
                         : image.kind == GfxImageKind::Volume ? D3DRTYPE_VOLUMETEXTURE
                                                              : D3DRTYPE_TEXTURE;
    info->ImageFileFormat = D3DXIFF_DDS;
    return true;
  }
  return StbInfo(data, size, info);
}

bool GfxImageFile::Decode(const uint8_t* data, size_t size, GfxImage& out, D3DXIMAGE_INFO* info) {
  D3DXIMAGE_INFO local{};
  if (!info) info = &local;
  if (!Info(data, size, info)) return false;
  if (info->ImageFileFormat == D3DXIFF_DDS) return GfxDds::Read(data, size, out, nullptr);
  int w = 0, h = 0, components = 0;
  stbi_uc* pixels = stbi_load_from_memory(data, int(size), &w, &h, &components, 4);
  if (!pixels) return false;
  if (UINT(w) != info->Width || UINT(h) != info->Height) {
    stbi_image_free(pixels);
    return false;
  }
  std::vector<uint8_t> rgba(pixels, pixels + size_t(w) * h * 4);
  stbi_image_free(pixels);
  out = GfxImage();
  out.kind = GfxImageKind::Texture2D;
  out.format = info->Format;
  out.info = GfxFormat::Find(out.format);
  out.pool = D3DPOOL_SCRATCH;
  out.width = info->Width;
  out.height = info->Height;
  out.Layout();
  GfxSubImage& sub = out.subs[0];
  return GfxTexelCodec::Encode(out.format, rgba, out.width, out.height, sub.bytes.data(), sub.rowPitch);
}

bool GfxImageFile::ReadFile(const char* path, std::string& bytes) {
  if (!path) return false;
  std::string name(path);
  for (char& c : name)
    if (c == '\\') c = '/';
  std::ifstream file(name, std::ios::binary);
  if (!file) return false;
  std::ostringstream text;
  text << file.rdbuf();
  bytes = text.str();
  return true;
}
