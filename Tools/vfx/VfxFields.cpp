#include "Tools/vfx/VfxFields.h"

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

namespace VfxFields
{
namespace
{

bool ParseFloat(const std::string& word, float& out)
{
    if (word.empty())
        return false;
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    if (in.fail() || !in.eof() || !std::isfinite(value) || std::fabs(value) > 3.0e38)
        return false;
    out = static_cast<float>(value);
    return true;
}

bool Floats(const std::string& key, const Words& value, float* out, size_t count, std::string& error)
{
    if (value.size() != count)
    {
        error = key + " takes " + std::to_string(count) + (count == 1 ? " number" : " numbers");
        return false;
    }
    for (size_t i = 0; i < count; ++i)
        if (!ParseFloat(value[i], out[i]))
        {
            error = key + ": not a number: " + value[i];
            return false;
        }
    return true;
}

bool Int(const std::string& key, const Words& value, int32_t low, int32_t high, int32_t& out, std::string& error)
{
    float f = 0.0f;
    if (!Floats(key, value, &f, 1, error))
        return false;
    if (f != std::floor(f) || f < static_cast<float>(low) || f > static_cast<float>(high))
    {
        error = key + ": a whole number from " + std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    out = static_cast<int32_t>(f);
    return true;
}

bool Bool(const std::string& key, const Words& value, bool& out, std::string& error)
{
    if (value.size() != 1 || (value[0] != "0" && value[0] != "1"))
    {
        error = key + " is 0 or 1";
        return false;
    }
    out = value[0] == "1";
    return true;
}

bool Name(const std::string& key, const Words& value, WeString& out, std::string& error)
{
    if (value.size() > 1)
    {
        error = key + " takes one name";
        return false;
    }
    out = value.empty() ? "" : value[0].c_str();
    return true;
}

// The shortest text that reads back as the same float.
std::string Number(float v)
{
    std::string text;
    for (int precision = 6; precision <= 9; ++precision)
    {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        out.precision(precision);
        out << v;
        text = out.str();
        float back = 0.0f;
        if (ParseFloat(text, back) && back == v)
            break;
    }
    return text;
}

std::string List(const float* v, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i)
        s += (i ? " " : "") + Number(v[i]);
    return s;
}

std::string Line(const std::string& key, const std::string& value)
{
    return key + "=" + value + "\n";
}

// One ini-like source: sections and key=value lines; ';' and '#' start comments.
struct SourceLine
{
    int number;
    std::string section;  // set on a section line
    std::string key;
    Words value;
};

bool ReadSource(const std::string& text, const std::string& file, std::vector<SourceLine>& out, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line))
    {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';' || line[first] == '#')
            continue;
        line = line.substr(first);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        SourceLine entry{number, "", "", {}};
        if (line[0] == '[')
        {
            if (line.back() != ']' || line.size() < 3)
            {
                error = file + ":" + std::to_string(number) + ": malformed section: " + line;
                return false;
            }
            entry.section = line.substr(1, line.size() - 2);
        }
        else
        {
            const size_t equals = line.find('=');
            if (equals == std::string::npos || equals == 0 || line[equals - 1] == ' ')
            {
                error = file + ":" + std::to_string(number) + ": expected key=value: " + line;
                return false;
            }
            entry.key = line.substr(0, equals);
            std::istringstream words(line.substr(equals + 1));
            std::string word;
            while (words >> word)
                entry.value.push_back(word);
        }
        out.push_back(entry);
    }
    return true;
}

// "Emitter3" with prefix "Emitter" gives 3; 0 when the name is not of that form.
int Numbered(const std::string& section, const std::string& prefix)
{
    if (section.compare(0, prefix.size(), prefix) != 0 || section.size() == prefix.size() ||
        section.size() > prefix.size() + 4)
        return 0;
    int n = 0;
    for (size_t i = prefix.size(); i < section.size(); ++i)
    {
        if (section[i] < '0' || section[i] > '9')
            return 0;
        n = n * 10 + (section[i] - '0');
    }
    return n;
}

}  // namespace

