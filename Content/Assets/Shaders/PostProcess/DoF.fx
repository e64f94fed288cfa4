// Depth of field: the scene (stage 0) averaged over 12 taps (filterTaps, already in uv of one pixel) scaled
// by the circle of confusion, which grows with the distance of the pixel's view depth (stage 7, red; 0 where
// nothing was drawn, taken as far away) from FocalDist: min(|depth - FocalDist| x FocalRange, 1) x MaxCoC
// pixels. At the focal distance the taps collapse onto the pixel.
effect "Shaders.PostProcess.DoF";
#include "Shared.fxh"
#include "PostProcess.fxh"
float4 filterTaps[12];
sampler SceneMap : register(s0);
sampler DepthMap : register(s7);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform sampler2D DepthMap;
uniform vec4 filterTaps[12];
uniform float FocalDist;
uniform float FocalRange;
uniform float MaxCoC;
void main() {
  float depth = texture(DepthMap, uv).r;
  if (depth <= 0.0) depth = 10000.0;
  float coc = min(abs(depth - FocalDist) * FocalRange, 1.0) * MaxCoC;
  vec3 sum = texture(SceneMap, uv).rgb;
  for (int i = 0; i < 12; ++i)
    sum += texture(SceneMap, uv + filterTaps[i].xy * coc).rgb;
  outColor = vec4(sum / 13.0, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
