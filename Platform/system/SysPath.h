#pragma once
#include <string>

// Paths of the running process and the one way paths are put together. Names that come from data may
// use '\' as their separator; they are joined with '/' here so that nothing above this layer has to
// care which separator the disk wants.
class SysPath
{
public:
    // Full path of the running executable, read from /proc/self/exe (no length limit); empty when the
    // link cannot be read.
    static std::string ExecutablePath();
    // The folder of the executable, without a trailing separator. A path without a separator stays whole.
    static std::string ExecutableFolder();
    // folder + '/' + name, with every '\' in name turned into '/'. An empty folder gives the name alone,
    // and a separator already at the end of the folder is not doubled.
    static std::string Join(const std::string& folder, const std::string& name);
};
