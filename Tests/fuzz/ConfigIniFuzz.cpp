// Feeds arbitrary bytes to the configuration loader as one ini file. Keys accumulate in the
// process-wide table across inputs, as they would across files, so runs are best kept to minutes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
struct Tree
{
    Tree()
    {
        root = FuzzScratchPath("ini");
        std::filesystem::create_directories(root + "/Config/Main");
        file = root + "/Config/Main/fuzz.ini";
        std::FILE* f = std::fopen(file.c_str(), "wb");
        if (f)
            std::fclose(f);
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
    std::FILE* f = std::fopen(tree.file.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    LoadConfigFiles(WeString("fuzz"));
    return 0;
}
