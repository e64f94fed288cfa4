// Feeds arbitrary trees to the loose-folder file system: each input line is a path of up to four parts
// (split at '/'), made as a file below a fresh root; a line ending in '/' makes a folder. Everything the
// scan lists is then looked up and read through its dotted name, and every line is tried as a name too.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
// One path part as the disk takes it: no separators, no NULs, not "." or "..", not too long.
std::string Part(const std::string& raw)
{
    std::string out;
    for (const char c : raw)
        if (c != '\0' && c != '/')
            out += c;
    if (out.size() > 100)
        out.resize(100);
    if (out.empty() || out == "." || out == "..")
        out = "_";
    return out;
}

void ReadWhole(WeFileSystem& files, const WeString& name, int32_t type)
{
    const bool exists = files.Exists(name, type);
    if (!files.Open(name, type))
    {
        if (exists)
            __builtin_trap();  // listed as there, yet it does not open
        return;
    }
    std::vector<uint8_t> bytes(size_t(files.GetStream()->GetSize()) + 1);
    const int64_t got = files.GetStream()->Read(bytes.data(), int64_t(bytes.size()));
    if (got != files.GetStream()->GetSize())
        __builtin_trap();
    files.Close();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string root = FuzzScratchPath("tree");
    std::error_code error;
    std::filesystem::remove_all(root, error);
    std::filesystem::create_directories(root, error);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (size_t start = 0, n = 0; start <= text.size() && n < 64; ++n)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& line : lines)
    {
        std::filesystem::path path = root;
        size_t start = 0;
        int parts = 0;
        while (start < line.size() && parts < 4)
        {
            size_t slash = line.find('/', start);
            if (slash == std::string::npos)
                slash = line.size();
            path /= Part(line.substr(start, slash - start));
            start = slash + 1;
            ++parts;
        }
        if (parts == 0)
            continue;
        if (!line.empty() && line.back() == '/')
        {
            std::filesystem::create_directories(path, error);
        }
        else
        {
            std::filesystem::create_directories(path.parent_path(), error);
            FuzzWriteFile(path.string(), reinterpret_cast<const uint8_t*>(line.data()), line.size());
        }
    }

    WeFileSystem files;
    files.SetRoot(WeString(root.c_str()));
    WeStringList packages, folders, names;
    files.ListPackages(packages);
    for (const WeString& package : packages)
        for (int32_t type = 0; type < WePackageTypeCount; ++type)
        {
            files.ListFolders(folders, package, type);
            for (const WeString& folder : folders)
            {
                files.ListFiles(names, package, folder, type);
                for (const WeString& name : names)
                {
                    WeString dotted = package;
                    dotted += '.';
                    dotted += folder;
                    dotted += '.';
                    dotted += name;
                    ReadWhole(files, dotted, type);
                }
            }
        }
    for (const std::string& line : lines)
        for (int32_t type = -1; type <= WePackageTypeCount; ++type)
            if (files.Exists(WeString(line.c_str()), type))
                ReadWhole(files, WeString(line.c_str()), type);
    return 0;
}
