#pragma once
// Writes a material file of any version, field by field, the way each old layout stored it.
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeString.h"

struct MaterialFileFields
{
    int32_t sortMode = 0;
    int32_t legacyBlend = 0;
    int32_t sourceBlend = 5;
    int32_t destinationBlend = 6;
    int32_t reflective = 0;
    uint8_t lit = 1, stencil = 0, twoSided = 0, wireframe = 0, noise = 0;
    WeString shader = "Shaders.Default.Default";
    WeString textures[6];
    int32_t animationMode = 0;
    float p[4] = {0, 0, 0, 0};
    float lastTime = 0;
    float materialStrength = 1, environmentStrength = 0, glow = 0;
    float color[4] = {1, 1, 1, 1};
    float bump = 2.5f, staticBump[3] = {15, 15, 10}, staticBumpIntensity = 1, specular = 4;
    int32_t alphaReference = 0;
    int32_t trailing = 2;
    float noiseValues[4] = {0, 0, 0, 0};
};

inline void WriteMaterialFile(WeFileStream& s, int32_t version, const MaterialFileFields& f)
{
    auto list = [&](int count, int ignored)
    {
        s.WriteString(f.shader);
        for (int i = 0; i < count; ++i)
            s.WriteString(f.textures[i]);
        for (int i = 0; i < ignored; ++i)
            s.WriteString("ignored");
    };
    auto block1 = [&](bool pair)
    {
        s.WriteInt32(f.animationMode);
        for (float v : f.p)
            s.WriteFloat(v);
        s.WriteFloat(f.lastTime);
        s.WriteFloat(f.materialStrength);
        s.WriteFloat(f.environmentStrength);
        if (pair)
        {
            s.WriteFloat(-7.0f);
            s.WriteFloat(-7.0f);
        }
        s.WriteVector4(f.color);
    };
    auto flags = [&]()
    {
        s.WriteByte(char(f.lit));
        s.WriteByte(char(0x55));
        s.WriteByte(char(f.stencil));
    };
    if (version < 10)
    {
        s.WriteInt32(f.sortMode);
        s.WriteInt32(f.reflective);
        list(5, 11);
        block1(true);
        return;
    }
    s.WriteInt32(version);
    if (version <= 19)
    {
        s.WriteInt32(f.sortMode);
        s.WriteInt32(f.legacyBlend);
        s.WriteInt32(f.reflective);
        if (version == 11 || version == 12)
            s.WriteByte(char(f.lit));
        else if (version >= 13)
            flags();
        if (version >= 15)
            s.WriteByte(char(f.twoSided));
        list(5, 11);
        block1(true);
        if (version >= 12)
        {
            s.WriteFloat(f.bump);
            s.WriteFloat(f.specular);
        }
        if (version >= 14)
            s.WriteInt32(f.alphaReference);
        if (version >= 16 && version <= 18)
            s.WriteByte(char(0x55));
        if (version >= 17)
            s.WriteInt32(f.trailing);
        if (version == 18)
            s.WriteByte(char(0x55));
        return;
    }
    s.WriteInt32(f.sortMode);
    s.WriteInt32(f.sourceBlend);
    s.WriteInt32(f.destinationBlend);
    s.WriteInt32(f.reflective);
    flags();
    s.WriteByte(char(f.twoSided));
    list(version >= 24 ? 6 : 5, version <= 21 ? 11 : 0);
    s.WriteInt32(f.animationMode);
    for (float v : f.p)
        s.WriteFloat(v);
    s.WriteFloat(f.lastTime);
    s.WriteFloat(f.materialStrength);
    s.WriteFloat(f.environmentStrength);
    if (version >= 23)
        s.WriteFloat(f.glow);
    s.WriteVector4(f.color);
    s.WriteFloat(f.bump);
    if (version >= 25)
        s.WriteVector3(f.staticBump);
    if (version >= 26)
        s.WriteFloat(f.staticBumpIntensity);
    s.WriteFloat(f.specular);
    s.WriteInt32(f.alphaReference);
    if (version >= 27)
        s.WriteByte(char(f.wireframe));
    s.WriteInt32(f.trailing);
    if (version >= 24)
    {
        s.WriteByte(char(f.noise));
        for (float v : f.noiseValues)
            s.WriteFloat(v);
    }
}
