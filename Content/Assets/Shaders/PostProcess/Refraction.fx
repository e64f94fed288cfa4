// Heat haze and glass: the scene (stage 0) displaced by the distortion map (stage 4, wrapped), which drifts
// with ElapsedTime x RefractionSpeed; RefractionStrength is the largest offset in uv. The chain's stencil
// state keeps the pass to the pixels refractive materials marked.
effect "Shaders.PostProcess.Refraction";
#include "Shared.fxh"
#include "PostProcess.fxh"
sampler SceneMap : register(s0);
sampler DistortionMap : register(s4);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform sampler2D DistortionMap;
uniform float ElapsedTime;
uniform float RefractionSpeed;
uniform float RefractionStrength;
void main() {
  vec2 drift = vec2(ElapsedTime * RefractionSpeed, ElapsedTime * RefractionSpeed * 0.7);
  vec2 offset = (texture(DistortionMap, uv * 3.0 + drift).rg * 2.0 - 1.0) * RefractionStrength;
  outColor = vec4(texture(SceneMap, uv + offset).rgb, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
