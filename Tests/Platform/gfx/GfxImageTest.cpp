// Image files and texture helpers on the CPU copies (recording backend): DDS round trips, PNG and TGA
// decoding, resizing and mip chains, surface copies, and files that lie about their contents.
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "GfxTestDevice.h"
#include "Platform/gfx/D3DX9Tex.h"

namespace {

class GfxImages : public ::testing::Test {
 protected:
  void SetUp() override {
    g_GfxRecorder.ResetAll();
    t = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
    ASSERT_NE(t->device, nullptr);
    dev = t->device;
  }
  void TearDown() override {
    t.reset();
    GfxSelectBackend(GfxBackendKind::OpenGL);
  }
  // The bytes of one level, rows packed.
  static std::vector<uint8_t> Level(IDirect3DTexture9* tex, UINT level) {
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(level, &desc);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(tex->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    bool block = desc.Format == D3DFMT_DXT1 || desc.Format == D3DFMT_DXT5;
    UINT rows = block ? (desc.Height + 3) / 4 : desc.Height;
    std::vector<uint8_t> out(static_cast<uint8_t*>(locked.pBits), static_cast<uint8_t*>(locked.pBits) + size_t(rows) * locked.Pitch);
    tex->UnlockRect(level);
    return out;
  }
  static void Fill(IDirect3DTexture9* tex, UINT level, uint32_t seed) {
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(level, &desc);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(tex->LockRect(level, &locked, nullptr, 0), D3D_OK);
    bool block = desc.Format == D3DFMT_DXT1;
    UINT rows = block ? (desc.Height + 3) / 4 : desc.Height;
    uint8_t* p = static_cast<uint8_t*>(locked.pBits);
    for (size_t i = 0; i < size_t(rows) * locked.Pitch; ++i) p[i] = uint8_t((i * 131 + seed * 7) >> 1);
    tex->UnlockRect(level);
  }
  std::vector<uint8_t> Save(IDirect3DBaseTexture9* tex) {
    ID3DXBuffer* buffer = nullptr;
    EXPECT_EQ(D3DXSaveTextureToFileInMemory(&buffer, D3DXIFF_DDS, tex, nullptr), D3D_OK);
    if (!buffer) return {};
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(buffer->GetBufferPointer()),
                               static_cast<uint8_t*>(buffer->GetBufferPointer()) + buffer->GetBufferSize());
    buffer->Release();
    return bytes;
  }
  IDirect3DTexture9* Load(const std::vector<uint8_t>& bytes, UINT w = D3DX_DEFAULT, UINT h = D3DX_DEFAULT,
                          UINT mips = D3DX_DEFAULT, D3DFORMAT format = D3DFMT_FROM_FILE, D3DXIMAGE_INFO* info = nullptr) {
    IDirect3DTexture9* tex = nullptr;
    HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(dev, bytes.data(), UINT(bytes.size()), w, h, mips, 0, format,
                                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, info, nullptr, &tex);
    return SUCCEEDED(hr) ? tex : nullptr;
  }
  std::unique_ptr<GfxTestDevice> t;
  IDirect3DDevice9* dev = nullptr;
};

std::vector<uint8_t> MakePng(UINT w, UINT h, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        v->insert(v->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (UINT y = 0; y < h; ++y) png_write_row(png, const_cast<png_bytep>(&rgba[size_t(y) * w * 4]));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST_F(GfxImages, DdsRoundTripsKeepEveryByte) {
  struct Case {
    D3DFORMAT format;
    UINT levels;
  } cases[] = {{D3DFMT_A8R8G8B8, 4}, {D3DFMT_DXT1, 4}, {D3DFMT_X1R5G5B5, 1}, {D3DFMT_A16B16G16R16F, 2}};
  for (const Case& c : cases) {
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(8, 8, c.levels, 0, c.format, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    for (UINT l = 0; l < c.levels; ++l) Fill(tex, l, l + 1);
    std::vector<uint8_t> dds = Save(tex);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(dds.data(), UINT(dds.size()), &info), D3D_OK);
    EXPECT_EQ(info.Format, c.format);
    EXPECT_EQ(info.MipLevels, c.levels);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    IDirect3DTexture9* back = Load(dds, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_FROM_FILE);
    ASSERT_NE(back, nullptr) << c.format;
    ASSERT_EQ(back->GetLevelCount(), c.levels);
    for (UINT l = 0; l < c.levels; ++l) EXPECT_EQ(Level(back, l), Level(tex, l)) << c.format << " level " << l;
    back->Release();
    tex->Release();
  }

  IDirect3DCubeTexture9* cube = nullptr;
  ASSERT_EQ(dev->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), D3D_OK);
  for (int f = 0; f < 6; ++f) {
    D3DLOCKED_RECT locked{};
    cube->LockRect(D3DCUBEMAP_FACES(f), 0, &locked, nullptr, 0);
    std::memset(locked.pBits, 0x10 * (f + 1), 64);
    cube->UnlockRect(D3DCUBEMAP_FACES(f), 0);
  }
  std::vector<uint8_t> dds = Save(cube);
  D3DXIMAGE_INFO info{};
  D3DXGetImageInfoFromFileInMemory(dds.data(), UINT(dds.size()), &info);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
  IDirect3DCubeTexture9* cubeBack = nullptr;
  ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(dev, dds.data(), UINT(dds.size()), 4, 1, 0, D3DFMT_FROM_FILE,
                                                    D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                    &cubeBack), D3D_OK);
  D3DLOCKED_RECT locked{};
  cubeBack->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0, &locked, nullptr, 0);
  EXPECT_EQ(static_cast<uint8_t*>(locked.pBits)[63], 0x60);
  cubeBack->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0);
  cubeBack->Release();
  cube->Release();
  // A 2-D file is not a cube.
  IDirect3DTexture9* flat = nullptr;
  dev->CreateTexture(4, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &flat, nullptr);
  std::vector<uint8_t> flatDds = Save(flat);
  EXPECT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(dev, flatDds.data(), UINT(flatDds.size()), 4, 1, 0, D3DFMT_FROM_FILE,
                                                    D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                    &cubeBack), D3DERR_INVALIDCALL);
  flat->Release();

  IDirect3DVolumeTexture9* volume = nullptr;
  ASSERT_EQ(dev->CreateVolumeTexture(4, 4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &volume, nullptr), D3D_OK);
  dds = Save(volume);
  D3DXGetImageInfoFromFileInMemory(dds.data(), UINT(dds.size()), &info);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_VOLUMETEXTURE);
  EXPECT_EQ(info.Depth, 4u);
  EXPECT_EQ(info.MipLevels, 3u);
  IDirect3DVolumeTexture9* volumeBack = nullptr;
  ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemoryEx(dev, dds.data(), UINT(dds.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                      D3DX_DEFAULT, D3DX_FROM_FILE, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED,
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &volumeBack), D3D_OK);
  EXPECT_EQ(volumeBack->GetLevelCount(), 3u);
  volumeBack->Release();
  volume->Release();
}

