// Feeds arbitrary archives to the package file's index reader and then uses everything it loaded:
// every listing of every type, and every member opened and read to its end. The input is the plain
// (unscrambled) archive, scrambled here before it is written, so that mutations act on the fields.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WePackageScrambler.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
const std::string& ArchivePath()
{
    static const std::string path = FuzzScratchPath("index.dat");
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> stored(data, data + size);
    WePackageScrambler::Scramble(stored.data(), static_cast<int64_t>(stored.size()), 0);
    std::FILE* file = std::fopen(ArchivePath().c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(stored.data(), 1, stored.size(), file);
    std::fclose(file);

    WeDataFile archive;
    archive.SetPath(WeString(ArchivePath().c_str()));
    WeStringList packages, folders, files;
    archive.ListPackages(packages);
    std::vector<uint8_t> bytes;
    for (const WeString& package : packages)
        for (int32_t type = 0; type < WePackageTypeCount; ++type)
        {
            archive.ListFolders(folders, package, type);
            for (const WeString& folder : folders)
            {
                archive.ListFiles(files, package, folder, type);
                for (const WeString& name : files)
                {
                    WeString dotted = package;
                    dotted += '.';
                    dotted += folder;
                    dotted += '.';
                    dotted += name;
                    if (!archive.Open(dotted, type))
                        continue;
                    bytes.resize(static_cast<size_t>(archive.GetSize()) + 1);
                    const int64_t got = archive.GetStream()->Read(bytes.data(), archive.GetSize() + 1);
                    // A member lies inside the file: it reads whole, and not one byte beyond it.
                    if (got != archive.GetSize() || !archive.GetStream()->IsEof())
                        __builtin_trap();
                    archive.Close();
                }
            }
        }
    return 0;
}
