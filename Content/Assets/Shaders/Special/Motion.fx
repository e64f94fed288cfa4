// The velocity pass, drawn with mesh vertices into post-processing's G16R16F target. Writes the view-space
// depth in the first channel and the object's MotionBlurFactor in the second; the camera's motion is rebuilt
// from that depth by pixel motion blur, so every technique writes the same and they share one program.
effect "Shaders.Special.Motion";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 PrevWorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 PrevWorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float MotionBlurFactor = 0;

code DepthVertex = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
uniform mat4 WorldMatrix;
uniform mat4 ViewMatrix;
uniform mat4 WorldViewProj;
out float viewDepth;
void main() {
  viewDepth = (ViewMatrix * (WorldMatrix * vec4(inPosition, 1.0))).z;
  gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0));
}
""";

code DepthFragment = """
in float viewDepth;
out vec4 outColor;
uniform float MotionBlurFactor;
void main() { outColor = vec4(viewDepth, MotionBlurFactor, 0.0, 1.0); weAlphaTest(outColor.a); }
""";

technique DoFOnly {
  pass P0 {
    ZEnable = true;
    ZWriteEnable = true;
    AlphaBlendEnable = false;
    VertexProgram = DepthVertex;
    FragmentProgram = DepthFragment;
  }
}

technique PixelMotionBlurOnly {
  pass P0 {
    ZEnable = true;
    ZWriteEnable = true;
    AlphaBlendEnable = false;
    VertexProgram = DepthVertex;
    FragmentProgram = DepthFragment;
  }
}

technique PixelMotionBlurAndDof {
  pass P0 {
    ZEnable = true;
    ZWriteEnable = true;
    AlphaBlendEnable = false;
    VertexProgram = DepthVertex;
    FragmentProgram = DepthFragment;
  }
}
