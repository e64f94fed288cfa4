#include "Tools/movie/MovieScript.h"

#include <cmath>
#include <functional>
#include <locale>
#include <map>
#include <sstream>

namespace
{

// Descriptions are written by hand; limits keep a slip from asking for hours of encoding.
constexpr int MaxSide = 1920;
constexpr double MaxSeconds = 120.0;
constexpr int MaxCount = 2000;
constexpr size_t MaxText = 64;
constexpr size_t MaxStatements = 512;
constexpr size_t MaxFreqs = 16;

// strtod follows the process locale; descriptions are always read with a '.' for the decimal point.
bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty() || text.size() > 32)
        return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && in.eof() && std::isfinite(value);
}

bool ParseRange(const std::string& text, MovieRange& range)
{
    size_t dots = text.find("..");
    if (dots == std::string::npos)
    {
        if (!ParseNumber(text, range.from))
            return false;
        range.to = range.from;
        return true;
    }
    return ParseNumber(text.substr(0, dots), range.from) && ParseNumber(text.substr(dots + 2), range.to);
}

bool ParseColour(const std::string& text, MovieColour& colour)
{
    if (text.size() != 9 || text[0] != '#')
        return false;
    uint32_t value = 0;
    for (size_t i = 1; i < 9; ++i)
    {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0)
            return false;
        value = value << 4 | uint32_t(digit);
    }
    colour.a = float(value >> 24 & 255) / 255.0f;
    colour.r = float(value >> 16 & 255) / 255.0f;
    colour.g = float(value >> 8 & 255) / 255.0f;
    colour.b = float(value & 255) / 255.0f;
    return true;
}

bool ParseColourRange(const std::string& text, MovieColourRange& range)
{
    size_t dots = text.find("..");
    if (dots == std::string::npos)
    {
        if (!ParseColour(text, range.from))
            return false;
        range.to = range.from;
        return true;
    }
    return ParseColour(text.substr(0, dots), range.from) && ParseColour(text.substr(dots + 2), range.to);
}

bool ParseInt(const std::string& text, int low, int high, int& value)
{
    double number = 0.0;
    if (!ParseNumber(text, number) || number != std::floor(number) || number < low || number > high)
        return false;
    value = int(number);
    return true;
}

struct Statement
{
    std::string word;
    std::vector<std::pair<std::string, std::string>> pairs;
};

bool Split(const std::string& line, Statement& statement, std::string& why)
{
    std::istringstream in(line);
    in >> statement.word;
    std::string token;
    while (in >> token)
    {
        size_t equals = token.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == token.size())
        {
            why = "expected key=value, found \"" + token + "\"";
            return false;
        }
        std::string key = token.substr(0, equals);
        for (const auto& pair : statement.pairs)
            if (pair.first == key)
            {
                why = "\"" + key + "\" given twice";
                return false;
            }
        statement.pairs.emplace_back(key, token.substr(equals + 1));
    }
    return true;
}

// One key's reader: false when the value does not fit.
using Reader = std::function<bool(const std::string&)>;

bool Apply(const Statement& statement, const std::map<std::string, Reader>& readers, std::string& why)
{
    for (const auto& [key, value] : statement.pairs)
    {
        auto reader = readers.find(key);
        if (reader == readers.end())
        {
            why = "\"" + statement.word + "\" has no key \"" + key + "\"";
            return false;
        }
        if (!reader->second(value))
        {
            why = "bad value for \"" + key + "\": \"" + value + "\"";
            return false;
        }
    }
    return true;
}

bool Has(const Statement& statement, const char* key)
{
    for (const auto& pair : statement.pairs)
        if (pair.first == key)
            return true;
    return false;
}

Reader Number(double& out, double low, double high)
{
    return [&out, low, high](const std::string& v) { return ParseNumber(v, out) && out >= low && out <= high; };
}

Reader Range(MovieRange& out, double low, double high)
{
    return [&out, low, high](const std::string& v)
    { return ParseRange(v, out) && out.from >= low && out.from <= high && out.to >= low && out.to <= high; };
}

Reader Int(int& out, int low, int high)
{
    return [&out, low, high](const std::string& v) { return ParseInt(v, low, high, out); };
}

Reader Span(double& start, double& end)
{
    return [&start, &end](const std::string& v)
    {
        MovieRange span;
        if (!ParseRange(v, span) || span.from < 0.0 || span.to <= span.from)
            return false;
        start = span.from;
        end = span.to;
        return true;
    };
}

}  // namespace

