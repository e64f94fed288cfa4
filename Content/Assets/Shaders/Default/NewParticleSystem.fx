// Particles. Each 52-byte vertex is one corner of a particle: the world-space centre, the corner's uv
// ((0, 1), (0, 0), (1, 0), (1, 1)), colour with opacity, size (half the quad's side), rotation and a unit
// screen direction. The quad faces the camera (the right and up rows of CameraRotation); its up axis follows
// the screen direction ((0, 1): upright) and is then turned by the rotation. Writes stage 0 x colour x
// MaterialColor, alpha-tested.
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
layout(location = WE_ATTR_TEXCOORD4) in vec2 inDirection;
uniform mat4 ViewProj;
uniform mat4 CameraRotation;
out vec2 uv;
out vec4 colour;
void main() {
  vec3 right = CameraRotation[0].xyz;
  vec3 up = CameraRotation[1].xyz;
  vec3 alongUp = right * inDirection.x + up * inDirection.y;
  vec3 alongRight = right * inDirection.y - up * inDirection.x;
  vec2 local = vec2(inCorner.x * 2.0 - 1.0, 1.0 - inCorner.y * 2.0);
  float c = cos(inRotation);
  float s = sin(inRotation);
  vec2 turned = vec2(local.x * c - local.y * s, local.x * s + local.y * c) * inSize;
  vec3 world = inPosition + alongRight * turned.x + alongUp * turned.y;
  uv = inCorner;
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
void main() { outColor = texture(DiffuseMap, uv) * colour * MaterialColor; weAlphaTest(outColor.a); }
""";
  }
}
