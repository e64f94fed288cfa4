weeffect 1
# The demo's quad: its texture, tinted, blended over what is below.
parameter texture BaseTexture
parameter float4 Tint = 1 1 1 1

technique Default
pass P0
state AlphaBlendEnable = true
state SrcBlend = 5
state DestBlend = 6
state CullMode = 1
sampler BaseSampler 0 BaseTexture
samplerstate 0 MinFilter = 2
samplerstate 0 MagFilter = 2
vertex
layout(location = 0) in vec4 aPosition;
layout(location = 5) in vec4 aColor;
layout(location = 9) in vec2 aTex0;
out vec4 vColor;
out vec2 vTex0;
void main() {
  gl_Position = weClipFromScreen(aPosition);
  vColor = aColor;
  vTex0 = aTex0;
}
endvertex
fragment
uniform sampler2D BaseSampler;
uniform vec4 Tint;
in vec4 vColor;
in vec2 vTex0;
out vec4 fragColor;
void main() {
  vec4 colour = texture(BaseSampler, vTex0) * vColor * Tint;
  weAlphaTest(colour.a);
  fragColor = colour;
}
endfragment
endpass
endtechnique