MovieColour MovieColourRange::At(double u) const
{
    auto mix = [u](float a, float b) { return float(a + (b - a) * u); };
    return {mix(from.a, to.a), mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

int MovieScript::FrameCount() const
{
    return int(std::lround(seconds * rate));
}

bool MovieScript::Parse(const std::string& text, const std::string& name, std::string& error)
{
    *this = MovieScript();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool haveMovie = false;
    size_t statements = 0;
    auto fail = [&](const std::string& why)
    {
        error = name + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    while (std::getline(lines, line))
    {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';' || line[first] == '#')
            continue;
        if (++statements > MaxStatements)
            return fail("too many statements");
        Statement statement;
        std::string why;
        if (!Split(line, statement, why))
            return fail(why);
        const std::string& word = statement.word;
        if (word == "movie")
        {
            if (haveMovie)
                return fail("a second \"movie\" line");
            haveMovie = true;
            std::string size;
            int bitRate = 1000;
            std::map<std::string, Reader> readers = {
                {"size", [&size](const std::string& v) { return size = v, true; }},
                {"rate", Int(rate, 1, 120)},
                {"seconds", Number(seconds, 0.04, MaxSeconds)},
                {"kbits", Int(bitRate, 50, 20000)},
            };
            if (!Apply(statement, readers, why))
                return fail(why);
            size_t x = size.find('x');
            if (x == std::string::npos || !ParseInt(size.substr(0, x), 2, MaxSide, width) ||
                !ParseInt(size.substr(x + 1), 2, MaxSide, height) || width % 2 || height % 2)
                return fail("\"size\" must be WIDTHxHEIGHT, even and at most 1920");
            if (!Has(statement, "seconds"))
                return fail("\"movie\" needs \"seconds\"");
            if (FrameCount() < 1)
                return fail("shorter than one frame");
            videoBitRate = bitRate * 1000;
            continue;
        }
        if (!haveMovie)
            return fail("the first statement must be \"movie\"");
        if (word == "fade")
        {
            if (!Apply(statement, {{"in", Number(fadeIn, 0.0, seconds)}, {"out", Number(fadeOut, 0.0, seconds)}}, why))
                return fail(why);
            continue;
        }
        if (word == "sound")
        {
            sampleRate = 44100;
            if (!Apply(statement, {{"rate", Int(sampleRate, 8000, 96000)}, {"level", Number(level, 0.01, 1.0)}}, why))
                return fail(why);
            continue;
        }
        if (word == "tone" || word == "noise")
        {
            MovieVoice voice;
            voice.line = number;
            voice.wave = word == "noise" ? MovieWave::Noise : MovieWave::Sine;
            voice.start = 0.0;
            voice.end = seconds;
            int seed = 1;
            std::map<std::string, Reader> readers = {
                {"at", Span(voice.start, voice.end)},
                {"gain", Range(voice.gain, 0.0, 4.0)},
                {"pan", Range(voice.pan, -1.0, 1.0)},
                {"cutoff", Range(voice.cutoff, 0.0, 20000.0)},
                {"attack", Number(voice.attack, 0.0, MaxSeconds)},
                {"decay", Number(voice.decay, 0.0, MaxSeconds)},
                {"sustain", Number(voice.sustain, 0.0, 1.0)},
                {"release", Number(voice.release, 0.0, MaxSeconds)},
                {"seed", Int(seed, 0, 1 << 30)},
            };
            if (word == "tone")
            {
                readers["freq"] = [&voice](const std::string& v)
                {
                    std::istringstream parts(v);
                    std::string part;
                    while (std::getline(parts, part, ','))
                    {
                        MovieRange freq;
                        if (voice.freqs.size() >= MaxFreqs || !ParseRange(part, freq) || freq.from < 1.0 ||
                            freq.to < 1.0 || freq.from > 20000.0 || freq.to > 20000.0)
                            return false;
                        voice.freqs.push_back(freq);
                    }
                    return !voice.freqs.empty();
                };
                readers["detune"] = Number(voice.detune, 0.0, 100.0);
                readers["wave"] = [&voice](const std::string& v)
                {
                    static const std::map<std::string, MovieWave> waves = {{"sine", MovieWave::Sine},
                                                                           {"triangle", MovieWave::Triangle},
                                                                           {"saw", MovieWave::Saw},
                                                                           {"square", MovieWave::Square}};
                    auto found = waves.find(v);
                    return found != waves.end() && (voice.wave = found->second, true);
                };
            }
            if (!Apply(statement, readers, why))
                return fail(why);
            if (word == "tone" && voice.freqs.empty())
                return fail("\"tone\" needs \"freq\"");
            if (voice.end > seconds + 1e-9)
                return fail("\"at\" reaches past the end of the movie");
            voice.seed = uint32_t(seed);
            voices.push_back(voice);
            continue;
        }

        static const std::map<std::string, MovieLayerKind> kinds = {
            {"fill", MovieLayerKind::Fill},       {"gradient", MovieLayerKind::Gradient},
            {"rect", MovieLayerKind::Rect},       {"polygon", MovieLayerKind::Polygon},
            {"line", MovieLayerKind::Line},       {"tunnel", MovieLayerKind::Tunnel},
            {"streaks", MovieLayerKind::Streaks}, {"dots", MovieLayerKind::Dots},
            {"text", MovieLayerKind::Text},       {"footage", MovieLayerKind::Footage},
        };
        auto kind = kinds.find(word);
        if (kind == kinds.end())
            return fail("unknown statement \"" + word + "\"");
        MovieLayer layer;
        layer.kind = kind->second;
        layer.line = number;
        layer.start = 0.0;
        layer.end = seconds;
        int seed = 1;
        int ease = 0;
        std::string blend;
        std::map<std::string, Reader> readers = {
            {"at", Span(layer.start, layer.end)},
            {"fade", Number(layer.fade, 0.0, MaxSeconds)},
            {"ease", Int(ease, 0, 1)},
            {"blend", [&blend](const std::string& v) { return (v == "over" || v == "add") && (blend = v, true); }},
            {"colour", [&layer](const std::string& v) { return ParseColourRange(v, layer.colour); }},
            {"pulse", Number(layer.pulse, 0.0, MaxSeconds)},
            {"depth", Number(layer.pulseDepth, 0.0, 1.0)},
        };
        const double far = 100.0;  // positions and lengths, in frames
        auto shape = [&]
        {
            readers["x"] = Range(layer.x, -far, far);
            readers["y"] = Range(layer.y, -far, far);
            readers["angle"] = Range(layer.angle, -36000.0, 36000.0);
            readers["spin"] = Number(layer.spin, -3600.0, 3600.0);
            readers["glow"] = Range(layer.glow, 0.0, 1.0);
        };
        switch (layer.kind)
        {
        case MovieLayerKind::Fill: break;
        case MovieLayerKind::Gradient:
            readers.erase("colour");
            readers["from"] = [&layer](const std::string& v) { return ParseColourRange(v, layer.colour); };
            readers["to"] = [&layer](const std::string& v) { return ParseColourRange(v, layer.colour2); };
            readers["angle"] = Range(layer.angle, -36000.0, 36000.0);
            break;
        case MovieLayerKind::Rect:
            shape();
            readers["w"] = Range(layer.w, 0.0, far);
            readers["h"] = Range(layer.h, 0.0, far);
            readers["outline"] = Range(layer.outline, 0.0, far);
            break;
        case MovieLayerKind::Polygon:
            shape();
            readers["radius"] = Range(layer.radius, 0.0, far);
            readers["sides"] = Int(layer.sides, 0, 64);
            readers["outline"] = Range(layer.outline, 0.0, far);
            break;
        case MovieLayerKind::Line:
            readers["x1"] = Range(layer.x, -far, far);
            readers["y1"] = Range(layer.y, -far, far);
            readers["x2"] = Range(layer.x2, -far, far);
            readers["y2"] = Range(layer.y2, -far, far);
            readers["width"] = Range(layer.width, 0.0, far);
            readers["glow"] = Range(layer.glow, 0.0, 1.0);
            break;
        case MovieLayerKind::Tunnel:
            shape();
            readers["radius"] = Range(layer.radius, 0.0, far);
            readers["sides"] = Int(layer.sides, 0, 64);
            readers["count"] = Int(layer.count, 1, 64);
            readers["width"] = Range(layer.width, 0.0, far);
            readers["rate"] = Number(layer.rate, 0.0, 100.0);
            readers["twist"] = Range(layer.twist, -360.0, 360.0);
            break;
        case MovieLayerKind::Streaks:
        case MovieLayerKind::Dots:
            shape();
            readers["count"] = Int(layer.count, 1, MaxCount);
            readers["rate"] = Number(layer.rate, 0.0, 100.0);
            readers["width"] = Range(layer.width, 0.0, far);
            readers["length"] = Range(layer.length, 0.0, far);
            readers["radius"] = Range(layer.radius, 0.0, far);
            readers["seed"] = Int(seed, 0, 1 << 30);
            break;
        case MovieLayerKind::Footage:
            // The layer's text is its folder.
            readers["dir"] = [&layer](const std::string& v) { return !v.empty() && (layer.text = v, true); };
            break;
        case MovieLayerKind::Text:
            shape();
            readers["size"] = Range(layer.size, 0.0, far);
            readers["gap"] = Range(layer.gap, 0.0, 0.5);
            readers["string"] = [&layer](const std::string& v)
            {
                if (v.size() > MaxText)
                    return false;
                // '_' stands for a blank, since blanks separate the pairs.
                layer.text = v;
                for (char& c : layer.text)
                    if (c == '_')
                        c = ' ';
                return true;
            };
            break;
        }
        if (!Apply(statement, readers, why))
            return fail(why);
        if (layer.kind == MovieLayerKind::Text && layer.text.empty())
            return fail("\"text\" needs \"string\"");
        if (layer.end > seconds + 1e-9)
            return fail("\"at\" reaches past the end of the movie");
        layer.seed = uint32_t(seed);
        layer.ease = ease != 0;
        layer.blend = blend == "add" ? MovieBlend::Add : MovieBlend::Over;
        layers.push_back(layer);
    }
    if (!haveMovie)
    {
        number = 0;
        return fail("no \"movie\" line");
    }
    if (fadeIn + fadeOut > seconds + 1e-9)
    {
        number = 0;
        return fail("the fades are longer than the movie");
    }
    if (sampleRate == 0 && !voices.empty())
    {
        number = voices.front().line;
        return fail("a voice without a \"sound\" line");
    }
    return true;
}
