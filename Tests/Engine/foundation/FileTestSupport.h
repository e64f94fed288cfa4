#pragma once
// Helpers for the file tests: a private scratch folder per test process (tests run in parallel),
// and whole-file reads and writes that bypass the engine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Engine/foundation/WeString.h"

using Bytes = std::vector<uint8_t>;

class ScratchFolder
{
public:
    ScratchFolder()
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("we-") + (info ? info->test_suite_name() : "x") + "-" +
                           (info ? info->name() : "y") + "-" + std::to_string(getpid());
        for (char& c : name)
            if (c == '/')
                c = '_';
        m_Path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_Path);
        std::filesystem::create_directories(m_Path);
    }
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_Path, error);
    }
    std::string Path(const std::string& name = std::string()) const
    {
        return name.empty() ? m_Path.string() : (m_Path / name).string();
    }
    WeString WePath(const std::string& name = std::string()) const { return WeString(Path(name).c_str()); }

private:
    std::filesystem::path m_Path;
};

inline Bytes ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string FixturePackages()
{
    return std::string(WE_FIXTURES_DIR) + "/Packages";
}
