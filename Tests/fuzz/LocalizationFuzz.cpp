// Feeds arbitrary translation files to the localization: the input is loaded as the ini file of the
// default language, the translations are read, and every key found, and every line of the input as a key,
// is looked up and remapped.
#include <cstdint>
#include <string>

#include "Engine/foundation/WeLocalization.h"
#include "Tests/fuzz/FuzzConfigTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!FuzzConfigTree::Get("Localization").Load(data, size))
        return 0;
    WeLocalization localization;
    localization.Load();
    WeStringList keys;
    ListConfigKeys(WeString("Localization.Localization."), keys);
    for (const WeString& key : keys)
        localization.GetRemappedText(key.GetTokenTail('.', 2));
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0, n = 0; start < text.size() && n < 16; ++n)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const WeString key(text.substr(start, end - start).c_str());
        localization.HasText(key);
        localization.GetRemappedText(key);
        start = end + 1;
    }
    return 0;
}
