#include "Platform/system/SysFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

bool SysFolder::List(const std::string& path, std::vector<SysFolderEntry>& entries)
{
    entries.clear();
    std::error_code error;
    fs::directory_iterator it(path, error);
    if (error)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(error))
    {
        if (error)
            break;
        SysFolderEntry entry;
        entry.name = it->path().filename().string();
        std::error_code typeError;
        entry.isFolder = it->is_directory(typeError);
        // Pipes, sockets and devices are no content: opening a pipe would block the caller. A dangling
        // link stays listed, so that whoever opens it reports the unreadable file.
        const fs::file_type type = it->status(typeError).type();
        if (type == fs::file_type::fifo || type == fs::file_type::socket || type == fs::file_type::block ||
            type == fs::file_type::character)
            continue;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const SysFolderEntry& a, const SysFolderEntry& b) { return a.name < b.name; });
    return true;
}

bool SysFolder::Exists(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool SysFolder::Create(const std::string& path)
{
    std::error_code error;
    fs::create_directory(path, error);
    return !error && fs::is_directory(path, error);
}

bool SysFolder::DeleteFile(const std::string& path)
{
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(path, error)) && !fs::is_symlink(fs::symlink_status(path, error)))
        return false;
    return fs::remove(path, error) && !error;
}

bool SysFolder::ReadWholeFile(const char* path, std::string* out)
{
    if (!path)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream s;
    s << in.rdbuf();
    *out = s.str();
    return !in.bad();
}
