// Film grain over the frame, drawn with the film-grain quad (clip-space corners, the screen uv and a second
// uv set tiling the grain). Reads the scene (stage 0) and the grain (stage 6, red, 0.5 = no change), moved by
// the grain material's animation (TextureAnimation's translation); adds (grain - 0.5) x PPParam.
effect "Shaders.PostProcess.FilmGrain";
#include "Shared.fxh"
float PPParam = 0;
sampler SceneMap : register(s0);
sampler GrainMap : register(s6);

technique Default {
  pass P0 {
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
layout(location = WE_ATTR_TEXCOORD1) in vec2 inGrainUV;
uniform mat4 TextureAnimation;
out vec2 uv;
out vec2 grainUV;
void main() {
  uv = inUV;
  grainUV = inGrainUV + TextureAnimation[3].xy;
  gl_Position = weClipFromD3D(vec4(inPosition.xy, 0.0, 1.0));
}
""";
    FragmentProgram = """
in vec2 uv;
in vec2 grainUV;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform sampler2D GrainMap;
uniform float PPParam;
void main() {
  float grain = texture(GrainMap, grainUV).r - 0.5;
  outColor = vec4(clamp(texture(SceneMap, uv).rgb + vec3(grain * PPParam), 0.0, 1.0), 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
