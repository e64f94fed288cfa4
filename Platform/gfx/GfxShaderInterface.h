#pragma once
// What every GL program of this layer shares with the device: the attribute locations of GfxVertexLayout.h,
// and the alpha test, which core GL lacks. Each fragment program declares the two uniforms below (through
// this prelude) and calls weAlphaTest on its final alpha; the device sets them from D3DRS_ALPHATESTENABLE,
// D3DRS_ALPHAFUNC and D3DRS_ALPHAREF before every draw.
namespace GfxShaderInterface
{

// Uniform names: the comparison (a D3DCMPFUNC, 0 when the test is off) and the reference (0..255).
// The define that leaves the test out of a program's twin.
constexpr const char* NoAlphaTestDefine = "#define WE_NO_ALPHA_TEST\n";
// Also defined in the twin: an effect may take a cheaper route there where its image stays the same within
// a level or two, and keeps its general route as the reference the fast paths are compared against.
constexpr const char* FastPathDefine = "#define WE_FAST_PATH\n";
constexpr const char* AlphaFunc = "we_AlphaFunc";
constexpr const char* AlphaRef = "we_AlphaRef";

// Uniform of every vertex program: the viewport (X, Y, Width, Height) the draw goes through.
constexpr const char* Viewport = "we_Viewport";

// GLSL text placed after the #version line of every vertex program. Direct3D 9 puts pixel centres on whole
// screen coordinates, GL on half ones, so both kinds of positions move by half a pixel: weClipFromD3D for
// positions a program computed in clip space, weClipFromScreen for pre-transformed (XYZRHW) ones. The shift
// is a hair under half a pixel (63/128) so that edges through pixel centres follow Direct3D's top-left rule
// whatever GL's own tie-breaking is.
constexpr const char* VertexPrelude = R"(
uniform vec4 we_Viewport;
const float weHalfPixel = 63.0 / 128.0;
vec4 weClipFromD3D(vec4 clip) {
  clip.x += 2.0 * weHalfPixel / we_Viewport.z * clip.w;
  clip.y -= 2.0 * weHalfPixel / we_Viewport.w * clip.w;
  return clip;
}
vec4 weClipFromScreen(vec4 screen) {
  float rhw = screen.w == 0.0 ? 1.0 : screen.w;
  float w = 1.0 / rhw;
  vec2 ndc = vec2((screen.x + weHalfPixel - we_Viewport.x) / we_Viewport.z * 2.0 - 1.0,
                  1.0 - (screen.y + weHalfPixel - we_Viewport.y) / we_Viewport.w * 2.0);
  return vec4(ndc * w, screen.z * w, w);
}
)";

// GLSL text placed after the #version line of every fragment program. A program whose text can discard
// cannot test depth before it shades, so the GL device builds each effect program a second time with
// WE_NO_ALPHA_TEST defined and draws with that twin whenever the alpha test is off.
constexpr const char* FragmentPrelude = R"(
uniform int we_AlphaFunc;
uniform float we_AlphaRef;
void weAlphaTest(float alpha) {
  float a = floor(clamp(alpha, 0.0, 1.0) * 255.0 + 0.5);
  bool pass = true;
  if (we_AlphaFunc == 1) pass = false;
  else if (we_AlphaFunc == 2) pass = a < we_AlphaRef;
  else if (we_AlphaFunc == 3) pass = a == we_AlphaRef;
  else if (we_AlphaFunc == 4) pass = a <= we_AlphaRef;
  else if (we_AlphaFunc == 5) pass = a > we_AlphaRef;
  else if (we_AlphaFunc == 6) pass = a != we_AlphaRef;
  else if (we_AlphaFunc == 7) pass = a >= we_AlphaRef;
#ifndef WE_NO_ALPHA_TEST
  if (!pass) discard;
#endif
}
)";

}  // namespace GfxShaderInterface
