#pragma once
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

class WePackage;
class WePackageFile;
class WePackageFolder;

// The read-only package file "Packages.dat" beside the executable: a scrambled header and index and
// the members' bytes, read in place through one stream that stays open. The index is read at the
// first operation; while the file is missing it is looked for again at every call.
class WeDataFile : public WeVirtualFileSystem
{
public:
    WeDataFile();
    ~WeDataFile() override;

    bool ListPackages(WeStringList& out) override;
    bool ListFolders(WeStringList& out, const WeString& package, int32_t type) override;
    bool ListFiles(WeStringList& out, const WeString& package, const WeString& folder, int32_t type) override;
    bool Exists(const WeString& name, int32_t type) override;
    bool Open(const WeString& name, int32_t type) override;
    bool Close() override;
    bool Create(const WeString& name, int32_t type, bool overwrite) override;
    bool EndCreate() override;
    int64_t GetSize() override;
    WeFileStream* GetStream() override;
    bool Delete(const WeString& name, int32_t type) override;

    // Reads another archive in place of "Packages.dat" beside the executable (tools and tests); the
    // index is read again at the next operation.
    void SetPath(const WeString& path);
    const WeString& GetPath();
    bool EnsureLoaded();
    // The record of a dotted name and type; null when absent.
    WePackageFile* FindFile(const WeString& name, int32_t type);
    bool IsLoaded() const { return m_Loaded; }
    int32_t GetVersion() const { return m_Version; }

private:
    bool Load();
    void DeletePackages();
    WePackage* FindPackage(const WeString& name);
    WePackageFolder* FindFolder(const WeString& package, const WeString& folder);

    int32_t m_CurrentSize = 0;
    bool m_Loaded = false;
    WeFileStream m_Stream;
    int32_t m_Version = 0;
    int64_t m_IndexOffset = 0;
    WeHashTable<WePackage*> m_Packages;
    WeString m_Path;
    bool m_PathSet = false;
};
