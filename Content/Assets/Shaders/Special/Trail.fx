// Trails: world-space ribbon vertices (position, ARGB colour whose alpha fades along the ribbon, one uv set).
// Writes stage 0 x vertex colour x MaterialColor, alpha-tested.
effect "Shaders.Special.Trail";
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
layout(location = WE_ATTR_COLOR0) in vec4 inColour;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
uniform mat4 ViewProj;
out vec2 uv;
out vec4 colour;
void main() {
  uv = inUV;
  colour = inColour;
  gl_Position = weClipFromD3D(ViewProj * vec4(inPosition, 1.0));
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
