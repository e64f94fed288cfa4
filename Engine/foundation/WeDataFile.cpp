#include "Engine/foundation/WeDataFile.h"

#include "Engine/foundation/WeArchiveReader.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WePackage.h"
#include "Engine/foundation/WePackageFile.h"
#include "Engine/foundation/WePackageFolder.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Platform/system/SysPath.h"

namespace
{
// Header: int32 version, then (version > 0) the int64 index offset; members start after it.
constexpr int64_t HeaderSize = 12;
}  // namespace

WeDataFile::WeDataFile() = default;

WeDataFile::~WeDataFile()
{
    DeletePackages();
    m_Stream.Close();
}

void WeDataFile::DeletePackages()
{
    for (auto* package = m_Packages.First(); package; package = m_Packages.Next())
        delete package->value;
    m_Packages.Clear();
}

void WeDataFile::SetPath(const WeString& path)
{
    m_Path = path;
    m_PathSet = true;
    m_Loaded = false;
    m_Stream.Close();
    DeletePackages();
}

const WeString& WeDataFile::GetPath()
{
    if (!m_PathSet)
    {
        m_Path = WeString(SysPath::Join(GetExeFolder().c_str(), "Packages.dat").c_str());
        m_PathSet = true;
    }
    return m_Path;
}

bool WeDataFile::EnsureLoaded()
{
    if (!m_Loaded)
        Load();
    return m_Loaded;
}

bool WeDataFile::Load()
{
    m_Loaded = false;
    m_CurrentSize = 0;
    m_Stream.Close();
    if (!m_Stream.Open(GetPath(), false))
        return false;
    m_Stream.SetScrambled(true);
    DeletePackages();
    m_Version = 0;
    m_IndexOffset = 0;

    const int64_t fileSize = m_Stream.GetSize();
    WeArchiveReader reader(m_Stream, fileSize);
    int32_t version = 0;
    reader.ReadInt32(version);
    m_Version = version;
    int64_t indexOffset = 0;
    if (version > 0 && reader.ReadInt64(indexOffset))
    {
        m_IndexOffset = indexOffset;
        // The index must start after the header and leave room for its package count.
        if (indexOffset >= HeaderSize && indexOffset <= fileSize - 4 && m_Stream.Seek(indexOffset, 0))
        {
            int32_t count = 0;
            bool complete;
            if (reader.ReadCount(WeArchiveReader::PackageRecordSize, count, complete))
            {
                for (int32_t i = 0; i < count; ++i)
                {
                    WeString name;
                    if (!reader.ReadName(name))
                        break;
                    WePackage* package = new WePackage();
                    package->name = name;
                    m_Packages.Insert(name.ToLower(), package);
                    if (!package->Read(reader))
                        break;
                }
            }
        }
    }
    m_Loaded = true;
    return true;
}

WePackage* WeDataFile::FindPackage(const WeString& name)
{
    WePackage* package = nullptr;
    return m_Packages.Find(name.ToLower(), &package) ? package : nullptr;
}

WePackageFolder* WeDataFile::FindFolder(const WeString& package, const WeString& folder)
{
    WePackage* p = FindPackage(package);
    if (!p)
        return nullptr;
    WePackageFolder* f = nullptr;
    return p->folders.Find(folder.ToLower(), &f) ? f : nullptr;
}

WePackageFile* WeDataFile::FindFile(const WeString& name, int32_t type)
{
    if (!IsPackageType(type) || !EnsureLoaded())
        return nullptr;
    WePackageFolder* folder = FindFolder(name.GetToken('.', 0), name.GetToken('.', 1));
    if (!folder)
        return nullptr;
    WeString key = name.GetToken('.', 2);
    key += '.';
    key += g_PackageTypeExtensions[type];
    return folder->FindFile(key.ToLower());
}

bool WeDataFile::ListPackages(WeStringList& out)
{
    out.Reset();
    EnsureLoaded();
    for (auto* package = m_Packages.First(); package; package = m_Packages.Next())
        out.PushBack() = package->value->name;
    return true;
}

bool WeDataFile::ListFolders(WeStringList& out, const WeString& package, int32_t type)
{
    out.Reset();
    if (!IsPackageType(type))
        return false;
    EnsureLoaded();
    WePackage* p = FindPackage(package);
    if (!p)
        return true;
    for (auto* folder = p->folders.First(); folder; folder = p->folders.Next())
        if (folder->value->HasType(type))
            out.PushBack() = folder->value->name;
    return true;
}

bool WeDataFile::ListFiles(WeStringList& out, const WeString& package, const WeString& folder, int32_t type)
{
    out.Reset();
    if (!IsPackageType(type))
        return false;
    EnsureLoaded();
    WePackageFolder* f = FindFolder(package, folder);
    if (!f)
        return true;
    for (auto* file = f->files.First(); file; file = f->files.Next())
        if (file->value->type == type)
            out.PushBack() = file->value->name;
    return true;
}

bool WeDataFile::Exists(const WeString& name, int32_t type)
{
    return FindFile(name, type) != nullptr;
}

bool WeDataFile::Open(const WeString& name, int32_t type)
{
    WePackageFile* file = FindFile(name, type);
    if (!file || !m_Stream.SetMember(file->offset, file->size))
        return false;
    m_CurrentSize = file->size;
    return true;
}

bool WeDataFile::Close()
{
    // The package file stays open; the next Open repositions the stream.
    return true;
}

bool WeDataFile::Create(const WeString&, int32_t, bool)
{
    return false;
}

bool WeDataFile::EndCreate()
{
    return false;
}

int64_t WeDataFile::GetSize()
{
    return m_CurrentSize;
}

WeFileStream* WeDataFile::GetStream()
{
    return &m_Stream;
}

bool WeDataFile::Delete(const WeString&, int32_t)
{
    return false;
}
