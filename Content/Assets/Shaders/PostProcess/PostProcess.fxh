// The screen quad every post-process pass draws: pre-transformed corners (x, y in pixels of the target, rhw)
// and one uv set.
code QuadVertex = """
layout(location = WE_ATTR_POSITION) in vec4 inPosition;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
out vec2 uv;
void main() {
  uv = inUV;
  gl_Position = weClipFromScreen(inPosition);
}
""";
