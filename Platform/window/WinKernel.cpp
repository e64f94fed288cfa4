// Named mutexes (lock files) and the documents folder.
#include "Platform/window/WinUser.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct WinHandle
{
    int fd = -1;
};

constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string LockPath(const char* name)
{
    std::string file;
    for (const char* p = name; *p != 0; ++p)
        file += (*p == '/' || *p == '\\') ? '_' : *p;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != 0 && IsFolder(runtime))
        return std::string(runtime) + "/" + file + ".lock";
    // /tmp is shared by every user: the user id keeps two users' programs apart.
    return "/tmp/" + file + "-" + std::to_string(getuid()) + ".lock";
}

std::string Home()
{
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in the user-dirs file.
std::string DocumentsFromUserDirs()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder = config != nullptr && config[0] != 0 ? config : Home() + "/.config";
    FILE* file = std::fopen((folder + "/user-dirs.dirs").c_str(), "r");
    if (file == nullptr)
        return "";
    std::string result;
    char line[1024];
    while (std::fgets(line, sizeof(line), file) != nullptr)
    {
        const char* key = "XDG_DOCUMENTS_DIR=\"";
        if (std::strncmp(line, key, std::strlen(key)) != 0)
            continue;
        std::string value = line + std::strlen(key);
        size_t quote = value.find('"');
        if (quote == std::string::npos)
            continue;
        value.resize(quote);
        if (value.rfind("$HOME", 0) == 0)
            value = Home() + value.substr(5);
        if (!value.empty() && value[0] == '/')
            result = value;
    }
    std::fclose(file);
    return result;
}

std::string DocumentsFolder()
{
    const char* env = std::getenv("XDG_DOCUMENTS_DIR");
    if (env != nullptr && env[0] == '/')
        return env;
    std::string fromFile = DocumentsFromUserDirs();
    if (!fromFile.empty())
        return fromFile;
    std::string home = Home();
    return home.empty() ? "" : home + "/Documents";
}

// The per-user application data: $XDG_DATA_HOME when it is absolute, else $HOME/.local/share.
std::string LocalAppDataFolder()
{
    const char* env = std::getenv("XDG_DATA_HOME");
    if (env != nullptr && env[0] == '/')
        return env;
    std::string home = Home();
    return home.empty() ? "" : home + "/.local/share";
}

bool CreateFolders(const std::string& path)
{
    for (size_t at = 1; at <= path.size(); ++at)
    {
        if (at != path.size() && path[at] != '/')
            continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return IsFolder(path);
}
}  // namespace

HANDLE CreateMutexA(void*, BOOL, const char* name)
{
    WinHandle* handle = new WinHandle();
    SetLastError(ERROR_SUCCESS);
    if (name == nullptr || name[0] == 0)
        return handle;
    handle->fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (handle->fd < 0)
    {
        delete handle;
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // The lock belongs to this open file: another handle, in this process or another, fails to take it.
    if (flock(handle->fd, LOCK_EX | LOCK_NB) != 0)
        SetLastError(ERROR_ALREADY_EXISTS);
    return handle;
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == nullptr)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    WinHandle* h = static_cast<WinHandle*>(handle);
    if (h->fd >= 0)
        close(h->fd);
    delete h;
    return TRUE;
}

HRESULT SHGetFolderPathAndSubDirA(HWND, int csidl, HANDLE, DWORD, const char* subFolder, char* path)
{
    if (path == nullptr)
        return E_INVALIDARG;
    path[0] = 0;
    std::string result;
    if ((csidl & 0xFF) == CSIDL_PERSONAL)
        result = DocumentsFolder();
    else if ((csidl & 0xFF) == CSIDL_LOCAL_APPDATA)
        result = LocalAppDataFolder();
    else
        return E_INVALIDARG;
    if (result.empty())
        return E_FAIL;
    if (subFolder != nullptr && subFolder[0] != 0)
    {
        std::string sub = subFolder;
        for (char& c : sub)
            if (c == '\\')
                c = '/';
        if (sub[0] == '/')
            return E_INVALIDARG;
        result += "/" + sub;
    }
    while (result.size() > 1 && result.back() == '/')
        result.pop_back();
    if (result.size() >= static_cast<size_t>(MAX_PATH))
        return E_FAIL;
    if ((csidl & CSIDL_FLAG_CREATE) != 0 ? !CreateFolders(result) : !IsFolder(result))
        return E_FAIL;
    std::memcpy(path, result.c_str(), result.size() + 1);
    return S_OK;
}
