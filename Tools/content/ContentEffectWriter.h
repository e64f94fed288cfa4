#pragma once
#include <string>
#include <vector>

#include "Tools/content/ContentError.h"

class WeVirtualFileSystem;

// An effect source: its text with every `#include "file"` line expanded (looked up beside the source,
// then in the folders above it up to the assets root), checked by the effect compiler and written as a
// compiled-effect member through WeShader::SaveCompiled.
class ContentEffectWriter
{
public:
    // Expands the includes; false with the error set when an include is missing or nests too deep.
    bool Expand(const std::string& path, const std::string& assetsRoot, std::string* text, ContentError* error);
    bool Write(const std::string& path, const std::string& assetsRoot, const std::string& name,
               WeVirtualFileSystem& staged, ContentError* error);

private:
    bool ExpandInto(const std::string& path, const std::string& assetsRoot, int depth, std::string* text,
                    ContentError* error);
    // The source file and line of each line of the expanded text, for messages.
    std::vector<std::pair<std::string, int>> m_Origins;
};
