// The parameters every effect shares through the effect pool: set once per frame (camera, fog, ambient,
// post-processing values) and seen by all. Effects that name one of them include this file, so the types
// agree everywhere (the pool refuses a mismatch).
shared float ElapsedTime;
shared float FogStart;
shared float FogInvEnd;
shared float FogMin;
shared float FogMax = 1;
shared float PixelMotionBlurFactor;
shared float RadialBlurStrength;
shared float BloomScale = 1;
shared float RefractionSpeed;
shared float RefractionStrength;
shared float ResWidth = 1024;
shared float ResHeight = 768;
shared float MaxCoC;
shared float FocalDist;
shared float FocalRange;
shared float3 CameraPosition;
shared float3 CameraDirection = {0, 0, 1};
shared float3 FogColor;
shared float3 ProjectorPosition;
shared float3 ProjectorDirection = {0, 0, 1};
shared float4 AmbientColor = {0.05, 0.05, 0.05, 1};
shared float4x4 ViewMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 Projection = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 ViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 PrevViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 InvViewMulPrevViewProj = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 TextureAnimation = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
shared float4x4 ProjectorMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