bool IsKeyFrameField(const std::string& key)
{
    return key == "color" || key == "secondColor" || key == "duration" || key == "intensity" ||
           key == "secondIntensity" || key == "values";
}

bool IsEmitterField(const std::string& key)
{
    for (int32_t i = 0; i < WeParticleEmitter::FieldCount; ++i)
        if (key == WeParticleEmitter::Fields[i].name)
            return true;
    return false;
}

bool ApplyLight(WeLight& l, const std::string& key, const Words& v, std::string& error)
{
    if (key == "dynamic")
        return Bool(key, v, l.m_Dynamic, error);
    if (key == "kind")
        return Int(key, v, 1, 2, l.m_Kind, error);
    if (key == "loop")
        return Bool(key, v, l.m_Loop, error);
    if (key == "kind2")
        return Bool(key, v, l.m_Kind2, error);
    if (key == "range")
        return Floats(key, v, &l.m_Range, 1, error);
    if (key == "fov")
        return Floats(key, v, &l.m_ProjectorFov, 1, error);
    if (key == "secondAngle")
        return Floats(key, v, &l.m_SecondAngle, 1, error);
    if (key == "interpolate")
        return Bool(key, v, l.m_Interpolate, error);
    if (key == "projector")
        return Bool(key, v, l.m_Projector, error);
    if (key == "omniProjector")
        return Bool(key, v, l.m_OmniProjector, error);
    if (key == "projectorMaterial")
        return Name(key, v, l.m_ProjectorMaterialName, error);
    if (key == "flare")
        return Bool(key, v, l.m_Flare, error);
    if (key == "flareRings")
        return Bool(key, v, l.m_FlareRings, error);
    if (key == "flareValues")
        return Floats(key, v, l.m_FlareValues, 4, error);
    if (key == "flareTexture")
        return Name(key, v, l.m_FlareTextureName, error);
    if (key.size() == 5 && key.compare(0, 4, "ring") == 0 && key[4] >= '1' && key[4] <= '5')
        return Name(key, v, l.m_RingTextureNames[key[4] - '1'], error);
    if (key == "flareFadeTimes")
        return Floats(key, v, l.m_FlareFadeTimes, 2, error);
    if (key == "flareFlags")
    {
        if (v.size() != 3)
        {
            error = "flareFlags takes three 0 or 1";
            return false;
        }
        for (int i = 0; i < 3; ++i)
            if (!Bool(key, {v[static_cast<size_t>(i)]}, l.m_FlareFlags[i], error))
                return false;
        return true;
    }
    if (key == "setting1")
        return Floats(key, v, &l.m_LightSetting1, 1, error);
    if (key == "setting2")
        return Floats(key, v, &l.m_LightSetting2, 1, error);
    if (key == "setting3")
        return Floats(key, v, &l.m_LightSetting3, 1, error);
    error = "unknown light key " + key;
    return false;
}

bool ApplyKeyFrame(WeLightParams& f, const std::string& key, const Words& v, std::string& error)
{
    if (key == "color")
        return Floats(key, v, f.color, 4, error);
    if (key == "secondColor")
        return Floats(key, v, f.secondColor, 4, error);
    if (key == "duration")
        return Floats(key, v, &f.duration, 1, error);
    if (key == "intensity")
        return Floats(key, v, &f.intensity, 1, error);
    if (key == "secondIntensity")
        return Floats(key, v, &f.secondIntensity, 1, error);
    if (key == "values")
        return Floats(key, v, f.values, 6, error);
    error = "unknown key-frame key " + key;
    return false;
}

bool ApplySystem(WeNewParticleSystem& s, const std::string& key, const Words& v, std::string& error)
{
    if (key == "material")
        return Name(key, v, s.m_MaterialName, error);
    if (key == "radius")
        return Floats(key, v, &s.m_BoundingRadius, 1, error);
    if (key == "velocityAligned")
        return Bool(key, v, s.m_VelocityAligned, error);
    if (key == "localSpace")
        return Bool(key, v, s.m_LocalSpace, error);
    if (key == "targetCount")
        return Int(key, v, 0, WeNewParticleSystem::MaxLiveParticles, s.m_TargetCount, error);
    if (key == "setting")
        return Int(key, v, -2147483647, 2147483647, s.m_Setting, error);
    error = "unknown system key " + key;
    return false;
}

