#pragma once
// What the targets that read configuration share: a loose tree of the process's own in scratch memory,
// made the configuration's file system once, whose Config/Main/<name>.ini each input replaces. Keys
// accumulate in the process-wide table across inputs, as they would across files, so runs are best kept
// to minutes.
#include <cstdint>
#include <filesystem>
#include <string>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Tests/fuzz/FuzzSupport.h"

class FuzzConfigTree
{
public:
    // The tree of the process, made at the first call with the ini file Config/Main/<name>.ini.
    static FuzzConfigTree& Get(const char* name)
    {
        // Never destroyed: the configuration keeps using its file system until the process ends.
        static FuzzConfigTree* tree = new FuzzConfigTree(name);
        return *tree;
    }

    // Writes the input as the ini file and loads it over the configuration; false when it cannot be written.
    bool Load(const uint8_t* data, size_t size)
    {
        if (!FuzzWriteFile(m_File, data, size))
            return false;
        LoadConfigFiles(WeString(m_Name.c_str()));
        return true;
    }

private:
    explicit FuzzConfigTree(const char* name) : m_Name(name)
    {
        const std::string root = FuzzScratchPath(name);
        std::filesystem::create_directories(root + "/Config/Main");
        m_File = root + "/Config/Main/" + m_Name + ".ini";
        FuzzWriteFile(m_File, nullptr, 0);
        m_FileSystem.SetRoot(WeString(root.c_str()));
        LookupConfigEntry(WeString("-"), false);  // the process's own first load, before switching
        SetConfigFileSystem(&m_FileSystem);
    }

    std::string m_Name;
    std::string m_File;
    WeFileSystem m_FileSystem;
};
