#pragma once
// Points the game's save folder ("Kestrovane Demo" under $XDG_DATA_HOME) into a folder of the test's own, and
// puts the variable back when the object goes.
#include <cstdlib>
#include <string>

class SaveFolderOverride
{
public:
    explicit SaveFolderOverride(const std::string& dataHome)
    {
        const char* old = std::getenv("XDG_DATA_HOME");
        m_HadOld = old != nullptr;
        if (m_HadOld)
            m_Old = old;
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    }
    ~SaveFolderOverride()
    {
        if (m_HadOld)
            setenv("XDG_DATA_HOME", m_Old.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    SaveFolderOverride(const SaveFolderOverride&) = delete;
    SaveFolderOverride& operator=(const SaveFolderOverride&) = delete;

    // Where the game keeps its saves under that data home.
    static std::string SaveFolder(const std::string& dataHome) { return dataHome + "/Kestrovane Demo"; }

private:
    bool m_HadOld = false;
    std::string m_Old;
};
