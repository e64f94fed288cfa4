// Omni projector pass over mesh vertices. Projects the projector material's cube (stage 4) outward from
// ProjectorPosition, turned by ProjectorMatrix's rotation, onto the surfaces that face it; writes the cube's
// colour x MaterialColor x MaterialStrength, added over the scene through its alpha.
effect "Shaders.Projectors.ProjectorOmni";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};
float MaterialStrength = 1;
sampler ProjectedCube : register(s4);

technique Default {
  pass P0 {
    SrcBlend = SrcAlpha;
    DestBlend = One;
    ZFunc = LessEqual;
    MinFilter[4] = Linear;
    MagFilter[4] = Linear;
    MipFilter[4] = None;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_NORMAL) in vec3 inNormal;
uniform mat4 WorldMatrix;
uniform mat4 WorldViewProj;
out vec3 worldPos;
out vec3 normal;
void main() {
  worldPos = (WorldMatrix * vec4(inPosition, 1.0)).xyz;
  normal = (WorldMatrix * vec4(inNormal, 0.0)).xyz;
  gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0));
}
""";
    FragmentProgram = """
in vec3 worldPos;
in vec3 normal;
out vec4 outColor;
uniform samplerCube ProjectedCube;
uniform vec3 ProjectorPosition;
uniform mat4 ProjectorMatrix;
uniform vec4 MaterialColor;
uniform float MaterialStrength;
void main() {
  vec3 outward = worldPos - ProjectorPosition;
  float distance = length(outward);
  vec3 dir = distance > 0.0 ? outward / distance : vec3(0.0, 0.0, 1.0);
  // World to the projector's own axes: the transpose of its rotation.
  vec3 local = dir * mat3(ProjectorMatrix);
  float facing = length(normal) > 0.0 ? max(dot(normalize(normal), -dir), 0.0) : 1.0;
  vec4 projected = texture(ProjectedCube, local) * MaterialColor;
  outColor = vec4(projected.rgb * MaterialStrength, projected.a * facing);
  weAlphaTest(outColor.a);
}
""";
  }
}
