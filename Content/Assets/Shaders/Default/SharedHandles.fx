// Declares the shared parameters, so that the engine holds one effect through which it sets them for the
// whole pool. Its one technique draws nothing useful and is never used.
effect "Shaders.Default.SharedHandles";
#include "Shared.fxh"

technique Default {
  pass P0 {
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
uniform mat4 ViewProj;
void main() { gl_Position = weClipFromD3D(ViewProj * vec4(inPosition, 1.0)); }
""";
    FragmentProgram = """
out vec4 outColor;
uniform vec4 AmbientColor;
void main() { outColor = AmbientColor; weAlphaTest(outColor.a); }
""";
  }
}