TEST_F(GfxImages, PngAndTgaDecodeToKnownTexels) {
  std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};
  std::vector<uint8_t> png = MakePng(2, 2, rgba);
  D3DXIMAGE_INFO info{};
  IDirect3DTexture9* tex = Load(png, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_FROM_FILE, &info);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
  EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
  std::vector<uint8_t> level = Level(tex, 0);
  uint32_t texels[4];
  std::memcpy(texels, level.data(), 8);
  std::memcpy(texels + 2, level.data() + 8, 8);
  EXPECT_EQ(texels[0], 0xFFFF0000u);
  EXPECT_EQ(texels[1], 0x8000FF00u);
  EXPECT_EQ(texels[2], 0x000000FFu);
  EXPECT_EQ(texels[3], 0x280A141Eu);
  tex->Release();

  // An uncompressed 24-bit TGA, stored bottom row first: the decoder turns it top row first.
  std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0,
                              /* bottom row */ 0, 0, 255, 0, 255, 0, /* top row */ 255, 0, 0, 255, 255, 255};
  tex = Load(tga, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_FROM_FILE, &info);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
  EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
  level = Level(tex, 0);
  std::memcpy(texels, level.data(), 8);
  std::memcpy(texels + 2, level.data() + 8, 8);
  EXPECT_EQ(texels[0], 0xFF0000FFu);  // B G R on disk: blue
  EXPECT_EQ(texels[1], 0xFFFFFFFFu);
  EXPECT_EQ(texels[2], 0xFFFF0000u);
  EXPECT_EQ(texels[3], 0xFF00FF00u);
  tex->Release();
}

