#include "Tools/content/ContentMaterialWriter.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Tools/content/ContentIniReader.h"

namespace
{

struct BlendName
{
    const char* name;
    int32_t value;
};

// D3DBLEND values by their names without the prefix.
const BlendName BlendNames[] = {
    {"ZERO", 1},         {"ONE", 2},           {"SRCCOLOR", 3},         {"INVSRCCOLOR", 4},  {"SRCALPHA", 5},
    {"INVSRCALPHA", 6},  {"DESTALPHA", 7},     {"INVDESTALPHA", 8},     {"DESTCOLOR", 9},    {"INVDESTCOLOR", 10},
    {"SRCALPHASAT", 11}, {"BOTHSRCALPHA", 12}, {"BOTHINVSRCALPHA", 13}, {"BLENDFACTOR", 14}, {"INVBLENDFACTOR", 15},
};

// Numbers are read in the C locale whatever the process's locale is: from_chars never looks at it.
bool ParseFloat(const std::string& text, float* out)
{
    if (text.empty())
        return false;
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    float v = 0.0f;
    std::from_chars_result r = std::from_chars(begin, end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

bool ParseInt(const std::string& text, int32_t lo, int32_t hi, int32_t* out)
{
    if (text.empty())
        return false;
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    int32_t v = 0;
    std::from_chars_result r = std::from_chars(begin, end, v);
    if (r.ec != std::errc() || r.ptr != end || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool ParseFlag(const std::string& text, uint8_t* out)
{
    if (text != "0" && text != "1")
        return false;
    *out = text == "1" ? 1 : 0;
    return true;
}

bool ParseBlend(const std::string& text, int32_t* out)
{
    for (const BlendName& b : BlendNames)
        if (text == b.name)
        {
            *out = b.value;
            return true;
        }
    return ParseInt(text, 1, 15, out);
}

bool ParseColour(const std::string& text, float rgba[4])
{
    if (text.size() != 9 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        return false;
    uint32_t v = uint32_t(std::strtoul(text.c_str() + 1, nullptr, 16));
    rgba[3] = float((v >> 24) & 0xFF) / 255.0f;
    rgba[0] = float((v >> 16) & 0xFF) / 255.0f;
    rgba[1] = float((v >> 8) & 0xFF) / 255.0f;
    rgba[2] = float(v & 0xFF) / 255.0f;
    return true;
}

}  // namespace

bool ContentMaterialWriter::Parse(const std::string& path, const std::string& text, Description* out,
                                  ContentError* error)
{
    ContentIniReader reader(path, text);
    WeMaterial& m = out->material;
    ContentIniLine item;
    while (reader.NextKey("Material", &item))
    {
        const int number = item.number;
        auto fail = [&](const std::string& reason)
        {
            reader.Fail(number, reason);
            *error = reader.Error();
            return false;
        };
        const std::string& key = item.key;
        const std::string& value = item.value;

        struct FloatKey
        {
            const char* key;
            float* field;
        };
        const FloatKey floats[] = {
            {"p0", &m.m_P0},
            {"p1", &m.m_P1},
            {"p2", &m.m_P2},
            {"p3", &m.m_P3},
            {"materialstrength", &m.m_MaterialStrength},
            {"envstrength", &m.m_EnvironmentStrength},
            {"glow", &m.m_GlowAmount},
            {"bump", &m.m_BumpIntensity},
            {"staticbumpintensity", &m.m_StaticBumpIntensity},
            {"specular", &m.m_SpecularPower},
            {"noisespeed", &m.m_NoiseSpeed},
            {"wavespeed", &m.m_WaveSpeed},
            {"noisescale", &m.m_NoiseScale},
            {"noiseintensity", &m.m_NoiseIntensity},
        };
        struct FlagKey
        {
            const char* key;
            uint8_t* field;
        };
        const FlagKey flags[] = {
            {"lit", &m.m_Lit},
            {"stencil", &m.m_Stencil},
            {"twosided", &m.m_TwoSided},
            {"reflective", &m.m_Reflective},
            {"wireframe", &m.m_Wireframe},
            {"noise", &m.m_Noise},
        };
        bool done = false;
        for (const FloatKey& f : floats)
            if (key == f.key)
            {
                if (!ParseFloat(value, f.field))
                    return fail(key + " must be a number");
                done = true;
            }
        for (const FlagKey& f : flags)
            if (key == f.key)
            {
                if (!ParseFlag(value, f.field))
                    return fail(key + " must be 0 or 1");
                done = true;
            }
        if (done)
            continue;
        if (key == "shader")
        {
            if (value.empty())
                return fail("shader must name an effect");
            out->shader = value;
        }
        else if (key.size() == 8 && key.compare(0, 7, "texture") == 0 && key[7] >= '0' && key[7] <= '5')
            out->textures[key[7] - '0'] = value;
        else if (key == "sort")
        {
            if (!ParseInt(value, 0, 6, &m.m_SortMode))
                return fail("sort must be 0..6");
        }
        else if (key == "srcblend" || key == "dstblend")
        {
            if (!ParseBlend(value, key == "srcblend" ? &m.m_SourceBlend : &m.m_DestinationBlend))
                return fail(key + " must be a D3DBLEND name (ONE, SRCALPHA, ...) or number 1..15");
        }
        else if (key == "color")
        {
            if (!ParseColour(value, m.m_Color))
                return fail("color must be #AARRGGBB");
        }
        else if (key == "alpharef")
        {
            if (!ParseInt(value, 0, 255, &m.m_AlphaReference))
                return fail("alpharef must be 0..255");
        }
        else if (key == "animation")
        {
            if (!ParseInt(value, 0, 8, &m.m_AnimationMode))
                return fail("animation must be 0..8");
        }
        else if (key == "staticbump")
        {
            std::istringstream parts(value);
            std::string part;
            int count = 0;
            while (std::getline(parts, part, ','))
            {
                if (count == 3 || !ParseFloat(part, &m.m_StaticBumpVector[count]))
                    return fail("staticbump must be x,y,z");
                ++count;
            }
            if (count != 3)
                return fail("staticbump must be x,y,z");
        }
        else
            return fail("unknown key " + key);
    }
    if (reader.Failed())
    {
        *error = reader.Error();
        return false;
    }
    return true;
}

void ContentMaterialWriter::WriteFile(WeFileStream& s, const Description& d)
{
    const WeMaterial& m = d.material;
    s.WriteInt32(WeMaterial::NewestVersion);
    s.WriteInt32(m.m_SortMode);
    s.WriteInt32(m.m_SourceBlend);
    s.WriteInt32(m.m_DestinationBlend);
    s.WriteInt32(m.m_Reflective ? 1 : 0);
    s.WriteByte(char(m.m_Lit));
    s.WriteByte(0);
    s.WriteByte(char(m.m_Stencil));
    s.WriteByte(char(m.m_TwoSided));
    s.WriteString(d.shader.c_str());
    for (const std::string& t : d.textures)
        s.WriteString(t.c_str());
    s.WriteInt32(m.m_AnimationMode);
    s.WriteFloat(m.m_P0);
    s.WriteFloat(m.m_P1);
    s.WriteFloat(m.m_P2);
    s.WriteFloat(m.m_P3);
    s.WriteFloat(m.m_LastAnimationTime);
    s.WriteFloat(m.m_MaterialStrength);
    s.WriteFloat(m.m_EnvironmentStrength);
    s.WriteFloat(m.m_GlowAmount);
    s.WriteVector4(m.m_Color);
    s.WriteFloat(m.m_BumpIntensity);
    s.WriteVector3(m.m_StaticBumpVector);
    s.WriteFloat(m.m_StaticBumpIntensity);
    s.WriteFloat(m.m_SpecularPower);
    s.WriteInt32(m.m_AlphaReference);
    s.WriteByte(char(m.m_Wireframe));
    s.WriteInt32(m.m_Trailing);
    s.WriteByte(char(m.m_Noise));
    s.WriteFloat(m.m_NoiseSpeed);
    s.WriteFloat(m.m_WaveSpeed);
    s.WriteFloat(m.m_NoiseScale);
    s.WriteFloat(m.m_NoiseIntensity);
}

bool ContentMaterialWriter::Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged,
                                  ContentError* error)
{
    std::string text;
    if (!ContentIniReader::ReadFile(path, &text, error))
        return false;
    Description d;
    if (!Parse(path, text, &d, error))
        return false;
    if (!staged.Create(name.c_str(), WeMaterial::FileType, true))
    {
        *error = {path, 0, "cannot create the member " + name};
        return false;
    }
    WriteFile(*staged.GetStream(), d);
    if (!staged.EndCreate())
    {
        *error = {path, 0, "cannot finish the member " + name};
        return false;
    }
    return true;
}
