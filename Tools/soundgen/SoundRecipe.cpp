#include "Tools/soundgen/SoundRecipe.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{
constexpr double Pi = 3.14159265358979323846;

bool ParseNumber(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> out;
    return !in.fail() && in.eof() && std::isfinite(out);
}

// "A4" = 440 Hz; C, D, E, F, G, A, B with an optional '#' or 'b' and an octave 0..8.
bool NoteFrequency(const std::string& note, double& out)
{
    static const int32_t semis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (note.size() < 2 || note[0] < 'A' || note[0] > 'G')
        return false;
    int32_t semitone = semis[note[0] - 'A'];
    size_t i = 1;
    if (note[i] == '#')
        ++semitone, ++i;
    else if (note[i] == 'b')
        --semitone, ++i;
    if (i + 1 != note.size() || note[i] < '0' || note[i] > '8')
        return false;
    const int32_t midi = 12 * (note[i] - '0' + 1) + semitone;
    out = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

// A small deterministic generator for noise (xorshift), seeded from the recipe and the layer.
struct Noise
{
    uint32_t state;
    double Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 4294967295.0) * 2.0 - 1.0;
    }
};

double Wave(const std::string& wave, double phase, Noise& noise)
{
    const double p = phase - std::floor(phase);
    if (wave == "sine")
        return std::sin(2.0 * Pi * p);
    if (wave == "saw")
        return 2.0 * p - 1.0;
    if (wave == "square")
        return p < 0.5 ? 1.0 : -1.0;
    if (wave == "triangle")
        return p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p;
    return noise.Next();
}
}  // namespace

bool SoundRecipe::Fail(int32_t line, const std::string& reason)
{
    m_Error = "line " + std::to_string(line) + ": " + reason;
    return false;
}

bool SoundRecipe::ParseLayerKey(Layer& layer, const std::string& key, const std::string& value, int32_t line)
{
    if (key == "wave")
    {
        if (value != "sine" && value != "saw" && value != "square" && value != "triangle" && value != "noise" &&
            value != "kick")
            return Fail(line, "unknown wave '" + value + "'");
        layer.wave = value;
        return true;
    }
    double v = 0.0;
    if (!ParseNumber(value, v) && !(key == "freq" || key == "to"))
        return Fail(line, "'" + key + "' needs a number, not '" + value + "'");
    if ((key == "freq" || key == "to") && !ParseNumber(value, v) && !NoteFrequency(value, v))
        return Fail(line, "'" + key + "' needs a frequency or a note, not '" + value + "'");
    if (key == "freq")
        layer.freq = v;
    else if (key == "to")
        layer.to = v;
    else if (key == "amp")
        layer.amp = v;
    else if (key == "start")
        layer.start = v;
    else if (key == "dur")
        layer.dur = v;
    else if (key == "attack")
        layer.attack = v;
    else if (key == "release")
        layer.release = v;
    else if (key == "pan")
        layer.pan = v;
    else if (key == "cutoff")
        layer.cutoff = v;
    else if (key == "cutoffto")
        layer.cutoffTo = v;
    else if (key == "voices")
        // Checked before the conversion: a number beyond int is no count at all.
        layer.voices = v >= 1.0 && v <= 8.0 ? static_cast<int32_t>(v) : 0;
    else if (key == "detune")
        layer.detune = v;
    else
        return Fail(line, "unknown key '" + key + "'");
    if (layer.freq <= 0.0 || layer.freq > 20000.0 || (layer.to != -1.0 && (layer.to <= 0.0 || layer.to > 20000.0)))
        return Fail(line, "frequencies lie in 0..20000 Hz");
    if (layer.start < 0.0 || layer.attack < 0.0 || layer.release < 0.0 || layer.cutoff < 0.0)
        return Fail(line, "times and cut-offs are not negative");
    // No sound is longer than 60 s; a longer time would only make the synthesis run for ever.
    if (layer.start > 60.0 || layer.attack > 60.0 || layer.release > 60.0 || layer.dur > 60.0)
        return Fail(line, "times lie in 0..60 s");
    if (layer.pan < -1.0 || layer.pan > 1.0)
        return Fail(line, "pan lies in -1..1");
    if (layer.voices < 1 || layer.voices > 8)
        return Fail(line, "voices lie in 1..8");
    return true;
}