TEST_F(GfxImages, ResizeAndMipChains) {
  // 64 x 16 loaded at quality 0: 16 x 16 with the full chain of 5 levels.
  std::vector<uint8_t> rgba(64 * 16 * 4);
  for (UINT y = 0; y < 16; ++y)
    for (UINT x = 0; x < 64; ++x) {
      uint8_t* p = &rgba[(y * 64 + x) * 4];
      p[0] = x < 32 ? 200 : 0, p[1] = 100, p[2] = uint8_t(y * 16), p[3] = 255;
    }
  IDirect3DTexture9* tex = Load(MakePng(64, 16, rgba), 16, 16, D3DX_DEFAULT);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(tex->GetLevelCount(), 5u);
  D3DSURFACE_DESC desc{};
  tex->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Width, 16u);
  EXPECT_EQ(desc.Height, 16u);
  std::vector<uint8_t> top = Level(tex, 0);
  EXPECT_EQ(top[2], 200);                 // red of the left half (bytes are B G R A)
  EXPECT_EQ(top[15 * 4 + 2], 0);          // right half
  std::vector<uint8_t> last = Level(tex, 4);
  EXPECT_EQ(last[2], 100);                // the average of 200 and 0
  EXPECT_EQ(last[1], 100);
  EXPECT_NEAR(last[0], 120, 1);           // blue ramps 0..240
  tex->Release();

  // Converted into a compressed format and back, colours stay close.
  tex = Load(MakePng(64, 16, rgba), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_DXT1);
  ASSERT_NE(tex, nullptr);
  tex->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Format, D3DFMT_DXT1);
  IDirect3DTexture9* plain = nullptr;
  dev->CreateTexture(64, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &plain, nullptr);
  IDirect3DSurface9* from = nullptr;
  IDirect3DSurface9* to = nullptr;
  tex->GetSurfaceLevel(0, &from);
  plain->GetSurfaceLevel(0, &to);
  ASSERT_EQ(D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr, D3DX_DEFAULT, 0), D3D_OK);
  std::vector<uint8_t> decoded = Level(plain, 0);
  EXPECT_NEAR(decoded[(5 * 64 + 3) * 4 + 2], 200, 8);
  EXPECT_NEAR(decoded[(5 * 64 + 40) * 4 + 2], 0, 8);
  from->Release();
  to->Release();
  tex->Release();

  // Filtering rebuilds the chain from level 0.
  dev->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr);
  D3DLOCKED_RECT locked{};
  tex->LockRect(0, &locked, nullptr, 0);
  const uint32_t four[4] = {0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  std::memcpy(locked.pBits, four, 8);
  std::memcpy(static_cast<uint8_t*>(locked.pBits) + locked.Pitch, four + 2, 8);
  tex->UnlockRect(0);
  ASSERT_EQ(D3DXFilterTexture(tex, nullptr, 0, D3DX_DEFAULT), D3D_OK);
  std::vector<uint8_t> small = Level(tex, 1);
  uint32_t average;
  std::memcpy(&average, small.data(), 4);
  EXPECT_EQ(average, 0xFF404040u);
  tex->Release();
  plain->Release();
}

TEST_F(GfxImages, TruncatedAndLyingFilesAreRefused) {
  IDirect3DTexture9* tex = nullptr;
  dev->CreateTexture(8, 8, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr);
  const std::vector<uint8_t> good = Save(tex);
  tex->Release();
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(&bytes[at], &value, 4);
    return bytes;
  };
  std::vector<std::vector<uint8_t>> bad = {
      std::vector<uint8_t>(good.begin(), good.end() - 1),  // one byte short
      std::vector<uint8_t>(good.begin(), good.begin() + 100),  // header cut
      patched(28 + 4 - 4, 9),           // more mip levels than 8 x 8 has
      patched(12, 4096),                // taller than the bytes
      patched(16, 0),                   // no width
      patched(4, 125),                  // header size
      patched(4 + 108, 0x200 | 0x400),  // a cube with one face
      patched(4 + 76, 0x4),             // a compression code that is not one
      {'D', 'D', 'S', ' '},
      {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6},
      {},
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    D3DXIMAGE_INFO info{};
    EXPECT_NE(D3DXGetImageInfoFromFileInMemory(bad[i].data(), UINT(bad[i].size()), &info), D3D_OK) << i;
    EXPECT_EQ(Load(bad[i]), nullptr) << i;
  }
  std::vector<uint8_t> png = MakePng(4, 4, std::vector<uint8_t>(64, 7));
  png.resize(png.size() / 2);
  EXPECT_EQ(Load(png), nullptr);
  EXPECT_EQ(D3DXGetImageInfoFromFileA("/no/such/file.dds", nullptr), D3DERR_NOTFOUND);
}

}  // namespace
