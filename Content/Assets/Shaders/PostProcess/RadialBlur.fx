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
  vec3 sum = vec3(0.0);
  for (int i = 0; i < 10; ++i)
    sum += texture(SceneMap, uv + toCentre * RadialBlurStrength * float(i) / 9.0).rgb;
  outColor = vec4(sum / 10.0, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
