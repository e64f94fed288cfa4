#pragma once
#include "Tools/movie/MovieScript.h"

#include <vector>

// Renders a description's sound track: each voice's oscillators (or noise) through its envelope and
// low-pass filter, panned, summed, faded with the picture and normalised to the description's level.
class MovieSynth
{
public:
    // Interleaved stereo samples in -1..1 for the whole movie (FrameCount / rate seconds); empty without
    // a sound track.
    static std::vector<float> Render(const MovieScript& script);

    // A voice's envelope at `time` seconds into its span of `length` seconds.
    static double Envelope(const MovieVoice& voice, double time, double length);
};
