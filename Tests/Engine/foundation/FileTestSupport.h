#pragma once
// Helpers for the file tests: scratch-folder paths as the engine takes them, and whole-file reads and
// writes that bypass the engine.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Engine/foundation/WeString.h"
#include "Tests/support/ScratchFolder.h"

using Bytes = std::vector<uint8_t>;

// A path in a scratch folder as the engine's file functions take it.
inline WeString WePath(const ScratchFolder& folder, const std::string& name = std::string())
{
    return WeString(folder.Path(name).c_str());
}

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
