#include "Platform/system/SysPath.h"

#include <unistd.h>

#include <vector>

std::string SysPath::ExecutablePath()
{
    // readlink does not say how long the target is; grow until the result no longer fills the buffer.
    std::vector<char> buffer(256);
    for (;;)
    {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::string();
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

std::string SysPath::ExecutableFolder()
{
    std::string path = ExecutablePath();
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return path;
    // The root folder keeps its single '/', so that joining under it still gives an absolute path.
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string SysPath::Join(const std::string& folder, const std::string& name)
{
    std::string result = folder;
    if (!result.empty() && result.back() != '/' && !name.empty())
        result += '/';
    for (char c : name)
        result += (c == '\\') ? '/' : c;
    return result;
}
