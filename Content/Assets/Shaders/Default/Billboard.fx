// A mesh turned to face the camera: its object-space x and y are spread along the view's right and up
// axes (the first two columns of the view rotation CameraRotation) and scaled by Scaling, around the
// object's origin. Diffuse x MaterialColor.
effect "Shaders.Default.Billboard";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 CameraRotation = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float Scaling = 1;
float4 MaterialColor = {1, 1, 1, 1};
sampler DiffuseMap : register(s0);

technique Default {
  pass P0 {
    MinFilter[0] = Linear;
    MagFilter[0] = Linear;
    MipFilter[0] = Linear;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
uniform mat4 WorldMatrix;
uniform mat4 ViewProj;
uniform mat4 CameraRotation;
uniform float Scaling;
out vec2 uv;
void main() {
  // Row vectors: the view's right and up axes are the first two columns of its rotation.
  vec3 right = vec3(CameraRotation[0][0], CameraRotation[1][0], CameraRotation[2][0]);
  vec3 up = vec3(CameraRotation[0][1], CameraRotation[1][1], CameraRotation[2][1]);
  vec3 centre = (WorldMatrix * vec4(0.0, 0.0, 0.0, 1.0)).xyz;
  vec3 world = centre + (right * inPosition.x + up * inPosition.y) * Scaling;
  uv = inUV;
  gl_Position = weClipFromD3D(ViewProj * vec4(world, 1.0));
}
""";
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D DiffuseMap;
uniform vec4 MaterialColor;
void main() { outColor = texture(DiffuseMap, uv) * MaterialColor; weAlphaTest(outColor.a); }
""";
  }
}
