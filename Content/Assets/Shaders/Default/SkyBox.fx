// The cube sky. Draws the screen quad (pre-transformed corners, uv) as view rays: the sky draw sets ViewMatrix
// to the camera's orientation basis (view space to world) and Projection to the camera's projection with
// its first two diagonal terms exchanged and scaled by 0.8, so a ray is (x / Projection._22, y / Projection._11,
// 1) in view space: the sky keeps the screen's aspect and a field of view a little wider than the camera's.
// Samples the sky cube on stage 4 along the ray turned into the world; writes it opaque.
effect "Shaders.Default.SkyBox";
#include "Shared.fxh"
sampler SkyMap : register(s4);

technique Default {
  pass P0 {
    ZEnable = false;
    ZWriteEnable = false;
    CullMode = None;
    MinFilter[4] = Linear;
    MagFilter[4] = Linear;
    MipFilter[4] = Linear;
    AddressU[4] = Clamp;
    AddressV[4] = Clamp;
    AddressW[4] = Clamp;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec4 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
uniform mat4 ViewMatrix;
uniform mat4 Projection;
out vec3 ray;
void main() {
  vec2 ndc = vec2(inUV.x * 2.0 - 1.0, 1.0 - inUV.y * 2.0);
  vec3 viewRay = vec3(ndc.x / Projection[1][1], ndc.y / Projection[0][0], 1.0);
  ray = (ViewMatrix * vec4(viewRay, 0.0)).xyz;
  gl_Position = weClipFromScreen(inPosition);
}
""";
    FragmentProgram = """
in vec3 ray;
out vec4 outColor;
uniform samplerCube SkyMap;
void main() {
  outColor = vec4(texture(SkyMap, normalize(ray)).rgb, 1.0);
  weAlphaTest(outColor.a);
}
""";
  }
}
