// Feeds arbitrary translation files to the localization: the input is loaded as the ini file of the
// default language, the translations are read, and every key found, and every line of the input as a key,
// is looked up and remapped. Keys accumulate in the process-wide configuration across inputs, as they would
// across files, so runs are best kept to minutes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeLocalization.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
struct Tree
{
    Tree()
    {
        root = FuzzScratchPath("localization");
        std::filesystem::create_directories(root + "/Config/Main");
        file = root + "/Config/Main/Localization.ini";
        FuzzWriteFile(file, nullptr, 0);
        fileSystem.SetRoot(WeString(root.c_str()));
        LookupConfigEntry(WeString("-"), false);  // the process's own first load, before switching
        SetConfigFileSystem(&fileSystem);
    }
    std::string root, file;
    WeFileSystem fileSystem;
};

Tree& TheTree()
{
    static Tree* tree = new Tree();
    return *tree;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Tree& tree = TheTree();
    if (!FuzzWriteFile(tree.file, data, size))
        return 0;
    LoadConfigFiles(WeString("Localization"));
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
