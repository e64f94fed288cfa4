// Glow round bright areas. Pass 0 keeps what is brighter than the threshold (scene on stage 0, into the half
// target); passes 1 and 2 blur it across and down (stage 0, into the quarter targets); pass 3 adds the glow
// (stage 0) x BloomScale to the scene (stage 1). Every pass writes alpha 1, so the chain's blending from the
// second pass on replaces what the target held.
effect "Shaders.PostProcess.Bloom";
#include "Shared.fxh"
#include "PostProcess.fxh"
sampler SourceMap : register(s0);
sampler SceneMap : register(s1);

code Blur = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SourceMap;
const float weights[5] = float[](0.227027, 0.1945946, 0.1216216, 0.054054, 0.016216);
void main() {
  vec2 texel = BLUR_STEP / vec2(textureSize(SourceMap, 0));
  vec3 sum = texture(SourceMap, uv).rgb * weights[0];
  for (int i = 1; i < 5; ++i) {
    sum += texture(SourceMap, uv + texel * float(i)).rgb * weights[i];
    sum += texture(SourceMap, uv - texel * float(i)).rgb * weights[i];
  }
  outColor = vec4(sum, 1.0);
  weAlphaTest(outColor.a);
}
""";

technique Default {
  pass BrightPass {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SourceMap;
void main() {
  vec3 c = texture(SourceMap, uv).rgb;
  outColor = vec4(max(c - vec3(0.6), vec3(0.0)) * 2.5, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
  pass BlurAcross {
    Defines = "BLUR_STEP=vec2(1.5,0.0)";
    VertexProgram = QuadVertex;
    FragmentProgram = Blur;
  }
  pass BlurDown {
    Defines = "BLUR_STEP=vec2(0.0,1.5)";
    VertexProgram = QuadVertex;
    FragmentProgram = Blur;
  }
  pass Combine {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SourceMap;
uniform sampler2D SceneMap;
uniform float BloomScale;
void main() {
  vec3 glow = texture(SourceMap, uv).rgb;
  outColor = vec4(texture(SceneMap, uv).rgb + glow * BloomScale, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
