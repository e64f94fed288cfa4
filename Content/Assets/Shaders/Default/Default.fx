// What materials draw with. Diffuse (stage 0) x MaterialColor, lit by the ambient colour or, with L, by the
// light map (stage 6, second uv set); V adds up to 8 per-vertex lights, D up to 4 per-pixel lights (with B
// the normal map of stage 1 bends the normal, with S the specular map of stage 2 scales a Blinn highlight);
// G adds the glow map (stage 3) x GlowAmount, E the environment cube (stage 4) x EnvStrength, W the volume
// texture (stage 5) x EnvStrength; F mixes in linear fog from the shared fog values. Lights fade as
// saturate(1 - distance x range value), the range value being 1 / range. 3 (the second shader path) draws
// the same. Every state the render queue sets from the material (blend, alpha test, cull, fill, stencil,
// depth) is left to it.
effect "Shaders.Default.Default";
#include "Shared.fxh"
float4x4 WorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 PrevWorldMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 WorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4x4 PrevWorldViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float4 MaterialColor = {1, 1, 1, 1};
float MaterialStrength = 1;
float EnvStrength = 0.5;
float GlowAmount = 1;
float BumpIntensity = 1;
float3 StaticBumpVector = {0, 0, 1};
float StaticBumpIntensity = 0;
float SpecularPow = 16;
float MotionBlurFactor = 0;
float WaveSpeed = 0;
float NoiseSpeed = 0;
float NoiseScale = 1;
float NoiseIntensity = 0;

int WantPerPixelLightsCount = 4;
int WantPerPixelLightsCount30 = 4;
int WantPerVertexLightsCount = 8;
int WantPerVertexLightsCount30 = 8;
float4 PerPixelLightsPosition[4];
float4 PerPixelLightsColor[4];
float4 PerPixelLightsSpecularColor[4];
float PerPixelLightsRange[4];
float PerPixelLightsCount = 0;
float4 PerVertexLightsPosition[8];
float4 PerVertexLightsColor[8];
float PerVertexLightsRange[8];
float PerVertexLightsCount = 0;

sampler DiffuseMap : register(s0);
sampler NormalMap : register(s1);
sampler SpecularMap : register(s2);
sampler GlowMap : register(s3);
sampler EnvironmentMap : register(s4);
sampler VolumeMap : register(s5);
sampler LightMap : register(s6);

code MeshVertex = """
layout(location = WE_ATTR_POSITION) in vec3 inPosition;
layout(location = WE_ATTR_NORMAL) in vec3 inNormal;
layout(location = WE_ATTR_TEXCOORD0) in vec2 inUV;
layout(location = WE_ATTR_TANGENT) in vec3 inTangent;
layout(location = WE_ATTR_TEXCOORD1) in vec2 inLightUV;
uniform mat4 WorldMatrix;
uniform mat4 WorldViewProj;
#ifdef WE_VARIANT_V
uniform vec4 PerVertexLightsPosition[8];
uniform vec4 PerVertexLightsColor[8];
uniform float PerVertexLightsRange[8];
uniform float PerVertexLightsCount;
#endif
out vec2 uv;
out vec2 lightUV;
out vec3 worldPos;
out vec3 normal;
out vec3 tangent;
out vec3 vertexLight;
void main() {
  vec4 world = WorldMatrix * vec4(inPosition, 1.0);
  worldPos = world.xyz;
  normal = normalize((WorldMatrix * vec4(inNormal, 0.0)).xyz);
  tangent = (WorldMatrix * vec4(inTangent, 0.0)).xyz;
  uv = inUV;
  lightUV = inLightUV;
  vertexLight = vec3(0.0);
#ifdef WE_VARIANT_V
  for (int i = 0; i < 8; ++i) {
    if (float(i) >= PerVertexLightsCount) break;
    vec3 toLight = PerVertexLightsPosition[i].xyz - worldPos;
    float d = length(toLight);
    float fade = clamp(1.0 - d * PerVertexLightsRange[i], 0.0, 1.0);
    float lambert = d > 0.0 ? max(dot(normal, toLight / d), 0.0) : 1.0;
    vertexLight += PerVertexLightsColor[i].rgb * lambert * fade;
  }
#endif
  gl_Position = weClipFromD3D(WorldViewProj * vec4(inPosition, 1.0));
}
""";