bool ApplyEmitter(WeParticleEmitter& e, const std::string& key, const Words& v, std::string& error)
{
    for (int32_t i = 0; i < WeParticleEmitter::FieldCount; ++i)
    {
        const WeParticleEmitter::FieldInfo& field = WeParticleEmitter::Fields[i];
        if (key == field.name)
            return Floats(key, v, e.Floats() + field.first, static_cast<size_t>(field.count), error);
    }
    error = "unknown emitter key " + key;
    return false;
}

bool CheckEmitter(const WeParticleEmitter& e, std::string& error)
{
    // A particle whose opacity is 0.0001 or less dies: with no start alpha it would never be seen.
    if (!(e.startColor[3] > 0.0001f))
    {
        error = "startColor alpha must be above 0";
        return false;
    }
    return true;
}

bool ParseParticleSource(const std::string& text, const std::string& file, WeNewParticleSystem& out, std::string& error)
{
    std::vector<SourceLine> lines;
    if (!ReadSource(text, file, lines, error))
        return false;
    const auto fail = [&](int line, const std::string& message)
    {
        error = file + ":" + std::to_string(line) + ": " + message;
        return false;
    };
    std::string section;
    int emitters = 0;
    int emitterLine = 0;
    bool sawSystem = false;
    WeList<WeParticleEmitter> parsed;
    std::string message;
    for (const SourceLine& l : lines)
    {
        if (!l.section.empty())
        {
            if (emitters > 0 && !CheckEmitter(parsed.Back(), message))
                return fail(emitterLine, message);
            section = l.section;
            if (section == "System")
            {
                if (sawSystem || emitters > 0)
                    return fail(l.number, "[System] comes once, first");
                sawSystem = true;
                continue;
            }
            const int n = Numbered(section, "Emitter");
            if (n == 0)
                return fail(l.number, "unknown section [" + section + "]");
            if (n != emitters + 1)
                return fail(l.number, "expected [Emitter" + std::to_string(emitters + 1) + "]");
            if (n > MaxEmitters)
                return fail(l.number, "at most " + std::to_string(MaxEmitters) + " emitters");
            ++emitters;
            emitterLine = l.number;
            parsed.PushBack(WeParticleEmitter());
            continue;
        }
        if (section.empty())
            return fail(l.number, "a key before the first section");
        const bool ok = section == "System" ? ApplySystem(out, l.key, l.value, message)
                                            : ApplyEmitter(parsed.Back(), l.key, l.value, message);
        if (!ok)
            return fail(l.number, message);
    }
    if (emitters > 0 && !CheckEmitter(parsed.Back(), message))
        return fail(emitterLine, message);
    if (!sawSystem)
        return fail(lines.empty() ? 1 : lines.back().number, "missing [System]");
    out.m_Emitters.Clear();
    for (const WeParticleEmitter& e : parsed)
        out.m_Emitters.PushBack(e);
    return true;
}

bool ParseLightSource(const std::string& text, const std::string& file, WeLight& out, std::string& error)
{
    std::vector<SourceLine> lines;
    if (!ReadSource(text, file, lines, error))
        return false;
    const auto fail = [&](int line, const std::string& message)
    {
        error = file + ":" + std::to_string(line) + ": " + message;
        return false;
    };
    std::string section;
    int frames = 0;
    bool sawLight = false;
    WeList<WeLightParams> parsed;
    std::string message;
    for (const SourceLine& l : lines)
    {
        if (!l.section.empty())
        {
            section = l.section;
            if (section == "Light")
            {
                if (sawLight || frames > 0)
                    return fail(l.number, "[Light] comes once, first");
                sawLight = true;
                continue;
            }
            const int n = Numbered(section, "KeyFrame");
            if (n == 0)
                return fail(l.number, "unknown section [" + section + "]");
            if (n != frames + 1)
                return fail(l.number, "expected [KeyFrame" + std::to_string(frames + 1) + "]");
            if (n > MaxKeyFrames)
                return fail(l.number, "at most " + std::to_string(MaxKeyFrames) + " key frames");
            ++frames;
            parsed.PushBack(WeLightParams());
            continue;
        }
        if (section.empty())
            return fail(l.number, "a key before the first section");
        const bool ok = section == "Light" ? ApplyLight(out, l.key, l.value, message)
                                           : ApplyKeyFrame(parsed.Back(), l.key, l.value, message);
        if (!ok)
            return fail(l.number, message);
    }
    if (!sawLight)
        return fail(lines.empty() ? 1 : lines.back().number, "missing [Light]");
    out.ClearKeyFrames();
    for (const WeLightParams& f : parsed)
        out.AddKeyFrame(f);
    return true;
}

