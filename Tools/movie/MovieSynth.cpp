#include "Tools/movie/MovieSynth.h"

#include "Tools/movie/MovieScene.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double Pi = 3.14159265358979323846;

double Frac(double v)
{
    return v - std::floor(v);
}

// Smooths the step of a saw or square wave over one sample, so that high notes do not alias.
double PolyBlep(double phase, double step)
{
    if (phase < step)
    {
        double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step)
    {
        double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Oscillator(MovieWave wave, double phase, double step)
{
    switch (wave)
    {
    case MovieWave::Sine: return std::sin(2.0 * Pi * phase);
    case MovieWave::Triangle: return 4.0 * std::fabs(phase - 0.5) - 1.0;
    case MovieWave::Saw: return 2.0 * phase - 1.0 - PolyBlep(phase, step);
    case MovieWave::Square:
        return (phase < 0.5 ? 1.0 : -1.0) + PolyBlep(phase, step) - PolyBlep(Frac(phase + 0.5), step);
    case MovieWave::Noise: break;
    }
    return 0.0;
}

// A two-pole low-pass filter that stays stable while its cut-off moves.
struct LowPass
{
    double ic1 = 0.0, ic2 = 0.0;
    double Run(double in, double cutoff, double rate)
    {
        const double g = std::tan(Pi * std::min(cutoff, rate * 0.45) / rate);
        const double k = 1.41421356;
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double a2 = g * a1;
        const double a3 = g * a2;
        const double v3 = in - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        return v2;
    }
};

}  // namespace

double MovieSynth::Envelope(const MovieVoice& voice, double time, double length)
{
    if (time < 0.0 || time > length)
        return 0.0;
    double level = voice.attack > 0.0 ? std::min(time / voice.attack, 1.0) : 1.0;
    if (voice.decay > 0.0 && time > voice.attack)
        level *= voice.sustain + (1.0 - voice.sustain) * std::exp(-5.0 * (time - voice.attack) / voice.decay);
    if (voice.release > 0.0)
    {
        double tail = std::clamp((length - time) / voice.release, 0.0, 1.0);
        level *= tail * tail;
    }
    return level;
}

std::vector<float> MovieSynth::Render(const MovieScript& script)
{
    if (script.sampleRate <= 0)
        return {};
    const double rate = script.sampleRate;
    const size_t frames = size_t(std::llround(double(script.FrameCount()) / script.rate * rate));
    std::vector<double> mix(frames * 2, 0.0);
    for (const MovieVoice& voice : script.voices)
    {
        const size_t first = size_t(std::llround(voice.start * rate));
        const size_t last = std::min(frames, size_t(std::llround(voice.end * rate)));
        const double length = voice.end - voice.start;
        // Each note is one oscillator, or two pulled apart by the detune for a wider sound.
        struct Osc
        {
            size_t note;
            double ratio;
            double phase;
        };
        std::vector<Osc> oscs;
        for (size_t n = 0; n < voice.freqs.size(); ++n)
        {
            if (voice.detune > 0.0)
            {
                const double spread = std::pow(2.0, voice.detune / 2400.0);
                oscs.push_back({n, spread, 0.0});
                oscs.push_back({n, 1.0 / spread, 0.37});
            }
            else
            {
                oscs.push_back({n, 1.0, 0.0});
            }
        }
        const double scale = oscs.empty() ? 1.0 : 1.0 / std::sqrt(double(oscs.size()));
        uint32_t noise = voice.seed * 2654435761u + 12345u;
        LowPass filter;
        for (size_t i = first; i < last; ++i)
        {
            const double t = double(i - first) / rate;
            const double u = length > 0.0 ? t / length : 0.0;
            double sample = 0.0;
            if (voice.wave == MovieWave::Noise)
            {
                noise = noise * 1664525u + 1013904223u;
                sample = double(noise >> 8) / 8388608.0 - 1.0;
            }
            else
            {
                for (Osc& osc : oscs)
                {
                    const double step = voice.freqs[osc.note].At(u) * osc.ratio / rate;
                    sample += Oscillator(voice.wave, osc.phase, step);
                    osc.phase = Frac(osc.phase + step);
                }
                sample *= scale;
            }
            const double cutoff = voice.cutoff.At(u);
            if (cutoff > 0.0)
                sample = filter.Run(sample, cutoff, rate);
            sample *= voice.gain.At(u) * Envelope(voice, t, length);
            const double angle = (std::clamp(voice.pan.At(u), -1.0, 1.0) + 1.0) * Pi / 4.0;
            mix[i * 2] += sample * std::cos(angle);
            mix[i * 2 + 1] += sample * std::sin(angle);
        }
    }

    // The sound fades with the picture.
    MovieScene scene(script);
    double peak = 0.0;
    for (size_t i = 0; i < frames; ++i)
    {
        const double brightness = scene.Brightness(double(i) / rate);
        for (int c = 0; c < 2; ++c)
        {
            mix[i * 2 + c] *= brightness;
            peak = std::max(peak, std::fabs(mix[i * 2 + c]));
        }
    }
    const double gain = peak > 1e-9 ? script.level / peak : 0.0;
    std::vector<float> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        out[i] = float(mix[i] * gain);
    return out;
}
