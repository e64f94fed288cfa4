#include "Engine/world/WeParticleEmitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "Engine/foundation/WeFileStream.h"

static_assert(std::is_standard_layout_v<WeParticleEmitter>);
static_assert(sizeof(WeParticleEmitter) == WeParticleEmitter::FloatCount * sizeof(float),
              "the emitter's floats are read and written as one array");

const WeParticleEmitter::FieldInfo WeParticleEmitter::Fields[] = {
    {"duration", 0, 1},   {"rate", 1, 2},           {"fadeIn", 3, 2},      {"sustain", 5, 2},
    {"fadeOut", 7, 2},    {"positionSpread", 9, 3}, {"direction", 12, 3},  {"directionSpread", 15, 3},
    {"speed", 18, 2},     {"acceleration", 20, 3},  {"rotation", 23, 2},   {"rotationSpeed", 25, 2},
    {"startSize", 27, 2}, {"endSize", 29, 2},       {"startColor", 31, 4}, {"endColor", 35, 4},
};
const int32_t WeParticleEmitter::FieldCount = static_cast<int32_t>(sizeof(Fields) / sizeof(Fields[0]));

void WeParticleEmitter::Write(WeFileStream& stream) const
{
    stream.WriteInt32(RecordVersion);
    const float* f = Floats();
    for (int32_t i = 0; i < FloatCount; ++i)
        stream.WriteFloat(f[i]);
}

void WeParticleEmitter::Read(WeFileStream& stream)
{
    const int32_t raw = stream.ReadInt32();
    const int32_t version = raw == INT32_MIN ? 3 : std::abs(raw);
    float* f = Floats();
    if (version != 1 && version != 2)
    {
        for (int32_t i = 0; i < FloatCount; ++i)
            f[i] = stream.ReadFloat();
        return;
    }
    for (int32_t i = 0; i <= 14; ++i)
        f[i] = stream.ReadFloat();
    if (version == 1)
    {
        const float spread = stream.ReadFloat();
        f[15] = f[16] = f[17] = spread;
    }
    else
        for (int32_t i = 15; i <= 17; ++i)
            f[i] = stream.ReadFloat();
    f[18] = stream.ReadFloat();
    f[19] = stream.ReadFloat();
    float direction[3];
    stream.ReadVector3(direction);
    const float magnitude = stream.ReadFloat();
    for (int32_t i = 0; i < 3; ++i)
        f[20 + i] = direction[i] * magnitude;
    for (int32_t i = 23; i < FloatCount; ++i)
        f[i] = stream.ReadFloat();
}
