#include "Engine/foundation/WePackageFolder.h"

#include "Engine/foundation/WeArchiveReader.h"
#include "Engine/foundation/WePackageFile.h"
#include "Engine/foundation/WePackageTypes.h"

WePackageFolder::~WePackageFolder()
{
    for (auto* file = files.First(); file; file = files.Next())
        delete file->value;
    files.Clear();
}

bool WePackageFolder::Read(WeArchiveReader& reader)
{
    int32_t count;
    bool complete;
    if (!reader.ReadCount(WeArchiveReader::FileRecordSize, count, complete))
        return false;
    for (int32_t i = 0; i < count; ++i)
    {
        WeString fileName;
        int32_t type, size;
        int64_t offset;
        if (!reader.ReadName(fileName) || !reader.ReadInt32(type) || !reader.ReadInt64(offset) ||
            !reader.ReadInt32(size))
            return false;
        // A record with an unknown type or bytes outside the archive is dropped; the index around it
        // is still sound.
        if (!IsPackageType(type) || !reader.MemberFits(offset, size))
            continue;
        WePackageFile* file = new WePackageFile();
        file->name = fileName;
        file->type = type;
        file->offset = offset;
        file->size = size;
        AddFile(file);
    }
    return complete;
}

void WePackageFolder::AddFile(WePackageFile* file)
{
    WeString key = file->name.ToLower();
    key += '.';
    key += g_PackageTypeExtensions[file->type];
    files.Insert(key, file);
}

WePackageFile* WePackageFolder::FindFile(const WeString& key)
{
    WePackageFile* file = nullptr;
    return files.Find(key, &file) ? file : nullptr;
}

bool WePackageFolder::HasType(int32_t type)
{
    for (auto* file = files.First(); file; file = files.Next())
        if (file->value->type == type)
            return true;
    return false;
}
