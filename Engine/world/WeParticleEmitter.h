#pragma once
#include <cstdint>

class WeFileStream;

// One emitter of a particle system. Pairs are mean and spread: a drawn value lies uniformly within
// mean +- spread / 2. The 39 floats lie in record order.
struct WeParticleEmitter
{
    static constexpr int32_t RecordVersion = 3;
    static constexpr int32_t FloatCount = 39;
    // Bytes of the smallest stored emitter (version 1), for count checks.
    static constexpr int64_t SmallestRecord = 4 + 38 * 4;

    float duration = 0.0f;  // seconds; 0 or less: endless
    float rate[2] = {10.0f, 0.0f};
    float fadeIn[2] = {1.0f, 0.0f};
    float sustain[2] = {3.0f, 0.0f};
    float fadeOut[2] = {1.0f, 0.0f};
    float positionSpread[3] = {0.0f, 0.0f, 0.0f};
    float direction[3] = {0.0f, 1.0f, 0.0f};
    float directionSpread[3] = {0.0f, 0.0f, 0.0f};
    float speed[2] = {1.0f, 0.0f};
    float acceleration[3] = {0.0f, 0.0f, 0.0f};
    float rotation[2] = {0.0f, 0.0f};
    float rotationSpeed[2] = {0.0f, 0.0f};
    float startSize[2] = {1.0f, 0.0f};
    float endSize[2] = {1.0f, 0.0f};
    float startColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float endColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};

    float* Floats() { return &duration; }
    const float* Floats() const { return &duration; }

    void Write(WeFileStream& stream) const;
    // Versions 1 to 3 (after the absolute value); any other is read as 3.
    void Read(WeFileStream& stream);

    // The fields by name, for text sources: name, first float, float count.
    struct FieldInfo
    {
        const char* name;
        int32_t first;
        int32_t count;
    };
    static const FieldInfo Fields[];
    static const int32_t FieldCount;
};
