#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"

class WeFileStream;
class WeDataFile;
class WeFileSystem;

// Resources are addressed by a dotted name (package.folder.file, matched without regard to case) and
// a file-type code, never by a path. A file system turns such a name into its one stream, positioned
// on the file's bytes, and lists what exists. Only one file is open through a file system at a time.
// A type code outside the table makes every operation fail (or list nothing and return false).
class WeVirtualFileSystem
{
public:
    virtual ~WeVirtualFileSystem() = default;

    virtual bool ListPackages(WeStringList& out) = 0;
    // Folders of the package that hold at least one file of the type.
    virtual bool ListFolders(WeStringList& out, const WeString& package, int32_t type) = 0;
    // Names (without extension) of the folder's files of the type.
    virtual bool ListFiles(WeStringList& out, const WeString& package, const WeString& folder, int32_t type) = 0;
    virtual bool Exists(const WeString& name, int32_t type) = 0;
    virtual bool Open(const WeString& name, int32_t type) = 0;
    virtual bool Close() = 0;
    virtual bool Create(const WeString& name, int32_t type, bool overwrite) = 0;
    virtual bool EndCreate() = 0;
    virtual int64_t GetSize() = 0;
    virtual WeFileStream* GetStream() = 0;
    virtual bool Delete(const WeString& name, int32_t type) = 0;

    // The active file system of the process. The first call creates both implementations; which one
    // is active is fixed when the engine is built (the package file unless the loose tree was chosen).
    static WeVirtualFileSystem* Instance();
    // Both objects, whichever is active (tools and tests reach the other one through these).
    static WeDataFile* GetDataFile();
    static WeFileSystem* GetFileSystem();
};
