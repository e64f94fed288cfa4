// wepack pack <Packages folder> <archive>     packs the loose tree into a package file
// wepack list <archive>                       lists packages, folders and files (type, offset, size)
// wepack cat <archive> <Package.Folder.File> <extension or type code>
//                                             writes one member's bytes to standard output
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WePackageFile.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WePackageWriter.h"

namespace
{
int Usage()
{
    std::fprintf(stderr, "usage: wepack pack <Packages folder> <archive>\n"
                         "       wepack list <archive>\n"
                         "       wepack cat <archive> <Package.Folder.File> <extension or type code>\n");
    return 2;
}

// An archive that opens but whose header says nothing is a valid empty archive; a missing or
// unreadable one is an error.
bool OpenArchive(WeDataFile& archive, const char* path)
{
    archive.SetPath(WeString(path));
    if (!archive.EnsureLoaded())
    {
        std::fprintf(stderr, "wepack: cannot open archive %s\n", path);
        return false;
    }
    return true;
}

// A type is named by its extension ("ini") or its code ("11"); code 0 has no extension.
bool ParseType(const char* text, int32_t& type)
{
    char* end = nullptr;
    const long code = std::strtol(text, &end, 10);
    if (*text && end && *end == 0)
    {
        type = static_cast<int32_t>(code);
        return IsPackageType(type);
    }
    for (int32_t i = 1; i < WePackageTypeCount; ++i)
        if (std::strcmp(g_PackageTypeExtensions[i], text) == 0)
        {
            type = i;
            return true;
        }
    return false;
}

int Pack(const char* tree, const char* archive)
{
    WePackageWriter writer;
    if (!writer.Pack(WeString(tree), WeString(archive)))
    {
        std::fprintf(stderr, "wepack: %s\n", writer.GetError().c_str());
        return 1;
    }
    return 0;
}

int List(const char* path)
{
    WeDataFile archive;
    if (!OpenArchive(archive, path))
        return 1;
    WeStringList packages, folders, files;
    archive.ListPackages(packages);
    for (const WeString& package : packages)
    {
        std::printf("package %s\n", package.c_str());
        // Folders in the order the types first show them, each once.
        std::vector<WeString> seen;
        for (int32_t type = 0; type < WePackageTypeCount; ++type)
        {
            archive.ListFolders(folders, package, type);
            for (const WeString& folder : folders)
            {
                bool known = false;
                for (const WeString& s : seen)
                    known = known || s.ToLower() == folder.ToLower();
                if (!known)
                    seen.push_back(folder);
            }
        }
        for (const WeString& folder : seen)
        {
            std::printf("  folder %s\n", folder.c_str());
            for (int32_t type = 0; type < WePackageTypeCount; ++type)
            {
                archive.ListFiles(files, package, folder, type);
                for (const WeString& file : files)
                {
                    WeString dotted = package;
                    dotted += '.';
                    dotted += folder;
                    dotted += '.';
                    dotted += file;
                    const WePackageFile* record = archive.FindFile(dotted, type);
                    if (!record)
                        continue;
                    std::printf("    file %s type %d (%s) offset %lld size %d\n", file.c_str(), type,
                                g_PackageTypeExtensions[type], static_cast<long long>(record->offset), record->size);
                }
            }
        }
    }
    return 0;
}

int Cat(const char* path, const char* name, const char* typeText)
{
    int32_t type = 0;
    if (!ParseType(typeText, type))
    {
        std::fprintf(stderr, "wepack: unknown type %s\n", typeText);
        return 1;
    }
    WeDataFile archive;
    if (!OpenArchive(archive, path))
        return 1;
    if (!archive.Open(WeString(name), type))
    {
        std::fprintf(stderr, "wepack: no member %s of type %s in %s\n", name, typeText, path);
        return 1;
    }
    const int64_t size = archive.GetSize();
    std::vector<char> bytes(static_cast<size_t>(size));
    const int64_t got = size > 0 ? archive.GetStream()->Read(bytes.data(), size) : 0;
    archive.Close();
    if (got != size || std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
    {
        std::fprintf(stderr, "wepack: cannot read member %s\n", name);
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "pack") == 0)
        return Pack(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "list") == 0)
        return List(argv[2]);
    if (argc == 5 && std::strcmp(argv[1], "cat") == 0)
        return Cat(argv[2], argv[3], argv[4]);
    return Usage();
}
