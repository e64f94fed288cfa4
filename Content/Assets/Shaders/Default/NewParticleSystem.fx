// Particles as camera-facing quads: each vertex is one corner of its particle, moved from the particle's
// position by its corner (-1..1) x size, turned by the particle's rotation in the plane spanned by the
// view's right and up axes (the first two columns of CameraRotation). Colour = vertex colour x MaterialColor x stage 0.
effect "Shaders.Default.NewParticleSystem";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 CameraRotation = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};
sampler DiffuseMap : register(s0);

technique Default {
  pass P0 {
    MinFilter[0] = Linear;
    MagFilter[0] = Linear;
    MipFilter[0] = Linear;
    AddressU[0] = Clamp;
    AddressV[0] = Clamp;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inCorner;
layout(location = WE_ATTR_TEXCOORD1) in vec4 inColour;
layout(location = WE_ATTR_TEXCOORD2) in float inSize;
layout(location = WE_ATTR_TEXCOORD3) in float inRotation;
layout(location = WE_ATTR_TEXCOORD4) in vec3 inDirection;
uniform mat4 WorldMatrix;
uniform mat4 ViewProj;
uniform mat4 CameraRotation;
out vec2 uv;
out vec4 colour;
void main() {
  vec3 right = vec3(CameraRotation[0][0], CameraRotation[1][0], CameraRotation[2][0]);
  vec3 up = vec3(CameraRotation[0][1], CameraRotation[1][1], CameraRotation[2][1]);
  float c = cos(inRotation);
  float s = sin(inRotation);
  vec2 corner = vec2(inCorner.x * c - inCorner.y * s, inCorner.x * s + inCorner.y * c) * inSize;
  vec3 centre = (WorldMatrix * vec4(inPosition, 1.0)).xyz;
  vec3 world = centre + right * corner.x + up * corner.y;
  uv = inCorner * vec2(0.5, -0.5) + 0.5;
  colour = inColour;
  gl_Position = weClipFromD3D(ViewProj * vec4(world, 1.0));
}
""";
    FragmentProgram = """
in vec2 uv;
in vec4 colour;
out vec4 outColor;
uniform sampler2D DiffuseMap;
uniform vec4 MaterialColor;
void main() { outColor = colour * MaterialColor * texture(DiffuseMap, uv); weAlphaTest(outColor.a); }
""";
  }
}