bool SoundRecipe::Parse(const std::string& text)
{
    std::istringstream in(text);
    std::string raw;
    int32_t line = 0;
    bool haveSound = false;
    while (std::getline(in, raw))
    {
        ++line;
        const size_t hash = raw.find('#');
        if (hash != std::string::npos)
            raw.erase(hash);
        std::istringstream words(raw);
        std::string command;
        if (!(words >> command))
            continue;
        std::vector<std::pair<std::string, std::string>> keys;
        std::vector<std::string> notes;
        std::string word;
        bool inNotes = false;
        while (words >> word)
        {
            if (inNotes)
            {
                notes.push_back(word);
                continue;
            }
            if (word == "notes:")
            {
                inNotes = true;
                continue;
            }
            const size_t eq = word.find('=');
            if (eq == std::string::npos || eq == 0)
                return Fail(line, "expected key=value, not '" + word + "'");
            keys.emplace_back(word.substr(0, eq), word.substr(eq + 1));
        }
        if (command == "sound")
        {
            if (haveSound)
                return Fail(line, "a second 'sound' line");
            haveSound = true;
            for (const auto& [key, value] : keys)
            {
                double v = 0.0;
                if (!ParseNumber(value, v))
                    return Fail(line, "'" + key + "' needs a number, not '" + value + "'");
                // Whole numbers in range, checked before they are converted.
                if (key == "channels")
                    m_Channels = v == 1.0 || v == 2.0 ? static_cast<int32_t>(v) : 0;
                else if (key == "rate")
                    m_Rate = v == 22050.0 || v == 44100.0 ? static_cast<int32_t>(v) : 0;
                else if (key == "length")
                    m_Length = v;
                else if (key == "loop")
                    m_Loop = v != 0.0;
                else if (key == "level")
                    m_Level = v;
                else if (key == "seed")
                {
                    if (v < 0.0 || v > 4294967295.0 || v != std::floor(v))
                        return Fail(line, "seed is a whole number in 0..4294967295");
                    m_Seed = static_cast<uint32_t>(v);
                }
                else
                    return Fail(line, "unknown key '" + key + "'");
            }
            if (m_Channels != 1 && m_Channels != 2)
                return Fail(line, "channels is 1 or 2");
            if (m_Rate != 22050 && m_Rate != 44100)
                return Fail(line, "rate is 22050 or 44100");
            if (m_Length <= 0.0 || m_Length > 60.0)
                return Fail(line, "length lies in 0..60 s");
            if (m_Level > 0.0 || m_Level < -60.0)
                return Fail(line, "level lies in -60..0 dB");
            continue;
        }
        if (!haveSound)
            return Fail(line, "the first line is 'sound'");
        if (command == "tempo")
        {
            if (keys.size() != 1 || keys[0].first != "bpm" || !ParseNumber(keys[0].second, m_Bpm) || m_Bpm < 20.0 ||
                m_Bpm > 300.0)
                return Fail(line, "tempo takes bpm=20..300");
            continue;
        }
        if (command == "layer")
        {
            Layer layer;
            for (const auto& [key, value] : keys)
                if (!ParseLayerKey(layer, key, value, line))
                    return false;
            if (!notes.empty())
                return Fail(line, "a layer has no notes");
            m_Layers.push_back(layer);
            continue;
        }
        if (command == "pattern")
        {
            // One note per step, repeated to the end of the sound; '-' rests, 'x' plays freq.
            Layer base;
            double step = 1.0, gate = 0.9;
            for (const auto& [key, value] : keys)
            {
                double v = 0.0;
                if (key == "step" || key == "gate")
                {
                    if (!ParseNumber(value, v) || v <= 0.0 || v > 16.0)
                        return Fail(line, "'" + key + "' lies in 0..16");
                    // A 64th of a beat at the least: a smaller step would mean more notes than fit in an int.
                    if (key == "step" && v < 1.0 / 64.0)
                        return Fail(line, "'step' is at least 1/64 of a beat");
                    (key == "step" ? step : gate) = v;
                }
                else if (!ParseLayerKey(base, key, value, line))
                    return false;
            }
            if (notes.empty())
                return Fail(line, "a pattern needs 'notes:' and at least one note");
            const double stepSeconds = step * 60.0 / m_Bpm;
            const int32_t count = static_cast<int32_t>(std::floor(m_Length / stepSeconds + 1e-9));
            for (int32_t i = 0; i < count; ++i)
            {
                const std::string& note = notes[static_cast<size_t>(i) % notes.size()];
                if (note == "-")
                    continue;
                Layer layer = base;
                if (note != "x" && !NoteFrequency(note, layer.freq))
                    return Fail(line, "unknown note '" + note + "'");
                if (note != "x" && base.to != -1.0)
                    layer.to = layer.freq * base.to / base.freq;
                layer.start = i * stepSeconds;
                layer.dur = stepSeconds * gate;
                m_Layers.push_back(layer);
            }
            continue;
        }
        return Fail(line, "unknown command '" + command + "'");
    }
    if (!haveSound)
        return Fail(line, "no 'sound' line");
    if (m_Layers.empty())
        return Fail(line, "no layer or pattern");
    return true;
}

