// A post-process slot's effect: the scene (stage 0) turned towards its grey by PPParam (0 colour, 1 grey).
effect "Shaders.PostProcess.Monochrome";
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
uniform float PPParam;
void main() {
  vec3 c = texture(SceneMap, uv).rgb;
  float grey = dot(c, vec3(0.299, 0.587, 0.114));
  outColor = vec4(mix(c, vec3(grey), clamp(PPParam, 0.0, 1.0)), 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
