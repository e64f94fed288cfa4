#include "Engine/foundation/WeFileSystem.h"

#include <string>
#include <vector>

#include "Engine/foundation/WeExeFolder.h"
#include "Platform/system/SysFolder.h"
#include "Platform/system/SysPath.h"

namespace
{
std::string Join(const WeString& folder, const WeString& name)
{
    return SysPath::Join(folder.c_str(), name.c_str());
}

std::string Join(const std::string& folder, const WeString& name)
{
    return SysPath::Join(folder, name.c_str());
}

// Hidden entries (editor and version-control files among them) are no part of the tree.
// Hidden names are skipped, and so are names holding a '\': a dotted name reads it as a separator, so such a
// file could be listed but never opened.
bool IsVisible(const std::string& name)
{
    return !name.empty() && name[0] != '.' && name.find('\\') == std::string::npos;
}

// A dotted-name part that can be a folder or file name of its own: not empty, no separator, not hidden.
bool IsStorableName(const WeString& part)
{
    const char* text = part.c_str();
    if (part.Length() == 0 || text[0] == '.')
        return false;
    for (int32_t i = 0; i < part.Length(); ++i)
        if (text[i] == '/' || text[i] == '\\')
            return false;
    return true;
}

// The disk name of a file of a type: the extension follows a '.', except for code 0, which has none.
WeString DiskFileName(const WeString& file, int32_t type)
{
    WeString name = file;
    if (type != 0)
    {
        name += '.';
        name += g_PackageTypeExtensions[type];
    }
    return name;
}
}  // namespace

WeFileSystem::WeFileSystem() = default;

WeFileSystem::~WeFileSystem()
{
    CloseStream();
    DeleteTree();
}

void WeFileSystem::DeleteTree()
{
    for (auto* package = m_Packages.First(); package; package = m_Packages.Next())
    {
        for (auto* folder = package->value->folders.First(); folder; folder = package->value->folders.Next())
        {
            for (auto* file = folder->value->files.First(); file; file = folder->value->files.Next())
                delete file->value;
            folder->value->files.Clear();
            delete folder->value;
        }
        package->value->folders.Clear();
        delete package->value;
    }
    m_Packages.Clear();
}

void WeFileSystem::CloseStream()
{
    m_Stream.Close();
    m_Writing = false;
}

void WeFileSystem::SetRoot(const WeString& packagesFolder)
{
    CloseStream();
    DeleteTree();
    m_Root = packagesFolder;
    m_RootSet = true;
    m_Scanned = false;
}

const WeString& WeFileSystem::GetRoot()
{
    if (!m_RootSet)
    {
        m_Root = WeString(SysPath::Join(GetExeFolder().c_str(), "Packages").c_str());
        m_RootSet = true;
    }
    return m_Root;
}

void WeFileSystem::EnsureScanned()
{
    if (!m_Scanned)
        Scan();
}

