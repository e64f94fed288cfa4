// Flat colour: the mesh transformed by WorldViewProj, every pixel MaterialColor. The first default effect
// and what the editor's materials draw with.
effect "Shaders.Default.ColorOnly";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};

technique Default {
  pass P0 {
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
uniform mat4 WorldViewProj;
void main() { gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0)); }
""";
    FragmentProgram = """
out vec4 outColor;
uniform vec4 MaterialColor;
void main() { outColor = MaterialColor; weAlphaTest(outColor.a); }
""";
  }
}
