// Spot projector pass over mesh vertices. Takes projective coordinates of each point from ProjectorMatrix
// (the light's view x projection) and samples the cookie on stage 6 (border colour 0 outside it); nothing
// behind the projector. Writes the cookie x MaterialColor; the material's blend states put it over the scene.
effect "Shaders.Projectors.ProjectorSpot";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};
sampler Cookie : register(s6);

technique Default {
  pass P0 {
    ZFunc = LessEqual;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
uniform mat4 WorldMatrix;
uniform mat4 WorldViewProj;
uniform mat4 ProjectorMatrix;
out vec4 projected;
void main() {
  projected = ProjectorMatrix * (WorldMatrix * vec4(inPosition, 1.0));
  gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0));
}
""";
    FragmentProgram = """
in vec4 projected;
out vec4 outColor;
uniform sampler2D Cookie;
uniform vec4 MaterialColor;
void main() {
  if (projected.w <= 0.0)
    discard;
  vec2 uv = vec2(projected.x / projected.w * 0.5 + 0.5, 0.5 - projected.y / projected.w * 0.5);
  outColor = texture(Cookie, uv) * MaterialColor;
  weAlphaTest(outColor.a);
}
""";
  }
}
