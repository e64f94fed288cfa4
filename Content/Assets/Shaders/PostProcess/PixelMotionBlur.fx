// Camera and object motion blur. Reads the scene (stage 0) and the velocity pass's target (stage 7: view
// depth in red, the object's MotionBlurFactor in green; 0 where nothing was drawn, taken as far away). The
// pixel's view-space point goes through InvViewMulPrevViewProj to where it was on screen a moment ago; the
// scene is averaged along that motion, scaled by PixelMotionBlurFactor plus the object's own factor.
effect "Shaders.PostProcess.PixelMotionBlur";
#include "Shared.fxh"
#include "PostProcess.fxh"
sampler SceneMap : register(s0);
sampler DepthMap : register(s7);

technique Default {
  pass P0 {
    VertexProgram = QuadVertex;
    FragmentProgram = """
in vec2 uv;
out vec4 outColor;
uniform sampler2D SceneMap;
uniform sampler2D DepthMap;
uniform mat4 Projection;
uniform mat4 InvViewMulPrevViewProj;
uniform float PixelMotionBlurFactor;
void main() {
  vec2 stored = texture(DepthMap, uv).rg;
  float depth = stored.r > 0.0 ? stored.r : 10000.0;
  vec2 ndc = vec2(uv.x * 2.0 - 1.0, 1.0 - uv.y * 2.0);
  vec3 view = vec3(ndc.x / Projection[0][0], ndc.y / Projection[1][1], 1.0) * depth;
  vec4 previous = InvViewMulPrevViewProj * vec4(view, 1.0);
  vec2 motion = vec2(0.0);
  if (previous.w > 0.0001) {
    vec2 before = previous.xy / previous.w;
    vec2 beforeUV = vec2(before.x * 0.5 + 0.5, 0.5 - before.y * 0.5);
    motion = (uv - beforeUV) * clamp(PixelMotionBlurFactor + stored.g, 0.0, 4.0);
  }
  motion = clamp(motion, vec2(-0.1), vec2(0.1));
#ifdef WE_FAST_PATH
  // As many taps as the motion's length needs, spread evenly over the same line: under a sixteenth of a pixel
  // the first stands for all; below one and a half pixels three or five taps, no more than 3/8 of a pixel
  // apart, average what eight would within a level or two; longer motion takes all eight. A loop that ends
  // early, not a branch: the rasteriser runs both sides of a branch under a mask, but leaves a loop once no
  // pixel of the block wants another turn.
  vec2 span = abs(motion) * vec2(textureSize(SceneMap, 0));
  float reach = max(span.x, span.y);
  int taps = reach < 0.0625 ? 1 : reach < 0.5 ? 3 : reach < 1.5 ? 5 : 8;
  vec3 sum = texture(SceneMap, uv).rgb;
  for (int i = 1; i < taps; ++i)
    sum += texture(SceneMap, uv - motion * float(i) / float(taps - 1)).rgb;
  outColor = vec4(sum / float(taps), 1.0);
#else
  vec3 sum = vec3(0.0);
  for (int i = 0; i < 8; ++i)
    sum += texture(SceneMap, uv - motion * float(i) / 7.0).rgb;
  outColor = vec4(sum / 8.0, 1.0);
#endif
  weAlphaTest(outColor.a);
}
""";
  }
}
