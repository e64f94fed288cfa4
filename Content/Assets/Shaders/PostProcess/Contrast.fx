// The chain's final pass onto the back buffer. Reads the last result (stage 0); writes
// mix((c - 0.5) x (1 + Contrast) + 0.5 + Brightness, FlashColor.rgb, FlashColor.a), the identity at
// Contrast 0, Brightness 0 and a flash strength of 0.
effect "Shaders.PostProcess.Contrast";
#include "Shared.fxh"
#include "PostProcess.fxh"
float Brightness = 0;
float Contrast = 0;
float4 FlashColor = {0, 0, 0, 0};
sampler SceneMap : register(s0);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform float Brightness;
uniform float Contrast;
uniform vec4 FlashColor;
void main() {
  vec3 c = texture(SceneMap, uv).rgb;
  c = (c - 0.5) * (1.0 + Contrast) + 0.5 + Brightness;
  outColor = vec4(mix(c, FlashColor.rgb, FlashColor.a), 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