code MeshFragment = """
in vec2 uv;
in vec2 lightUV;
in vec3 worldPos;
in vec3 normal;
in vec3 tangent;
in vec3 vertexLight;
out vec4 outColor;
uniform sampler2D DiffuseMap;
uniform vec4 MaterialColor;
uniform vec4 AmbientColor;
uniform vec3 CameraPosition;
#ifdef WE_VARIANT_L
uniform sampler2D LightMap;
#endif
#ifdef WE_VARIANT_B
uniform sampler2D NormalMap;
uniform float BumpIntensity;
#endif
#ifdef WE_VARIANT_S
uniform sampler2D SpecularMap;
#endif
#ifdef WE_VARIANT_D
uniform vec4 PerPixelLightsPosition[4];
uniform vec4 PerPixelLightsColor[4];
uniform vec4 PerPixelLightsSpecularColor[4];
uniform float PerPixelLightsRange[4];
uniform float PerPixelLightsCount;
uniform float SpecularPow;
#endif
#ifdef WE_VARIANT_G
uniform sampler2D GlowMap;
uniform float GlowAmount;
#endif
#if defined(WE_VARIANT_E) || defined(WE_VARIANT_W)
uniform float EnvStrength;
#endif
#ifdef WE_VARIANT_E
uniform samplerCube EnvironmentMap;
#endif
#ifdef WE_VARIANT_W
uniform sampler3D VolumeMap;
uniform float ElapsedTime;
#endif
#ifdef WE_VARIANT_F
uniform float FogStart;
uniform float FogInvEnd;
uniform float FogMin;
uniform float FogMax;
uniform vec3 FogColor;
#endif
void main() {
  vec4 diffuse = texture(DiffuseMap, uv) * MaterialColor;
  vec3 n = normalize(normal);
#ifdef WE_VARIANT_B
  vec3 t = tangent - n * dot(n, tangent);
  if (dot(t, t) > 0.0) {
    t = normalize(t);
    vec3 b = cross(n, t);
    vec3 bump = texture(NormalMap, uv).xyz * 2.0 - 1.0;
    bump.xy *= BumpIntensity;
    n = normalize(t * bump.x + b * bump.y + n * bump.z);
  }
#endif
  vec3 toEye = CameraPosition - worldPos;
  vec3 view = length(toEye) > 0.0 ? normalize(toEye) : vec3(0.0, 0.0, 1.0);
#ifdef WE_VARIANT_L
  vec3 light = texture(LightMap, lightUV).rgb;
#else
  vec3 light = AmbientColor.rgb;
#endif
  light += vertexLight;
  vec3 highlight = vec3(0.0);
#ifdef WE_VARIANT_D
  for (int i = 0; i < 4; ++i) {
    if (float(i) >= PerPixelLightsCount) break;
    vec3 toLight = PerPixelLightsPosition[i].xyz - worldPos;
    float d = length(toLight);
    vec3 dir = d > 0.0 ? toLight / d : n;
    float fade = clamp(1.0 - d * PerPixelLightsRange[i], 0.0, 1.0);
    light += PerPixelLightsColor[i].rgb * max(dot(n, dir), 0.0) * fade;
#ifdef WE_VARIANT_S
    vec3 halfway = normalize(dir + view);
    highlight += PerPixelLightsSpecularColor[i].rgb * pow(max(dot(n, halfway), 0.0), SpecularPow) * fade;
#endif
  }
#ifdef WE_VARIANT_S
  highlight *= texture(SpecularMap, uv).rgb;
#endif
#endif
  vec3 colour = diffuse.rgb * light + highlight;
#ifdef WE_VARIANT_G
  colour += texture(GlowMap, uv).rgb * GlowAmount;
#endif
#ifdef WE_VARIANT_E
  colour += texture(EnvironmentMap, reflect(-view, n)).rgb * EnvStrength;
#endif
#ifdef WE_VARIANT_W
  colour += texture(VolumeMap, vec3(uv, fract(ElapsedTime * 0.1))).rgb * EnvStrength;
#endif
#ifdef WE_VARIANT_F
  float fog = clamp((length(toEye) - FogStart) * FogInvEnd, FogMin, FogMax);
  colour = mix(colour, FogColor, clamp(fog, 0.0, 1.0));
#endif
  outColor = vec4(colour, diffuse.a);
  weAlphaTest(outColor.a);
}
""";

technique Default variants "3FDSBELVGW" {
  pass P0 {
    MinFilter[0] = Linear;
    MagFilter[0] = Linear;
    MipFilter[0] = Linear;
    MinFilter[1] = Linear;
    MagFilter[1] = Linear;
    MipFilter[1] = Linear;
    MinFilter[2] = Linear;
    MagFilter[2] = Linear;
    MipFilter[2] = Linear;
    MinFilter[3] = Linear;
    MagFilter[3] = Linear;
    MipFilter[3] = Linear;
    MinFilter[4] = Linear;
    MagFilter[4] = Linear;
    MipFilter[4] = Linear;
    MinFilter[5] = Linear;
    MagFilter[5] = Linear;
    MipFilter[5] = Linear;
    MinFilter[6] = Linear;
    MagFilter[6] = Linear;
    MipFilter[6] = None;
    AddressU[6] = Clamp;
    AddressV[6] = Clamp;
    VertexProgram = MeshVertex;
    FragmentProgram = MeshFragment;
  }
}
