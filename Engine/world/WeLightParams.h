#pragma once
#include <cstdint>

class WeFileStream;

// One key frame of a light's animation: two colours with their intensities, six further values the
// renderers read, and how long the key frame lasts. Everything is 1.0 until set.
struct WeLightParams
{
    static constexpr int32_t RecordVersion = 11;
    // Bytes of the smallest stored key frame (the unversioned layout), for count checks.
    static constexpr int64_t SmallestRecord = 40;

    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float secondColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float duration = 1.0f;
    float intensity = 1.0f;
    float secondIntensity = 1.0f;
    float values[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};

    void Write(WeFileStream& stream) const;
    // Versions 10 and 11, or an older record without a version (the first int is then stepped back over).
    void Read(WeFileStream& stream);
};