void WeFileSystem::Scan()
{
    // Set first: a failed scan is not repeated.
    m_Scanned = true;
    const std::string root = GetRoot().c_str();
    std::vector<SysFolderEntry> packages;
    if (!SysFolder::List(root, packages))
        return;
    for (const SysFolderEntry& packageEntry : packages)
    {
        if (!packageEntry.isFolder || !IsVisible(packageEntry.name))
            continue;
        Package* package = new Package();
        package->name = WeString(packageEntry.name.c_str());
        package->lowerName = package->name.ToLower();
        m_Packages.Insert(package->lowerName, package);

        const std::string packagePath = SysPath::Join(root, packageEntry.name);
        std::vector<SysFolderEntry> folders;
        SysFolder::List(packagePath, folders);
        for (const SysFolderEntry& folderEntry : folders)
        {
            if (!folderEntry.isFolder || !IsVisible(folderEntry.name))
                continue;
            Folder* folder = new Folder();
            folder->name = WeString(folderEntry.name.c_str());
            folder->lowerName = folder->name.ToLower();
            package->folders.Insert(folder->lowerName, folder);

            std::vector<SysFolderEntry> files;
            SysFolder::List(SysPath::Join(packagePath, folderEntry.name), files);
            for (const SysFolderEntry& fileEntry : files)
            {
                if (fileEntry.isFolder || !IsVisible(fileEntry.name))
                    continue;
                // base = before the first '.', extension = between the first and the second '.'.
                const WeString diskName(fileEntry.name.c_str());
                const WeString base = diskName.GetToken('.', 0);
                const WeString extension = diskName.GetToken('.', 1);
                const int32_t type = PackageTypeFromExtension(extension.c_str());
                const WeString lowerBase = base.ToLower();
                File* file = nullptr;
                if (!folder->files.Find(lowerBase, &file))
                {
                    file = new File();
                    file->name = base;
                    file->lowerName = lowerBase;
                    folder->files.Insert(lowerBase, file);
                }
                // Names that fold to the same entry and type: the first in name order is the one used.
                if (!file->hasType[type])
                {
                    file->hasType[type] = true;
                    file->diskName[type] = diskName;
                }
            }
        }
    }
}

WeFileSystem::Package* WeFileSystem::FindPackage(const WeString& name)
{
    Package* package = nullptr;
    return m_Packages.Find(name.ToLower(), &package) ? package : nullptr;
}

WeFileSystem::Folder* WeFileSystem::FindFolder(const WeString& package, const WeString& folder)
{
    Package* p = FindPackage(package);
    if (!p)
        return nullptr;
    Folder* f = nullptr;
    return p->folders.Find(folder.ToLower(), &f) ? f : nullptr;
}

WeFileSystem::File* WeFileSystem::FindEntry(const WeString& name)
{
    Folder* folder = FindFolder(name.GetToken('.', 0), name.GetToken('.', 1));
    if (!folder)
        return nullptr;
    File* file = nullptr;
    return folder->files.Find(name.GetToken('.', 2).ToLower(), &file) ? file : nullptr;
}

WeString WeFileSystem::FindPath(const WeString& name, int32_t type)
{
    if (!IsPackageType(type))
        return WeString();
    EnsureScanned();
    Package* package = FindPackage(name.GetToken('.', 0));
    if (!package)
        return WeString();
    Folder* folder = nullptr;
    if (!package->folders.Find(name.GetToken('.', 1).ToLower(), &folder))
        return WeString();
    File* file = nullptr;
    if (!folder->files.Find(name.GetToken('.', 2).ToLower(), &file) || !file->hasType[type])
        return WeString();
    const std::string path = Join(Join(Join(GetRoot(), package->name), folder->name), file->diskName[type]);
    return WeString(path.c_str());
}

bool WeFileSystem::ListPackages(WeStringList& out)
{
    out.Reset();
    EnsureScanned();
    for (auto* package = m_Packages.First(); package; package = m_Packages.Next())
        out.PushBack() = package->value->name;
    return true;
}

bool WeFileSystem::ListFolders(WeStringList& out, const WeString& package, int32_t type)
{
    out.Reset();
    if (!IsPackageType(type))
        return false;
    EnsureScanned();
    Package* p = FindPackage(package);
    if (!p)
        return true;
    for (auto* folder = p->folders.First(); folder; folder = p->folders.Next())
    {
        bool hasType = false;
        for (auto* file = folder->value->files.First(); file && !hasType; file = folder->value->files.Next())
            hasType = file->value->hasType[type];
        if (hasType)
            out.PushBack() = folder->value->name;
    }
    return true;
}

bool WeFileSystem::ListFiles(WeStringList& out, const WeString& package, const WeString& folder, int32_t type)
{
    out.Reset();
    if (!IsPackageType(type))
        return false;
    EnsureScanned();
    Folder* f = FindFolder(package, folder);
    if (!f)
        return true;
    for (auto* file = f->files.First(); file; file = f->files.Next())
        if (file->value->hasType[type])
            out.PushBack() = file->value->name;
    return true;
}

