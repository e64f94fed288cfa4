#pragma once
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

class WePackageFolder;
class WeArchiveReader;

// A package of the package file; owns its folders, keyed by lower-cased name.
class WePackage
{
public:
    WePackage() = default;
    ~WePackage();
    WePackage(const WePackage&) = delete;
    WePackage& operator=(const WePackage&) = delete;

    // Reads the folders of this package from the index (the caller has read its name); false when
    // the index stops being sound.
    bool Read(WeArchiveReader& reader);

    WeString name;
    WeHashTable<WePackageFolder*> folders;
};
