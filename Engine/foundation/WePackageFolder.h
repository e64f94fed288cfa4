#pragma once
#include <cstdint>

#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WeFileStream;
class WePackageFile;
class WeArchiveReader;

// A folder of the package file; owns its file records, keyed by lower-cased name + "." + extension.
class WePackageFolder
{
public:
    WePackageFolder() = default;
    ~WePackageFolder();
    WePackageFolder(const WePackageFolder&) = delete;
    WePackageFolder& operator=(const WePackageFolder&) = delete;

    // Reads the file records of this folder from the index (the caller has read its name); false
    // when the index stops being sound.
    bool Read(WeArchiveReader& reader);
    void AddFile(WePackageFile* file);
    WePackageFile* FindFile(const WeString& key);
    bool HasType(int32_t type);

    WeString name;
    WeHashTable<WePackageFile*> files;
};
