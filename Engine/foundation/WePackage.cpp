#include "Engine/foundation/WePackage.h"

#include "Engine/foundation/WeArchiveReader.h"
#include "Engine/foundation/WePackageFolder.h"

WePackage::~WePackage()
{
    for (auto* folder = folders.First(); folder; folder = folders.Next())
        delete folder->value;
    folders.Clear();
}

bool WePackage::Read(WeArchiveReader& reader)
{
    int32_t count;
    bool complete;
    if (!reader.ReadCount(WeArchiveReader::FolderRecordSize, count, complete))
        return false;
    for (int32_t i = 0; i < count; ++i)
    {
        WeString folderName;
        if (!reader.ReadName(folderName))
            return false;
        WePackageFolder* folder = new WePackageFolder();
        folder->name = folderName;
        folders.Insert(folderName.ToLower(), folder);
        // A folder cut short keeps the files read before the cut.
        if (!folder->Read(reader))
            return false;
    }
    return complete;
}
