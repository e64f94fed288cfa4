// The demo's effect: a textured quad tinted by a shared colour, blended over what is below.
effect "Tools.FxDemo.Quad";

shared float4 Tint : TINT = {1, 1, 1, 1};
float4x4 WorldMatrix;
float4 UvScale = {4, 4, 0, 0};
texture Checker;

technique Default {
  pass P0 {
    CullMode = None;
    ZEnable = false;
    AlphaBlendEnable = true;
    SrcBlend = SrcAlpha;
    DestBlend = InvSrcAlpha;
    Texture[0] = Checker;
    MinFilter[0] = Linear;
    MagFilter[0] = Linear;
    AddressU[0] = Wrap;
    AddressV[0] = Wrap;
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUv;
uniform mat4 WorldMatrix;
uniform vec4 UvScale;
out vec2 uv;
void main() {
  uv = inUv * UvScale.xy;
  gl_Position = weClipFromD3D(WorldMatrix * vec4(inPosition, 1.0));
}
""";
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D Checker;
uniform vec4 Tint;
void main() {
  outColor = texture(Checker, uv) * Tint;
  weAlphaTest(outColor.a);
}
""";
  }
}
