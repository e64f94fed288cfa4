// Draws a textured, blended quad over a cleared background through the graphics layer, in a window (or
// off screen with SDL_VIDEODRIVER=offscreen), and writes the last frame to a PNG file when asked.
//
//   gfxdemo [--png FILE] [--frames N] [--size WIDTHxHEIGHT]
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Platform/gfx/D3D9.h"

namespace {

struct Vertex {
  float x, y, z, rhw;
  D3DCOLOR colour;
  float u, v;
};

bool WritePng(const char* path, UINT width, UINT height, const std::vector<uint32_t>& argb) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(width * 3);
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) {
      uint32_t p = argb[y * width + x];
      row[x * 3 + 0] = uint8_t(p >> 16);
      row[x * 3 + 1] = uint8_t(p >> 8);
      row[x * 3 + 2] = uint8_t(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

IDirect3DTexture9* MakeChecker(IDirect3DDevice9* device) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr))) return nullptr;
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
    for (int y = 0; y < 64; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < 64; ++x) row[x] = ((x / 8 + y / 8) & 1) ? 0xC0FFD040 : 0x6020A0FF;
    }
    texture->UnlockRect(0);
  }
  return texture;
}

std::vector<uint32_t> ReadBackBuffer(IDirect3DDevice9* device, UINT width, UINT height) {
  std::vector<uint32_t> pixels;
  IDirect3DSurface9* back = nullptr;
  IDirect3DSurface9* copy = nullptr;
  if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) &&
      SUCCEEDED(device->CreateOffscreenPlainSurface(width, height, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr)) &&
      SUCCEEDED(device->GetRenderTargetData(back, copy))) {
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      pixels.resize(size_t(width) * height);
      for (UINT y = 0; y < height; ++y)
        std::memcpy(&pixels[y * width], static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, width * 4);
      copy->UnlockRect();
    }
  }
  if (copy) copy->Release();
  if (back) back->Release();
  return pixels;
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = nullptr;
  int frames = -1;
  UINT width = 640, height = 480;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
      pngPath = argv[++i];
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
        std::fprintf(stderr, "gfxdemo: bad size\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "usage: gfxdemo [--png FILE] [--frames N] [--size WIDTHxHEIGHT]\n");
      return 2;
    }
  }
  if (frames < 0) frames = pngPath ? 1 : 300;

  GfxShowOwnWindow(true);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) {
    std::fprintf(stderr, "gfxdemo: no OpenGL 3.3 with clip control\n");
    return 1;
  }
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.BackBufferCount = 1;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.Windowed = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D24S8;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
  IDirect3DDevice9* device = nullptr;
  if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device))) {
    std::fprintf(stderr, "gfxdemo: cannot create the device\n");
    d3d->Release();
    return 1;
  }
  IDirect3DTexture9* checker = MakeChecker(device);
  int status = 0;
  for (int frame = 0; frame < frames; ++frame) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(24, 32, 64), 1.0f, 0);
    device->BeginScene();
    float w = float(width), h = float(height);
    float shift = std::sin(float(frame) * 0.05f) * w * 0.1f;
    // An untextured bar under the quad shows the blending.
    const Vertex bar[4] = {{0, h * 0.45f, 0, 1, 0xFFE03020, 0, 0},
                           {w, h * 0.45f, 0, 1, 0xFFE03020, 0, 0},
                           {0, h * 0.55f, 0, 1, 0xFFE03020, 0, 0},
                           {w, h * 0.55f, 0, 1, 0xFFE03020, 0, 0}};
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, bar, sizeof(Vertex));
    float left = w * 0.25f + shift, right = w * 0.75f + shift, top = h * 0.2f, bottom = h * 0.8f;
    const Vertex quad[4] = {{left, top, 0, 1, 0xFFFFFFFF, 0, 0},
                            {right, top, 0, 1, 0xFFFFFFFF, 4, 0},
                            {left, bottom, 0, 1, 0xFFFFFFFF, 0, 4},
                            {right, bottom, 0, 1, 0xFFFFFFFF, 4, 4}};
    device->SetTexture(0, checker);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device->EndScene();
    if (frame == frames - 1 && pngPath) {
      std::vector<uint32_t> pixels = ReadBackBuffer(device, width, height);
      if (pixels.empty() || !WritePng(pngPath, width, height, pixels)) {
        std::fprintf(stderr, "gfxdemo: cannot write %s\n", pngPath);
        status = 1;
      }
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  device->SetTexture(0, nullptr);
  if (checker) checker->Release();
  device->Release();
  d3d->Release();
  return status;
}
