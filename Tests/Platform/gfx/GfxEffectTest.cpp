// Effects: the text format, parameter and technique lookup, the pool, the pass protocol through the
// recording backend, and an effect drawing with OpenGL.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "GfxTestDevice.h"
#include "Platform/gfx/D3DX9Effect.h"
#include "Platform/gfx/GfxEffect.h"
#include "Platform/gfx/GfxEffectText.h"

namespace {

std::string Fixture() {
  std::ifstream file(std::string(WE_FIXTURES_DIR) + "/gfx/SharedColor.fx", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const char* kPassProgram =
    "vertex\nvoid main() { gl_Position = vec4(0.0); }\nendvertex\n"
    "fragment\nout vec4 c;\nvoid main() { c = vec4(1.0); }\nendfragment\n";

std::string OnePass(const std::string& head, const std::string& passBody = "") {
  return "weeffect 1\n" + head + "technique Default\npass P0\n" + passBody + kPassProgram + "endpass\nendtechnique\n";
}

TEST(GfxEffectText, GoodAndBrokenTexts) {
  struct Case {
    std::string text;
    const char* error;  // null: parses
  } cases[] = {
      {OnePass(""), nullptr},
      {OnePass("parameter shared float4x4 ViewProj : VIEWPROJECTION\nparameter float3 L[8] = 1 2 3\n"
               "parameter bool On = true\nparameter string S = \"a b\"\n"),
       nullptr},
      {OnePass("", "state ZEnable = 0\nstate FogStart = 1.5\nstate 27 = 1\nsamplerstate 3 AddressU = 3\n"), nullptr},
      {"", "line 1: expected \"weeffect 1\""},
      {"weeffect 2\n", "line 1: expected \"weeffect 1\""},
      {"weeffect 1\n", "line 2: no technique"},
      {OnePass("parameter float2 A = 1 2 3\n"), "line 2: expected 1 to 2 values"},
      {OnePass("parameter float A\nparameter int A\n"), "line 3: parameter defined twice: A"},
      {OnePass("parameter float3x3 M\n"), "line 2: expected a parameter type and name"},
      {OnePass("parameter texture T = 1\n"), "line 2: a texture has no default"},
      {OnePass("annotation Nope string X = \"y\"\n"), "line 2: annotation of an unknown parameter: Nope"},
      {OnePass("", "state Bogus = 1\n"), "line 4: unknown render state: Bogus"},
      {OnePass("", "sampler S 16\n"), "line 4: expected: sampler <uniform> <unit> [<texture parameter>] inside a pass"},
      {OnePass("parameter float F\n", "sampler S 0 F\n"), "line 5: not a texture parameter: F"},
      {"weeffect 1\ntechnique T\npass P\nvertex\nvoid main() {}\n", "line 4: missing endvertex"},
      {"weeffect 1\ntechnique T\npass P\nendpass\n", "line 4: a pass needs a vertex and a fragment program"},
      {"weeffect 1\ntechnique T\nendtechnique\n", "line 3: technique without passes: T"},
      {"weeffect 1\ntechnique T\npass P\n", "line 4: unterminated technique or pass"},
      {OnePass("", "").append("parameter float Late\n"), "line 13: parameters come before the techniques"},
  };
  for (const Case& c : cases) {
    GfxEffectDef def;
    std::string error;
    bool ok = GfxEffectText::Parse(c.text.data(), c.text.size(), def, &error);
    if (!c.error) {
      EXPECT_TRUE(ok) << error << "\n" << c.text;
    } else {
      EXPECT_FALSE(ok) << c.text;
      EXPECT_EQ(error, c.error) << c.text;
    }
  }
  // Binary rubbish is refused, not read as text.
  const char rubbish[] = {'w', 'e', 0, 1, 2};
  GfxEffectDef def;
  EXPECT_FALSE(GfxEffectText::Parse(rubbish, sizeof(rubbish), def, nullptr));
}

class GfxEffects : public ::testing::Test {
 protected:
  void SetUp() override {
    g_GfxRecorder.ResetAll();
    device = std::make_unique<GfxTestDevice>(GfxBackendKind::Recording, 64, 64);
    ASSERT_NE(device->device, nullptr);
    ASSERT_EQ(D3DXCreateEffectPool(&pool), D3D_OK);
  }
  void TearDown() override {
    if (pool) pool->Release();
    device.reset();
    GfxSelectBackend(GfxBackendKind::OpenGL);
    g_GfxRecorder.ResetAll();
  }
  ID3DXEffect* Create(const std::string& text, ID3DXEffectPool* inPool) {
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXCreateEffect(device->device, text.data(), UINT(text.size()), nullptr, nullptr,
                                  D3DXFX_NOT_CLONEABLE, inPool, &effect, &errors);
    if (errors) {
      lastError = static_cast<const char*>(errors->GetBufferPointer());
      errors->Release();
    }
    return SUCCEEDED(hr) ? effect : nullptr;
  }
  std::unique_ptr<GfxTestDevice> device;
  ID3DXEffectPool* pool = nullptr;
  std::string lastError;
};

TEST_F(GfxEffects, ParametersTechniquesAndAnnotations) {
  ID3DXEffect* fx = Create(Fixture(), pool);
  ASSERT_NE(fx, nullptr) << lastError;
  D3DXEFFECT_DESC desc{};
  fx->GetDesc(&desc);
  EXPECT_EQ(desc.Parameters, 6u);
  EXPECT_EQ(desc.Techniques, 2u);
  EXPECT_NE(fx->GetTechniqueByName("Default"), nullptr);
  EXPECT_NE(fx->GetTechniqueByName("DefaultD"), nullptr);
  EXPECT_EQ(fx->GetTechniqueByName("Default3F"), nullptr);
  EXPECT_EQ(fx->GetCurrentTechnique(), fx->GetTechniqueByName("Default"));
  EXPECT_EQ(fx->GetParameterByName(nullptr, "Missing"), nullptr);
  EXPECT_EQ(fx->GetParameterBySemantic(nullptr, "color"), fx->GetParameterByName(nullptr, "TintColor"));

  // The walk of the ConvertPixelsToTexels annotation.
  int converted = 0;
  for (UINT i = 0; i < desc.Parameters; ++i) {
    D3DXHANDLE p = fx->GetParameter(nullptr, i);
    D3DXHANDLE a = fx->GetAnnotationByName(p, "ConvertPixelsToTexels");
    if (!a) continue;
    LPCSTR target = nullptr;
    ASSERT_EQ(fx->GetString(a, &target), D3D_OK);
    EXPECT_STREQ(target, "Offsets");
    D3DXPARAMETER_DESC pd{};
    fx->GetParameterDesc(fx->GetParameterByName(nullptr, target), &pd);
    EXPECT_EQ(pd.Bytes, 64u);
    EXPECT_EQ(pd.Elements, 4u);
    float values[16];
    for (int k = 0; k < 16; ++k) values[k] = float(k);
    ASSERT_EQ(fx->SetValue(fx->GetParameterByName(nullptr, target), values, sizeof(values)), D3D_OK);
    float back[16] = {};
    fx->GetValue(fx->GetParameterByName(nullptr, target), back, sizeof(back));
    EXPECT_EQ(back[15], 15.0f);
    ++converted;
  }
  EXPECT_EQ(converted, 1);

  // Wanted-light counts are read as int or float whatever their declared type.
  INT wanted = 0;
  float wantedF = 0;
  EXPECT_EQ(fx->GetInt(fx->GetParameterByName(nullptr, "WantPerPixelLightsCount"), &wanted), D3D_OK);
  EXPECT_EQ(fx->GetFloat("WantPerPixelLightsCount", &wantedF), D3D_OK);  // a name works as a handle
  EXPECT_EQ(wanted, 4);
  EXPECT_EQ(wantedF, 4.0f);
  fx->SetFloat("Strength", 2.75f);
  EXPECT_EQ(fx->GetInt("Strength", &wanted), D3D_OK);
  EXPECT_EQ(wanted, 2);
  D3DXVECTOR4 lights[2] = {D3DXVECTOR4(1, 2, 3, 4), D3DXVECTOR4(5, 6, 7, 8)};
  EXPECT_EQ(fx->SetVectorArray("Offsets", lights, 2), D3D_OK);
  EXPECT_EQ(fx->SetMatrix("Strength", nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(fx->SetFloat(nullptr, 1.0f), D3DERR_INVALIDCALL);
  fx->Release();
}

TEST_F(GfxEffects, SharedParametersReachEveryEffectOfThePool) {
  ID3DXEffect* a = Create(Fixture(), pool);
  ID3DXEffect* b = Create(OnePass("parameter shared float4 TintColor = 0 0 0 0\nparameter float Strength = 9\n"), pool);
  ID3DXEffect* alone = Create(Fixture(), nullptr);
  ASSERT_TRUE(a && b && alone) << lastError;
  D3DXVECTOR4 red(1, 0, 0, 1);
  // The shared parameter is set once, through the first effect's handle.
  ASSERT_EQ(a->SetVector(a->GetParameterByName(nullptr, "TintColor"), &red), D3D_OK);
  D3DXVECTOR4 seen;
  b->GetVector(b->GetParameterByName(nullptr, "TintColor"), &seen);
  EXPECT_EQ(seen.x, 1.0f);
  EXPECT_EQ(seen.w, 1.0f);
  alone->GetVector("TintColor", &seen);
  EXPECT_EQ(seen.y, 1.0f);  // outside the pool: its own default
  // Parameters that are not shared stay apart.
  a->SetFloat("Strength", 3.0f);
  float strength = 0;
  b->GetFloat("Strength", &strength);
  EXPECT_EQ(strength, 9.0f);
  // A shared name with another type cannot join the pool.
  EXPECT_EQ(Create(OnePass("parameter shared float TintColor\n"), pool), nullptr);
  EXPECT_EQ(lastError, "shared parameter TintColor has another type in the pool");
  a->Release();
  b->Release();
  alone->Release();
}

TEST_F(GfxEffects, PassesSetStatesTexturesAndProgramsAndEndRestores) {
  ID3DXEffect* fx = Create(Fixture(), pool);
  ASSERT_NE(fx, nullptr);
  IDirect3DDevice9* dev = device->device;
  IDirect3DTexture9* tex = nullptr;
  dev->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr);
  fx->SetTexture("BaseTexture", tex);
  dev->SetRenderState(D3DRS_ZENABLE, 1);
  dev->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  UINT passes = 0;
  ASSERT_EQ(fx->SetTechnique(fx->GetTechniqueByName("Default")), D3D_OK);
  ASSERT_EQ(fx->Begin(&passes, 0), D3D_OK);
  EXPECT_EQ(passes, 1u);
  EXPECT_EQ(fx->SetTechnique("DefaultD"), D3DERR_INVALIDCALL);  // not while running
  ASSERT_EQ(fx->BeginPass(0), D3D_OK);
  struct V {
    float x, y, z, w, u, v;
  } quad[4] = {};
  dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V));
  fx->EndPass();
  fx->End();
  const GfxDrawRecord& draw = *g_GfxRecorder.Draws().back();
  EXPECT_NE(draw.state.program, 0u);
  EXPECT_EQ(draw.state.renderStates[D3DRS_ZENABLE], 0u);
  EXPECT_EQ(draw.state.textures[0], tex);
  EXPECT_EQ(draw.state.samplerStates[0][D3DSAMP_MINFILTER], DWORD(D3DTEXF_POINT));
  DWORD value = 0;
  dev->GetRenderState(D3DRS_ZENABLE, &value);
  EXPECT_EQ(value, 1u);  // restored by End
  dev->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(dev->GetSamplerState(0, D3DSAMP_MINFILTER, &value), D3D_OK);
  EXPECT_EQ(value, DWORD(D3DTEXF_POINT));  // the default, restored too

  // With "do not save state" the pass's states stay; a two-pass technique keeps the state from before.
  ASSERT_EQ(fx->SetTechnique("DefaultD"), D3D_OK);
  ASSERT_EQ(fx->Begin(&passes, D3DXFX_DONOTSAVESTATE | D3DXFX_DONOTSAVESHADERSTATE | D3DXFX_DONOTSAVESAMPLERSTATE), D3D_OK);
  EXPECT_EQ(passes, 2u);
  fx->BeginPass(0);
  EXPECT_EQ(fx->BeginPass(1), D3DERR_INVALIDCALL);  // one pass at a time
  fx->EndPass();
  fx->BeginPass(1);
  fx->EndPass();
  fx->End();
  dev->GetRenderState(D3DRS_SRCBLEND, &value);
  EXPECT_EQ(value, DWORD(D3DBLEND_SRCALPHA));
  dev->GetRenderState(D3DRS_FOGSTART, &value);
  float fogStart;
  std::memcpy(&fogStart, &value, 4);
  EXPECT_EQ(fogStart, 0.5f);
  EXPECT_EQ(g_GfxRecorder.Last("SetEffectProgram")->args[0], 0u);
  fx->SetTexture("BaseTexture", nullptr);
  dev->SetTexture(0, nullptr);
  tex->Release();
  fx->Release();
}

TEST_F(GfxEffects, CompilerChecksFilesAndHandsBackTheText) {
  ID3DXEffectCompiler* compiler = nullptr;
  ID3DXBuffer* errors = nullptr;
  std::string path = std::string(WE_FIXTURES_DIR) + "/gfx/SharedColor.fx";
  ASSERT_EQ(D3DXCreateEffectCompilerFromFileA(path.c_str(), nullptr, nullptr, D3DXSHADER_OPTIMIZATION_LEVEL3,
                                              &compiler, &errors), D3D_OK);
  ID3DXBuffer* compiled = nullptr;
  ASSERT_EQ(compiler->CompileEffect(0, &compiled, &errors), D3D_OK);
  ID3DXEffect* fx = nullptr;
  EXPECT_EQ(D3DXCreateEffect(device->device, compiled->GetBufferPointer(), compiled->GetBufferSize(), nullptr, nullptr,
                             0, pool, &fx, nullptr), D3D_OK);
  fx->Release();
  compiled->Release();
  compiler->Release();
  EXPECT_EQ(D3DXCreateEffectCompilerFromFileA("/no/such.fx", nullptr, nullptr, 0, &compiler, &errors), D3DERR_NOTFOUND);
  ASSERT_NE(errors, nullptr);
  errors->Release();
}

// With OpenGL: the colour comes from the shared parameter; a broken program fails Begin with its log.
TEST(GfxEffectGL, SharedColourDrawsAndCompileErrorsAreReported) {
  g_GfxRecorder.ResetAll();
  GfxTestDevice gl(GfxBackendKind::OpenGL, 32, 32);
  ASSERT_NE(gl.device, nullptr);
  ID3DXEffectPool* pool = nullptr;
  D3DXCreateEffectPool(&pool);
  std::string text = Fixture();
  ID3DXEffect* shared = nullptr;
  ID3DXEffect* fx = nullptr;
  std::string sharedText = OnePass("parameter shared float4 TintColor\n");
  ASSERT_EQ(D3DXCreateEffect(gl.device, sharedText.data(), UINT(sharedText.size()), nullptr, nullptr, 0, pool, &shared, nullptr), D3D_OK);
  ASSERT_EQ(D3DXCreateEffect(gl.device, text.data(), UINT(text.size()), nullptr, nullptr, 0, pool, &fx, nullptr), D3D_OK);
  D3DXVECTOR4 colour(0.0f, 1.0f, 0.5f, 1.0f);
  shared->SetVector("TintColor", &colour);  // through the other effect of the pool
  fx->SetFloat("Strength", 1.0f);
  gl.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  UINT passes = 0;
  ASSERT_EQ(fx->Begin(&passes, 0), D3D_OK);
  fx->BeginPass(0);
  struct V {
    float x, y, z, w, u, v;
  } quad[4] = {{0, 0, 0, 1, 0, 0}, {32, 0, 0, 1, 1, 0}, {0, 32, 0, 1, 0, 1}, {32, 32, 0, 1, 1, 1}};
  gl.device->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
  ASSERT_EQ(gl.device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V)), D3D_OK);
  fx->EndPass();
  fx->End();
  IDirect3DSurface9* back = nullptr;
  IDirect3DSurface9* copy = nullptr;
  gl.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  gl.device->CreateOffscreenPlainSurface(32, 32, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
  ASSERT_EQ(gl.device->GetRenderTargetData(back, copy), D3D_OK);
  D3DLOCKED_RECT locked{};
  copy->LockRect(&locked, nullptr, 0);
  const uint32_t* pixels = static_cast<const uint32_t*>(locked.pBits);
  EXPECT_EQ(pixels[0], 0xFF00FF80u);
  EXPECT_EQ(pixels[31 * 32 + 31], 0xFF00FF80u);
  copy->UnlockRect();
  copy->Release();
  back->Release();

  static std::string reported;
  GfxSetDebugOutput([](const char* line) { reported += line; });
  std::string broken = OnePass("").replace(OnePass("").find("vec4(1.0); }\nendfragment"), 10, "undefined; ");
  ID3DXEffect* bad = nullptr;
  ASSERT_EQ(D3DXCreateEffect(gl.device, broken.data(), UINT(broken.size()), nullptr, nullptr, 0, pool, &bad, nullptr), D3D_OK);
  GfxSetEffectName(bad, "Shaders.Test.Broken");
  EXPECT_EQ(bad->Begin(&passes, 0), E_FAIL);  // compiled on first use, and it fails
  EXPECT_EQ(passes, 0u);
  GfxSetDebugOutput(nullptr);
  EXPECT_NE(reported.find("Shaders.Test.Broken"), std::string::npos) << reported;
  EXPECT_NE(reported.find("fragment program"), std::string::npos) << reported;
  bad->Release();
  fx->Release();
  shared->Release();
  pool->Release();
}

}  // namespace