std::string DescribeSystem(WeNewParticleSystem& s)
{
    std::string out = "[System]\n";
    out += Line("material", s.m_MaterialName.c_str());
    out += Line("radius", Number(s.m_BoundingRadius));
    out += Line("velocityAligned", s.m_VelocityAligned ? "1" : "0");
    out += Line("localSpace", s.m_LocalSpace ? "1" : "0");
    out += Line("targetCount", std::to_string(s.m_TargetCount));
    out += Line("setting", std::to_string(s.m_Setting));
    int n = 0;
    for (const WeParticleEmitter& e : s.m_Emitters)
    {
        out += "[Emitter" + std::to_string(++n) + "]\n";
        for (int32_t i = 0; i < WeParticleEmitter::FieldCount; ++i)
        {
            const WeParticleEmitter::FieldInfo& f = WeParticleEmitter::Fields[i];
            out += Line(f.name, List(e.Floats() + f.first, f.count));
        }
    }
    return out;
}

std::string DescribeLight(WeLight& l)
{
    const auto flag = [](bool b) { return std::string(b ? "1" : "0"); };
    std::string out = "[Light]\n";
    out += Line("dynamic", flag(l.m_Dynamic));
    out += Line("kind", std::to_string(l.m_Kind));
    out += Line("loop", flag(l.m_Loop));
    out += Line("kind2", flag(l.m_Kind2));
    out += Line("range", Number(l.m_Range));
    out += Line("fov", Number(l.m_ProjectorFov));
    out += Line("secondAngle", Number(l.m_SecondAngle));
    out += Line("interpolate", flag(l.m_Interpolate));
    out += Line("projector", flag(l.m_Projector));
    out += Line("omniProjector", flag(l.m_OmniProjector));
    out += Line("projectorMaterial", l.m_ProjectorMaterialName.c_str());
    out += Line("flare", flag(l.m_Flare));
    out += Line("flareRings", flag(l.m_FlareRings));
    out += Line("flareValues", List(l.m_FlareValues, 4));
    out += Line("flareTexture", l.m_FlareTextureName.c_str());
    for (int i = 0; i < WeLight::RingCount; ++i)
        out += Line("ring" + std::to_string(i + 1), l.m_RingTextureNames[i].c_str());
    out += Line("flareFadeTimes", List(l.m_FlareFadeTimes, 2));
    out += Line("flareFlags", flag(l.m_FlareFlags[0]) + " " + flag(l.m_FlareFlags[1]) + " " + flag(l.m_FlareFlags[2]));
    out += Line("setting1", Number(l.m_LightSetting1));
    out += Line("setting2", Number(l.m_LightSetting2));
    out += Line("setting3", Number(l.m_LightSetting3));
    int n = 0;
    for (const WeLightParams& f : l.m_KeyFrames)
    {
        out += "[KeyFrame" + std::to_string(++n) + "]\n";
        out += Line("color", List(f.color, 4));
        out += Line("secondColor", List(f.secondColor, 4));
        out += Line("duration", Number(f.duration));
        out += Line("intensity", Number(f.intensity));
        out += Line("secondIntensity", Number(f.secondIntensity));
        out += Line("values", List(f.values, 6));
    }
    return out;
}

}  // namespace VfxFields
