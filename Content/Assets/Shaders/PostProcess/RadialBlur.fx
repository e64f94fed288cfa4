// Speed blur: each pixel averages the scene (stage 0) along the line toward the screen centre, over a
// length of RadialBlurStrength x its distance from the centre (0: the scene unchanged).
effect "Shaders.PostProcess.RadialBlur";
#include "Shared.fxh"
#include "PostProcess.fxh"
sampler SceneMap : register(s0);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform float RadialBlurStrength;
void main() {
  vec2 toCentre = vec2(0.5) - uv;
#ifdef WE_FAST_PATH
  // Taps spread over less than a sixteenth of a pixel (always at strength 0, near the centre otherwise):
  // the first stands for all ten.
  // A loop that ends early, not a branch: the rasteriser runs both sides of a branch under a mask, but
  // leaves a loop once no pixel of the block wants another turn.
  vec2 span = abs(toCentre) * RadialBlurStrength * vec2(textureSize(SceneMap, 0));
  int taps = max(span.x, span.y) < 0.0625 ? 1 : 10;
  vec3 sum = texture(SceneMap, uv).rgb;
  for (int i = 1; i < taps; ++i)
    sum += texture(SceneMap, uv + toCentre * RadialBlurStrength * float(i) / 9.0).rgb;
  outColor = vec4(sum / float(taps), 1.0);
#else
  vec3 sum = vec3(0.0);
  for (int i = 0; i < 10; ++i)
    sum += texture(SceneMap, uv + toCentre * RadialBlurStrength * float(i) / 9.0).rgb;
  outColor = vec4(sum / 10.0, 1.0);
#endif
  weAlphaTest(outColor.a);
}
""";
  }
}
