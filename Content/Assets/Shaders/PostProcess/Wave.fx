// A post-process slot's effect: the scene (stage 0) rippled sideways by a wave running down the screen with
// ElapsedTime.
effect "Shaders.PostProcess.Wave";
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
  vec2 moved = uv + vec2(sin(uv.y * 25.0 + ElapsedTime * 6.0) * 0.008, 0.0);
  outColor = vec4(texture(SceneMap, moved).rgb, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
