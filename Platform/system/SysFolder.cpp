#include "Platform/system/SysFolder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

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

bool SysFolder::SetCurrent(const std::string& path)
{
    return !path.empty() && chdir(path.c_str()) == 0;
}

bool SysFolder::SyncFile(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = fsync(descriptor) == 0;
    return close(descriptor) == 0 && synced;
}

bool SysFolder::Rename(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}
