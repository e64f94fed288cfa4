#pragma once
#include <string>
#include <vector>

// One entry of a folder listing, named exactly as the disk stores it.
struct SysFolderEntry
{
    std::string name;
    bool isFolder = false;
};

// Folder and file operations on the disk, by path.
class SysFolder
{
public:
    // Fills entries with the folder's children (not "." and ".."), sorted by name so that every run
    // sees the same order. False when the path is not a readable folder.
    static bool List(const std::string& path, std::vector<SysFolderEntry>& entries);
    static bool Exists(const std::string& path);
    // Creates one folder; an existing folder counts as success.
    static bool Create(const std::string& path);
    // Deletes one plain file; false when it does not exist or cannot be deleted.
    static bool DeleteFile(const std::string& path);
    // Reads the whole file into out, byte for byte. False when path is null or the file cannot be opened
    // or read.
    static bool ReadWholeFile(const char* path, std::string* out);
    // Makes the folder the process's working folder. False when it cannot be entered.
    static bool SetCurrent(const std::string& path);
    // Flushes a written file's data to the disk. False when it cannot be opened or synced.
    static bool SyncFile(const std::string& path);
    // Renames a file over another in the same folder, replacing it at once. False on failure (the target
    // is then untouched).
    static bool Rename(const std::string& from, const std::string& to);
};
