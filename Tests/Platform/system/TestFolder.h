#pragma once
// A fresh empty folder per test, removed afterwards.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class TestFolder
{
public:
    TestFolder()
    {
        static std::atomic<int> counter{0};
        m_Path = std::filesystem::temp_directory_path() /
                 ("we-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_Path);
        std::filesystem::create_directories(m_Path);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_Path, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }
    std::string File(const std::string& name) const { return (m_Path / name).string(); }

    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream out(File(name), std::ios::binary);
        out << text;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Names of the files in the folder whose names start with prefix and end with suffix.
    std::vector<std::string> Find(const std::string& prefix, const std::string& suffix) const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_Path))
        {
            std::string name = entry.path().filename().string();
            if (name.size() >= prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                found.push_back(name);
        }
        return found;
    }

private:
    std::filesystem::path m_Path;
};
