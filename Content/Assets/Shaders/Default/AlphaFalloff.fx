// Diffuse x MaterialColor whose alpha fades as the surface turns edge-on to the viewer (glass, force
// fields): alpha x |dot(normal, view direction)|. No lights.
effect "Shaders.Default.AlphaFalloff";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};
sampler DiffuseMap : register(s0);

technique Default {
  pass P0 {
    MinFilter[0] = Linear;
    MagFilter[0] = Linear;
    MipFilter[0] = Linear;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_NORMAL) in vec3 inNormal;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
uniform mat4 WorldMatrix;
uniform mat4 WorldViewProj;
uniform vec3 CameraPosition;
out vec2 uv;
out float facing;
void main() {
  vec3 world = (WorldMatrix * vec4(inPosition, 1.0)).xyz;
  vec3 normal = normalize((WorldMatrix * vec4(inNormal, 0.0)).xyz);
  vec3 toEye = CameraPosition - world;
  facing = length(toEye) > 0.0 ? abs(dot(normal, normalize(toEye))) : 1.0;
  uv = inUV;
  gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0));
}
""";
    FragmentProgram = """
in vec2 uv;
in float facing;
out vec4 outColor;
uniform sampler2D DiffuseMap;
uniform vec4 MaterialColor;
void main() {
  outColor = texture(DiffuseMap, uv) * MaterialColor;
  outColor.a *= facing;
  weAlphaTest(outColor.a);
}
""";
  }
}