std::vector<int16_t> SoundRecipe::Render() const
{
    const int64_t frames = static_cast<int64_t>(std::llround(m_Length * m_Rate));
    std::vector<double> mix(static_cast<size_t>(frames) * m_Channels, 0.0);
    uint32_t layerIndex = 0;
    for (const Layer& layer : m_Layers)
    {
        ++layerIndex;
        const int64_t start = static_cast<int64_t>(std::llround(layer.start * m_Rate));
        const double durSeconds = layer.dur < 0.0 ? m_Length - layer.start : layer.dur;
        const int64_t length = static_cast<int64_t>(std::llround(durSeconds * m_Rate));
        const int64_t tail = static_cast<int64_t>(std::llround(layer.release * m_Rate));
        if (length <= 0)
            continue;
        // Looping sounds: a whole-length tone keeps whole cycles, so the loop point is seamless.
        double freq = layer.freq;
        const bool whole = m_Loop && layer.start == 0.0 && layer.dur < 0.0 && layer.to == -1.0;
        if (whole)
            freq = std::max(1.0, std::round(freq * m_Length)) / m_Length;
        Noise noise{m_Seed * 2654435761u + layerIndex * 40503u + 1u};
        // The filter runs one extra pass over a whole-length looping layer so its state wraps too.
        const int32_t passes = whole && layer.cutoff > 0.0 ? 2 : 1;
        std::vector<double> phases(static_cast<size_t>(layer.voices), 0.0);
        for (int32_t v = 0; v < layer.voices; ++v)
            phases[static_cast<size_t>(v)] = layer.voices > 1 ? static_cast<double>(v) / layer.voices : 0.0;
        double filtered = 0.0;
        double kickPhase = 0.0;
        const int64_t total = whole ? length : length + tail;
        for (int32_t pass = 0; pass < passes; ++pass)
        {
            for (int64_t i = 0; i < total; ++i)
            {
                const double t = static_cast<double>(i) / m_Rate;
                const double x = length > 1 ? std::min(1.0, static_cast<double>(i) / length) : 0.0;
                double f = layer.to == -1.0 ? freq : freq * std::pow(layer.to / freq, x);
                double value = 0.0;
                if (layer.wave == "kick")
                {
                    // A sine that falls from four times its pitch, fading fast: a thump.
                    f = freq * (1.0 + 3.0 * std::exp(-t * 40.0));
                    kickPhase += f / m_Rate;
                    value = std::sin(2.0 * Pi * kickPhase) * std::exp(-t * 12.0);
                }
                else
                {
                    for (int32_t v = 0; v < layer.voices; ++v)
                    {
                        const double cents =
                            layer.voices > 1 ? layer.detune * (static_cast<double>(v) / (layer.voices - 1) - 0.5) : 0.0;
                        double vf = f * std::pow(2.0, cents / 1200.0);
                        if (whole)
                            vf = std::max(1.0, std::round(vf * m_Length)) / m_Length;
                        value += Wave(layer.wave, phases[static_cast<size_t>(v)], noise);
                        phases[static_cast<size_t>(v)] += vf / m_Rate;
                    }
                    value /= layer.voices;
                }
                if (layer.cutoff > 0.0)
                {
                    const double c =
                        layer.cutoffTo < 0.0 ? layer.cutoff : layer.cutoff * std::pow(layer.cutoffTo / layer.cutoff, x);
                    const double a = 1.0 - std::exp(-2.0 * Pi * std::min(c, m_Rate * 0.45) / m_Rate);
                    filtered += a * (value - filtered);
                    value = filtered;
                }
                if (pass + 1 < passes)
                    continue;
                double envelope = 1.0;
                if (!whole)
                {
                    if (layer.attack > 0.0 && t < layer.attack)
                        envelope = t / layer.attack;
                    if (i >= length)
                        envelope *= tail > 0 ? 1.0 - static_cast<double>(i - length) / tail : 0.0;
                }
                value *= envelope * layer.amp;
                int64_t at = start + i;
                if (m_Loop)
                    at %= frames;
                else if (at >= frames)
                    break;
                if (m_Channels == 1)
                    mix[static_cast<size_t>(at)] += value;
                else
                {
                    // Constant-power pan.
                    const double angle = (layer.pan + 1.0) * Pi / 4.0;
                    mix[static_cast<size_t>(at) * 2] += value * std::cos(angle);
                    mix[static_cast<size_t>(at) * 2 + 1] += value * std::sin(angle);
                }
            }
        }
    }
    // Every sound at the same loudness, short of clipping.
    double sum = 0.0, peak = 0.0;
    for (double v : mix)
    {
        sum += v * v;
        peak = std::max(peak, std::fabs(v));
    }
    std::vector<int16_t> pcm(mix.size(), 0);
    if (mix.empty() || sum <= 0.0)
        return pcm;
    const double rms = std::sqrt(sum / mix.size());
    double scale = std::pow(10.0, m_Level / 20.0) / rms;
    if (peak * scale > 0.97)
        scale = 0.97 / peak;
    for (size_t i = 0; i < mix.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i] * scale, -1.0, 1.0) * 32767.0));
    return pcm;
}
