#include "Tools/content/ContentEffectWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeShader.h"
#include "Platform/gfx_d3dx/D3DX9.h"

namespace fs = std::filesystem;

namespace
{

bool ReadText(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    *text = all.str();
    return true;
}

// The quoted file name of an include line, or empty when the line is none.
std::string IncludeOf(const std::string& line, bool* malformed)
{
    *malformed = false;
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.compare(i, 8, "#include") != 0)
        return std::string();
    size_t open = line.find('"', i + 8);
    size_t close = open == std::string::npos ? std::string::npos : line.find('"', open + 1);
    if (close == std::string::npos || close == open + 1)
    {
        *malformed = true;
        return std::string();
    }
    return line.substr(open + 1, close - open - 1);
}

}  // namespace

bool ContentEffectWriter::Expand(const std::string& path, const std::string& assetsRoot, std::string* text,
                                 ContentError* error)
{
    m_Origins.clear();
    text->clear();
    return ExpandInto(path, assetsRoot, 0, text, error);
}

bool ContentEffectWriter::ExpandInto(const std::string& path, const std::string& assetsRoot, int depth,
                                     std::string* text, ContentError* error)
{
    std::string source;
    if (!ReadText(path, &source))
    {
        *error = {path, 0, "cannot read the file"};
        return false;
    }
    std::istringstream lines(source);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        bool malformed = false;
        std::string include = IncludeOf(line, &malformed);
        if (malformed)
        {
            *error = {path, number, "#include needs a quoted file name"};
            return false;
        }
        if (include.empty())
        {
            *text += line + "\n";
            m_Origins.emplace_back(path, number);
            continue;
        }
        if (depth >= 8)
        {
            *error = {path, number, "includes nest too deep"};
            return false;
        }
        // Beside the source first, then each folder above it up to the assets root.
        fs::path root = fs::weakly_canonical(assetsRoot);
        fs::path folder = fs::path(path).parent_path();
        std::string found;
        for (int up = 0; up < 16; ++up)
        {
            fs::path candidate = folder / include;
            if (fs::is_regular_file(candidate))
            {
                found = candidate.string();
                break;
            }
            if (fs::weakly_canonical(folder) == root || !folder.has_parent_path())
                break;
            folder = folder.parent_path();
        }
        if (found.empty())
        {
            *error = {path, number, "cannot find include " + include};
            return false;
        }
        if (!ExpandInto(found, assetsRoot, depth + 1, text, error))
            return false;
    }
    return true;
}

bool ContentEffectWriter::Write(const std::string& path, const std::string& assetsRoot, const std::string& name,
                                WeVirtualFileSystem& staged, ContentError* error)
{
    std::string text;
    if (!Expand(path, assetsRoot, &text, error))
        return false;
    // The effect layer takes the text as the compiled bytes once its parser accepted it.
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr =
        D3DXCreateEffect(nullptr, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect, &errors);
    if (FAILED(hr))
    {
        std::string log = errors != nullptr ? std::string(static_cast<const char*>(errors->GetBufferPointer()),
                                                          errors->GetBufferSize())
                                            : std::string("the effect compiler refused the text");
        while (!log.empty() && (log.back() == '\0' || log.back() == '\n'))
            log.pop_back();
        *error = {path, 0, log};
        // The compiler counts lines of the expanded text: name the source line instead.
        size_t at = log.find("line ");
        if (at != std::string::npos)
        {
            int expanded = std::atoi(log.c_str() + at + 5);
            if (expanded >= 1 && size_t(expanded) <= m_Origins.size())
            {
                error->file = m_Origins[size_t(expanded) - 1].first;
                error->line = m_Origins[size_t(expanded) - 1].second;
                size_t colon = log.find(": ", at);
                error->reason = colon != std::string::npos ? log.substr(colon + 2) : log;
            }
        }
        if (errors != nullptr)
            errors->Release();
        return false;
    }
    if (errors != nullptr)
        errors->Release();
    effect->Release();

    WeShader shader;
    if (!shader.LoadFromMemory(text.data(), int32_t(text.size()), name.c_str()) ||
        !shader.SaveCompiled(&staged, name.c_str()))
    {
        *error = {path, 0, "cannot write the member " + name};
        return false;
    }
    return true;
}
