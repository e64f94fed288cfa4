#include "Engine/foundation/WePackageWriter.h"

#include <cstdio>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Platform/system/SysFolder.h"
#include "Platform/system/SysPath.h"

namespace
{
constexpr int32_t ArchiveVersion = 1;
constexpr int64_t IndexOffsetPosition = 4;

struct MemberRecord
{
    WeString name;
    int32_t type = 0;
    int64_t offset = 0;
    int32_t size = 0;
};

struct FolderRecord
{
    WeString name;
    std::vector<MemberRecord> files;
};

struct PackageRecord
{
    WeString name;
    std::vector<FolderRecord> folders;
};

bool WriteInt64(WeFileStream& stream, int64_t value)
{
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    return stream.Write(bytes, 8);
}

std::string Lower(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool Visible(const SysFolderEntry& entry)
{
    return !entry.name.empty() && entry.name[0] != '.';
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    for (const std::string& present : list)
        if (present == item)
            return true;
    return false;
}
}  // namespace

bool WePackageWriter::Fail(const char* what, const WeString& subject)
{
    m_Error = WeString(what);
    m_Error += ": ";
    m_Error += subject;
    return false;
}

// The archive addresses everything by dotted names with 16-bit stored strings: a package or folder
// name must be non-empty and free of '.', every name must fit a stored string, and no two names of
// one level may differ only in case (the second could never be found).
bool WePackageWriter::CheckTree(const WeString& packagesFolder)
{
    const std::string root = packagesFolder.c_str();
    std::vector<SysFolderEntry> packages;
    if (!SysFolder::Exists(root) || !SysFolder::List(root, packages))
        return Fail("no Packages tree at", packagesFolder);
    std::vector<std::string> packageKeys;
    for (const SysFolderEntry& package : packages)
    {
        if (!package.isFolder || !Visible(package))
            continue;
        const std::string packagePath = SysPath::Join(root, package.name);
        if (package.name.find('.') != std::string::npos || package.name.size() > WeFileStream::MaxStringLength)
            return Fail("package name cannot be stored", WeString(packagePath.c_str()));
        if (Contains(packageKeys, Lower(package.name)))
            return Fail("package name differs from another only in case", WeString(packagePath.c_str()));
        packageKeys.push_back(Lower(package.name));

        std::vector<SysFolderEntry> folders;
        if (!SysFolder::List(packagePath, folders))
            return Fail("cannot read folder", WeString(packagePath.c_str()));
        std::vector<std::string> folderKeys;
        for (const SysFolderEntry& folder : folders)
        {
            if (!folder.isFolder || !Visible(folder))
                continue;
            const std::string folderPath = SysPath::Join(packagePath, folder.name);
            if (folder.name.find('.') != std::string::npos || folder.name.size() > WeFileStream::MaxStringLength)
                return Fail("folder name cannot be stored", WeString(folderPath.c_str()));
            if (Contains(folderKeys, Lower(folder.name)))
                return Fail("folder name differs from another only in case", WeString(folderPath.c_str()));
            folderKeys.push_back(Lower(folder.name));

            std::vector<SysFolderEntry> files;
            if (!SysFolder::List(folderPath, files))
                return Fail("cannot read folder", WeString(folderPath.c_str()));
            std::vector<std::string> fileKeys;
            for (const SysFolderEntry& file : files)
            {
                if (file.isFolder || !Visible(file))
                    continue;
                const std::string filePath = SysPath::Join(folderPath, file.name);
                const size_t dot = file.name.find('.');
                const std::string base = file.name.substr(0, dot);
                std::string extension;
                if (dot != std::string::npos)
                    extension = file.name.substr(dot + 1, file.name.find('.', dot + 1) - dot - 1);
                if (base.size() > WeFileStream::MaxStringLength)
                    return Fail("file name cannot be stored", WeString(filePath.c_str()));
                const std::string key = Lower(base) + "." + std::to_string(PackageTypeFromExtension(extension.c_str()));
                if (Contains(fileKeys, key))
                    return Fail("file name and type clash with another file", WeString(filePath.c_str()));
                fileKeys.push_back(key);
            }
        }
    }
    return true;
}

bool WePackageWriter::Pack(const WeString& packagesFolder, const WeString& archivePath)
{
    m_Error = WeString();
    if (!CheckTree(packagesFolder))
        return false;

    WeFileSystem tree;
    tree.SetRoot(packagesFolder);
    std::vector<PackageRecord> packages;
    WeStringList packageNames, folderNames, fileNames;
    tree.ListPackages(packageNames);
    for (const WeString& packageName : packageNames)
    {
        PackageRecord package;
        package.name = packageName;
        for (int32_t type = 0; type < WePackageTypeCount; ++type)
        {
            tree.ListFolders(folderNames, packageName, type);
            for (const WeString& folderName : folderNames)
            {
                FolderRecord* folder = nullptr;
                for (FolderRecord& known : package.folders)
                    if (known.name == folderName)
                        folder = &known;
                if (!folder)
                {
                    package.folders.emplace_back();
                    folder = &package.folders.back();
                    folder->name = folderName;
                }
                tree.ListFiles(fileNames, packageName, folderName, type);
                for (const WeString& fileName : fileNames)
                {
                    MemberRecord member;
                    member.name = fileName;
                    member.type = type;
                    folder->files.push_back(member);
                }
            }
        }
        packages.push_back(std::move(package));
    }

    // Written beside the target and renamed over it, so a failed run never leaves half an archive.
    WeString temporaryPath = archivePath;
    temporaryPath += ".partial";
    WeFileStream out;
    if (!out.Create(temporaryPath))
        return Fail("cannot create", temporaryPath);
    out.SetScrambled(true);
    bool written = out.WriteInt32(ArchiveVersion) && WriteInt64(out, 0);

    std::vector<uint8_t> bytes;
    for (PackageRecord& package : packages)
        for (FolderRecord& folder : package.folders)
            for (MemberRecord& member : folder.files)
            {
                WeString dotted = package.name;
                dotted += '.';
                dotted += folder.name;
                dotted += '.';
                dotted += member.name;
                const WeString path = tree.FindPath(dotted, member.type);
                if (!tree.Open(dotted, member.type))
                {
                    out.Close();
                    std::remove(temporaryPath.c_str());
                    return Fail("cannot read", path);
                }
                const int64_t size = tree.GetSize();
                if (size > 0x7FFFFFFF)
                {
                    tree.Close();
                    out.Close();
                    std::remove(temporaryPath.c_str());
                    return Fail("file too large to store", path);
                }
                bytes.resize(static_cast<size_t>(size));
                const int64_t got = size > 0 ? tree.GetStream()->Read(bytes.data(), size) : 0;
                tree.Close();
                if (got != size)
                {
                    out.Close();
                    std::remove(temporaryPath.c_str());
                    return Fail("cannot read", path);
                }
                member.offset = out.Tell();
                member.size = static_cast<int32_t>(size);
                written = (size == 0 || out.Write(bytes.data(), size)) && written;
            }

    const int64_t indexOffset = out.Tell();
    written = out.WriteInt32(static_cast<int32_t>(packages.size())) && written;
    for (const PackageRecord& package : packages)
    {
        written = out.WriteString(package.name) && written;
        written = out.WriteInt32(static_cast<int32_t>(package.folders.size())) && written;
        for (const FolderRecord& folder : package.folders)
        {
            written = out.WriteString(folder.name) && written;
            written = out.WriteInt32(static_cast<int32_t>(folder.files.size())) && written;
            for (const MemberRecord& member : folder.files)
            {
                written = out.WriteString(member.name) && written;
                written = out.WriteInt32(member.type) && written;
                written = WriteInt64(out, member.offset) && written;
                written = out.WriteInt32(member.size) && written;
            }
        }
    }
    written = out.Seek(IndexOffsetPosition, 0) && WriteInt64(out, indexOffset) && written;
    out.Close();
    if (!written || std::rename(temporaryPath.c_str(), archivePath.c_str()) != 0)
    {
        std::remove(temporaryPath.c_str());
        return Fail("cannot write", archivePath);
    }
    return true;
}
