#pragma once
#include <cstdint>
#include <vector>

// Encodes interleaved 16-bit PCM into an Ogg Vorbis file in memory. The output depends only on the
// samples and the parameters (a fixed stream serial number, no clock), so content is reproducible.
class WeOggWriter
{
public:
    // channels 1 to 8, quality -0.1 to 1.0 (libvorbisenc's VBR scale). False when the encoder
    // refuses the parameters.
    static bool Encode(const std::vector<int16_t>& interleaved, int32_t channels, int32_t rate, float quality,
                       std::vector<uint8_t>& out, int32_t serial = 0x57455344);
};
