#pragma once
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

// The writable tree of loose files "Packages/<Package>/<Folder>/<File>.<ext>" beside the executable.
// The tree is scanned once; lookups ignore case, but the disk does not, so every file is opened,
// created and deleted by the names the scan (or Create) found on disk, and a dotted name reaches the
// same file whether it has three parts or more.
class WeFileSystem : public WeVirtualFileSystem
{
public:
    WeFileSystem();
    ~WeFileSystem() override;

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

    // Uses another "Packages" folder than the one beside the executable (tools and tests); the tree is
    // scanned again at the next operation.
    void SetRoot(const WeString& packagesFolder);
    const WeString& GetRoot();
    bool IsWriting() const { return m_Writing; }
    // The path on disk of a dotted name and type; empty when absent.
    WeString FindPath(const WeString& name, int32_t type);

    struct File
    {
        WeString name;  // before the first '.', as found
        WeString lowerName;
        bool hasType[WePackageTypeCount] = {};
        WeString diskName[WePackageTypeCount];  // the name on disk for each type present
    };
    struct Folder
    {
        WeString name;
        WeString lowerName;
        WeHashTable<File*> files;
    };
    struct Package
    {
        WeString name;
        WeString lowerName;
        WeHashTable<Folder*> folders;
    };

private:
    void EnsureScanned();
    void Scan();
    void DeleteTree();
    void CloseStream();
    Package* FindPackage(const WeString& name);
    Folder* FindFolder(const WeString& package, const WeString& folder);
    File* FindEntry(const WeString& name);

    WeHashTable<Package*> m_Packages;
    WeFileStream m_Stream;
    bool m_Writing = false;
    bool m_Scanned = false;
    WeString m_Root;
    bool m_RootSet = false;
};
