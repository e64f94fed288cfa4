// A post-process slot's effect: the scene (stage 0) rippled in rings spreading from the screen centre with
// ElapsedTime.
effect "Shaders.PostProcess.Wave2";
#include "Shared.fxh"
#include "PostProcess.fxh"
float PPParam = 0;
sampler SceneMap : register(s0);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform float ElapsedTime;
void main() {
  vec2 fromCentre = uv - vec2(0.5);
  float r = length(fromCentre);
  vec2 dir = r > 0.0 ? fromCentre / r : vec2(0.0);
  vec2 moved = uv + dir * sin(r * 40.0 - ElapsedTime * 8.0) * 0.006;
  outColor = vec4(texture(SceneMap, moved).rgb, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
