#include "Engine/world/WeLightParams.h"

#include "Engine/foundation/WeFileStream.h"

void WeLightParams::Write(WeFileStream& stream) const
{
    stream.WriteInt32(RecordVersion);
    stream.WriteVector4(color);
    stream.WriteVector4(secondColor);
    stream.WriteFloat(intensity);
    stream.WriteFloat(secondIntensity);
    stream.WriteFloat(duration);
    for (float v : values)
        stream.WriteFloat(v);
}

void WeLightParams::Read(WeFileStream& stream)
{
    const int32_t version = stream.ReadInt32();
    if (version == 10 || version == 11)
    {
        stream.ReadVector4(color);
        stream.ReadVector4(secondColor);
        intensity = stream.ReadFloat();
        secondIntensity = stream.ReadFloat();
        duration = stream.ReadFloat();
        if (version == 11)
            for (float& v : values)
                v = stream.ReadFloat();
        return;
    }
    stream.Seek(-4, 1);
    stream.ReadVector4(color);
    stream.ReadVector4(secondColor);
    duration = stream.ReadFloat();
    intensity = stream.ReadFloat();
}
