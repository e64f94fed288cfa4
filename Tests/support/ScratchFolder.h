#pragma once
// A fresh, empty folder of one test's own, removed with everything in it when the object goes. ctest runs
// many test processes at once, and a test may hold several folders: the name carries the process id and a
// counter, and the test's name so that a folder left behind by a killed run is easy to place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

class ScratchFolder
{
public:
    ScratchFolder()
    {
        static std::atomic<int> counter{0};
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("we-") + (info ? info->test_suite_name() : "suite") + "-" +
                           (info ? info->name() : "setup") + "-" + std::to_string(getpid()) + "-" +
                           std::to_string(counter++);
        for (char& c : name)
            if (c == '/')
                c = '_';
        m_Root = std::filesystem::temp_directory_path() / name;
        std::error_code ignored;
        std::filesystem::remove_all(m_Root, ignored);
        std::filesystem::create_directories(m_Root);
    }
    // For a death test in the threadsafe style, whose child re-runs the test from the start: the first
    // process makes the folder and leaves its path in the environment variable, the child finds it there.
    // Only the process that made the folder removes it.
    explicit ScratchFolder(const char* inheritedVariable) : ScratchFolder()
    {
        const char* inherited = std::getenv(inheritedVariable);
        if (inherited != nullptr)
        {
            std::error_code ignored;
            std::filesystem::remove_all(m_Root, ignored);
            m_Root = inherited;
            m_Owner = false;
            return;
        }
        m_Variable = inheritedVariable;
        setenv(inheritedVariable, m_Root.c_str(), 1);
    }
    ~ScratchFolder()
    {
        if (!m_Variable.empty())
            unsetenv(m_Variable.c_str());
        if (!m_Owner || m_Kept)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(m_Root, ignored);
    }
    // Left in place for a look after the test (a failed check's image); the test's log says where.
    void Keep()
    {
        if (!m_Kept)
            std::printf("kept: %s\n", m_Root.c_str());
        m_Kept = true;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, for building deeper paths.
    const std::filesystem::path& Root() const { return m_Root; }
    // The folder itself, or the path of a name inside it.
    std::string Path(const std::string& name = std::string()) const
    {
        return name.empty() ? m_Root.string() : (m_Root / name).string();
    }

    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream out(Path(name), std::ios::binary);
        out << text;
    }
    // The whole file; empty when it cannot be read.
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Names of the files in the folder whose names start with prefix and end with suffix.
    std::vector<std::string> Find(const std::string& prefix, const std::string& suffix) const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_Root))
        {
            std::string name = entry.path().filename().string();
            if (name.size() >= prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                found.push_back(name);
        }
        return found;
    }

private:
    std::filesystem::path m_Root;
    std::string m_Variable;
    bool m_Owner = true;
    bool m_Kept = false;
};
