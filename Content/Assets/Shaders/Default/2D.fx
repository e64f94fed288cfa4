// The canvas: pre-transformed vertices (x, y in pixels, rhw) placed through weClipFromScreen, coloured
// stage 6 x vertex colour. The pass sets no blend or depth state: the canvas sets them per batch.
effect "Shaders.Default.2D";
sampler CanvasMap : register(s6);

technique Default {
  pass P0 {
    VertexProgram = """
layout(location = WE_ATTR_POSITION) in vec4 inPosition;
layout(location = WE_ATTR_COLOR0) in vec4 inColour;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
out vec2 uv;
out vec4 colour;
void main() {
  uv = inUV;
  colour = inColour;
  gl_Position = weClipFromScreen(inPosition);
}
""";
    FragmentProgram = """
in vec2 uv;
in vec4 colour;
out vec4 outColor;
uniform sampler2D CanvasMap;
void main() { outColor = texture(CanvasMap, uv) * colour; weAlphaTest(outColor.a); }
""";
  }
}