bool WeFileSystem::Exists(const WeString& name, int32_t type)
{
    if (!IsPackageType(type))
        return false;
    EnsureScanned();
    File* file = FindEntry(name);
    return file && file->hasType[type];
}

bool WeFileSystem::Open(const WeString& name, int32_t type)
{
    if (!IsPackageType(type))
        return false;
    EnsureScanned();
    // Also ends an unfinished Create: the file system never stays stuck in its writing state.
    CloseStream();
    const WeString path = FindPath(name, type);
    if (path.Length() == 0)
        return false;
    if (!m_Stream.Open(path, false))
    {
        m_Stream.Close();
        return false;
    }
    return true;
}

bool WeFileSystem::Close()
{
    CloseStream();
    return true;
}

bool WeFileSystem::Create(const WeString& name, int32_t type, bool overwrite)
{
    if (!IsPackageType(type) || m_Writing)
        return false;
    EnsureScanned();
    CloseStream();
    const WeString packageName = name.GetToken('.', 0);
    const WeString folderName = name.GetToken('.', 1);
    const WeString fileName = name.GetToken('.', 2);
    if (!IsStorableName(packageName) || !IsStorableName(folderName) || !IsStorableName(fileName))
        return false;

    Package* package = FindPackage(packageName);
    Folder* folder = package ? FindFolder(packageName, folderName) : nullptr;
    File* file = nullptr;
    if (folder)
        folder->files.Find(fileName.ToLower(), &file);
    if (file && file->hasType[type] && !overwrite)
        return false;

    // Folders the tree already knows keep their names on disk; new ones are made as named.
    const std::string root = GetRoot().c_str();
    if (!SysFolder::Create(root))
        return false;
    if (!package)
    {
        if (!SysFolder::Create(Join(root, packageName)))
            return false;
        package = new Package();
        package->name = packageName;
        package->lowerName = packageName.ToLower();
        m_Packages.Insert(package->lowerName, package);
    }
    const std::string packagePath = Join(root, package->name);
    if (!folder)
    {
        if (!SysFolder::Create(Join(packagePath, folderName)))
            return false;
        folder = new Folder();
        folder->name = folderName;
        folder->lowerName = folderName.ToLower();
        package->folders.Insert(folder->lowerName, folder);
    }
    const std::string folderPath = Join(packagePath, folder->name);

    const bool present = file && file->hasType[type];
    const WeString diskName = present ? file->diskName[type] : DiskFileName(file ? file->name : fileName, type);
    if (!m_Stream.Create(WeString(Join(folderPath, diskName).c_str())))
    {
        m_Stream.Close();
        return false;
    }
    // Only a file that really exists now is entered in the tree.
    if (!file)
    {
        file = new File();
        file->name = fileName;
        file->lowerName = fileName.ToLower();
        folder->files.Insert(file->lowerName, file);
    }
    file->hasType[type] = true;
    file->diskName[type] = diskName;
    m_Writing = true;
    return true;
}

bool WeFileSystem::EndCreate()
{
    if (!m_Writing)
        return false;
    CloseStream();
    return true;
}

int64_t WeFileSystem::GetSize()
{
    return m_Stream.IsOpen() ? m_Stream.GetSize() : 0;
}

WeFileStream* WeFileSystem::GetStream()
{
    return &m_Stream;
}

bool WeFileSystem::Delete(const WeString& name, int32_t type)
{
    if (!IsPackageType(type))
        return false;
    EnsureScanned();
    CloseStream();
    File* file = FindEntry(name);
    if (!file || !file->hasType[type])
        return false;
    const WeString path = FindPath(name, type);
    if (!SysFolder::DeleteFile(path.c_str()))
        return false;
    file->hasType[type] = false;
    file->diskName[type] = WeString();
    return true;
}
