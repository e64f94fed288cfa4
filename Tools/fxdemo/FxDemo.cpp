// Draws a textured, tinted quad through an effect file (the effect text format of the helper layer), in a
// window or off screen with SDL_VIDEODRIVER=offscreen, and writes the last frame to a PNG when asked; the
// frame's centre must show the quad.
//
//   fxdemo [--effect FILE] [--png FILE] [--frames N] [--size WIDTHxHEIGHT]
#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Platform/gfx_d3dx/D3DX9.h"

namespace {

struct Vertex {
  float x, y, z;
  float u, v;
};

const uint32_t kClear = 0x182040;

IDirect3DTexture9* MakeChecker(IDirect3DDevice9* device) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(D3DXCreateTexture(device, 64, 64, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
    return nullptr;
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
    for (int y = 0; y < 64; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
      for (int x = 0; x < 64; ++x) row[x] = ((x / 16 + y / 16) & 1) ? 0xFFFFFFFF : 0xC0808080;
    }
    texture->UnlockRect(0);
  }
  D3DXFilterTexture(texture, nullptr, 0, D3DX_DEFAULT);
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

bool WritePng(const char* path, UINT width, UINT height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0; i < argb.size(); ++i) {
    rgb[i * 3 + 0] = uint8_t(argb[i] >> 16);
    rgb[i * 3 + 1] = uint8_t(argb[i] >> 8);
    rgb[i * 3 + 2] = uint8_t(argb[i]);
  }
  return stbi_write_png(path, int(width), int(height), 3, rgb.data(), int(width) * 3) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* effectPath = WE_FXDEMO_EFFECT;
  const char* pngPath = nullptr;
  int frames = -1;
  UINT width = 640, height = 480;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--effect") == 0 && i + 1 < argc) {
      effectPath = argv[++i];
    } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
      pngPath = argv[++i];
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
        std::fprintf(stderr, "fxdemo: bad size\n");
        return 2;
      }
    } else {
      std::fprintf(stderr, "usage: fxdemo [--effect FILE] [--png FILE] [--frames N] [--size WIDTHxHEIGHT]\n");
      return 2;
    }
  }
  if (frames < 0) frames = pngPath ? 1 : 300;

  GfxShowOwnWindow(true);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) {
    std::fprintf(stderr, "fxdemo: no OpenGL 3.3 with clip control\n");
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
    std::fprintf(stderr, "fxdemo: cannot create the device\n");
    d3d->Release();
    return 1;
  }
  ID3DXEffectPool* pool = nullptr;
  ID3DXEffect* effect = nullptr;
  ID3DXBuffer* errors = nullptr;
  D3DXCreateEffectPool(&pool);
  if (FAILED(D3DXCreateEffectFromFileA(device, effectPath, nullptr, nullptr, 0, pool, &effect, &errors))) {
    std::fprintf(stderr, "fxdemo: %s\n", errors ? static_cast<const char*>(errors->GetBufferPointer()) : effectPath);
    if (errors) errors->Release();
    pool->Release();
    device->Release();
    d3d->Release();
    return 1;
  }
  IDirect3DTexture9* checker = MakeChecker(device);
  effect->SetTexture("Checker", checker);
  D3DXHANDLE world = effect->GetParameterByName(nullptr, "WorldMatrix");
  D3DXHANDLE tint = effect->GetParameterByName(nullptr, "Tint");
  const Vertex quad[4] = {{-0.5f, 0.5f, 0.5f, 0, 0}, {0.5f, 0.5f, 0.5f, 1, 0}, {-0.5f, -0.5f, 0.5f, 0, 1},
                          {0.5f, -0.5f, 0.5f, 1, 1}};
  int status = 0;
  for (int frame = 0; frame < frames; ++frame) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u | kClear, 1.0f, 0);
    device->BeginScene();
    float angle = float(frame) * 0.02f;
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, angle);
    effect->SetMatrix(world, &m);
    D3DXVECTOR4 colour(1.0f, 0.6f + 0.4f * std::sin(angle * 3.0f), 0.3f, 1.0f);
    effect->SetVector(tint, &colour);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    UINT passes = 0;
    if (SUCCEEDED(effect->SetTechnique("Default")) && SUCCEEDED(effect->Begin(&passes, 0))) {
      for (UINT p = 0; p < passes; ++p) {
        if (FAILED(effect->BeginPass(p))) {
          status = 1;
          continue;
        }
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        effect->EndPass();
      }
      effect->End();
    } else {
      status = 1;
    }
    device->EndScene();
    if (frame == frames - 1 && pngPath) {
      std::vector<uint32_t> pixels = ReadBackBuffer(device, width, height);
      if (pixels.empty() || (pixels[(height / 2) * width + width / 2] & 0xFFFFFF) == kClear) {
        std::fprintf(stderr, "fxdemo: the quad is missing from the frame\n");
        status = 1;
      }
      if (pixels.empty() || !WritePng(pngPath, width, height, pixels)) {
        std::fprintf(stderr, "fxdemo: cannot write %s\n", pngPath);
        status = 1;
      }
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  effect->Release();
  pool->Release();
  if (checker) checker->Release();
  device->Release();
  d3d->Release();
  return status;
}
