// Feeds arbitrary templates and names to the kill-text builder. The input is two length bytes, the killer's
// name, the victim's name and the template. The text must come out bounded, with every colour run whole
// (byte 1, eight hexadecimal digits, the name, byte 2) and no control byte inside a name.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Game/craft/KillText.h"

namespace
{
bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const char* p = reinterpret_cast<const char*>(data) + 2;
    size_t left = size - 2;
    const size_t killerLength = data[0] < left ? data[0] : left;
    const std::string killer(p, killerLength);
    p += killerLength;
    left -= killerLength;
    const size_t victimLength = data[1] < left ? data[1] : left;
    const std::string victim(p, victimLength);
    p += victimLength;
    left -= victimLength;
    const std::string templ(p, left);

    WeString t, k, v;
    t.AssignBytes(templ.data(), int32_t(templ.size()));
    k.AssignBytes(killer.data(), int32_t(killer.size()));
    v.AssignBytes(victim.data(), int32_t(victim.size()));
    const WeString out = BuildKillText(t, k, 0xFF12AB34u, v, 0x80FFFFFFu);

    size_t markers = 0;
    for (size_t i = 0; i + 1 < templ.size(); ++i)
        if (templ[i] == '%' &&
            (templ[i + 1] == 'a' || templ[i + 1] == 'A' || templ[i + 1] == 'k' || templ[i + 1] == 'K'))
        {
            ++markers;
            ++i;
        }
    const size_t bound = templ.size() + markers * size_t(KillTextRunOverhead + KillTextMaxNameBytes);
    if (size_t(out.Length()) > bound)
        std::abort();

    // Runs come only from the names; a template's own byte 1 or 2 is copied as it stands, so only the runs
    // the builder made are checked: each marker's run is whole and its name clean.
    const std::string s(out.c_str(), size_t(out.Length()));
    size_t runs = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] != '\x01')
            continue;
        bool whole = i + 9 <= s.size();
        for (size_t d = 1; whole && d <= 8; ++d)
            whole = IsHex(s[i + d]);
        if (!whole)
            continue;  // a template byte, not a run
        size_t j = i + 9;
        bool clean = true;
        while (j < s.size() && s[j] != '\x02' && s[j] != '\x01')
        {
            clean = clean && static_cast<unsigned char>(s[j]) >= 0x20;
            ++j;
        }
        if (j < s.size() && s[j] == '\x02' && clean)
            ++runs;
    }
    if (runs < markers)
        std::abort();
    return 0;
}
