#include "Game/craft/KillText.h"

#include <cmath>

#include "Platform/math/D3DXCOLOR.h"

namespace
{
constexpr char RunOpen = 1;
constexpr char RunClose = 2;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
}  // namespace

void AppendNameRun(WeString& out, const WeString& name, uint32_t argb)
{
    WeString clean;
    for (int32_t i = 0; i < name.Length(); ++i)
        if (static_cast<unsigned char>(name[i]) >= 0x20)
            clean += name[i];
    int32_t length = clean.Length();
    if (length > KillTextMaxNameBytes)
    {
        // Cut before the lead byte of a character that would not fit whole.
        length = KillTextMaxNameBytes;
        int32_t lead = length;
        while (lead > 0 && (static_cast<unsigned char>(clean[lead]) & 0xC0) == 0x80)
            --lead;
        length = lead;
    }
    out += RunOpen;
    out.AppendInt(static_cast<int32_t>(argb), 8, 16, false);
    out.AppendBytes(clean.c_str(), length);
    out += RunClose;
}

WeString BuildKillText(const WeString& templ, const WeString& killer, uint32_t killerArgb, const WeString& victim,
                       uint32_t victimArgb)
{
    WeString out;
    const int32_t n = templ.Length();
    for (int32_t i = 0; i < n; ++i)
    {
        const char c = templ[i];
        if (c == '%' && i + 1 < n)
        {
            const char m = templ[i + 1];
            if (m == 'a' || m == 'A')
            {
                AppendNameRun(out, killer, killerArgb);
                ++i;
                continue;
            }
            if (m == 'k' || m == 'K')
            {
                AppendNameRun(out, victim, victimArgb);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

uint32_t PackTrailColour(const float rgba[4])
{
    if (!rgba)
        return 0xFFFFFFFFu;
    float c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = std::isnan(rgba[i]) ? 0.0f : rgba[i];
    return static_cast<uint32_t>(D3DXCOLOR(c[0], c[1], c[2], c[3]));
}

const char* DeathKeyword(int32_t kind)
{
    static const char* const Keywords[22] = {"PLASMABOLT",  "DOUBLEBOLT",     "HOMINGMISSILE",  "QUANTUMBOLT",
                                             "SWARMER",     "SLOWINGROCKET",  "TRANSLOCATOR",   "MINIGUN",
                                             "FFG",         "NUCLEARWARHEAD", "CONTACTMINE",    "SINGULARITYMINE",
                                             "HOMINGMINE",  "PROXIMITYMINE",  "FORCEFIELDMINE", "MOTIONMINE",
                                             "STEALTHMINE", "NUKEMINE",       "ELECTRICMINE",   "EMPMINE",
                                             "KESTENGINE",  "DYNAMICOBJECT"};
    return kind >= 1 && kind <= 22 ? Keywords[kind - 1] : nullptr;
}

WeString StripColourRuns(const WeString& text)
{
    WeString out;
    const int32_t n = text.Length();
    for (int32_t i = 0; i < n; ++i)
    {
        const char c = text[i];
        if (c == RunOpen)
        {
            int32_t digits = 0;
            while (digits < 8 && i + 1 < n && IsHexDigit(text[i + 1]))
            {
                ++i;
                ++digits;
            }
            continue;
        }
        if (c == RunClose)
            continue;
        out += c;
    }
    return out;
}
