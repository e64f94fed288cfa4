// weconfig get <file.Section.name>   the text of a configuration key
// weconfig text <key>                 the translation of a text key in the configured language
// weconfig list <prefix>              every configuration key that begins with the prefix
// Reads the game's own data: the package file beside the executable (or the loose tree, when the
// engine was built for it). Exits 1 when the key or translation does not exist.
#include <cstdio>
#include <cstring>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"

namespace
{
int Usage()
{
    std::fprintf(stderr, "usage: weconfig get <file.Section.name>\n"
                         "       weconfig text <key>\n"
                         "       weconfig list <prefix>\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Usage();
    const WeString argument(argv[2]);
    if (std::strcmp(argv[1], "get") == 0)
    {
        const WeConfigEntry* entry = LookupConfigEntry(argument, false);
        if (!entry || !entry->hasValue)
        {
            std::fprintf(stderr, "weconfig: no configuration key %s\n", argv[2]);
            return 1;
        }
        std::printf("%s\n", entry->text.c_str());
        return 0;
    }
    if (std::strcmp(argv[1], "text") == 0)
    {
        g_Localization.Load();
        if (!g_Localization.HasText(argument))
        {
            std::fprintf(stderr, "weconfig: no translation of %s for language \"%s\"\n", argv[2], g_Language->c_str());
            return 1;
        }
        std::printf("%s\n", g_Localization.GetText(argument).c_str());
        return 0;
    }
    if (std::strcmp(argv[1], "list") == 0)
    {
        WeStringList keys;
        ListConfigKeys(argument, keys);
        for (const WeString& key : keys)
            std::printf("%s\n", key.c_str());
        return 0;
    }
    return Usage();
}
