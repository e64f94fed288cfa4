#include "Tools/content/ContentStillPicture.h"

#include <algorithm>
#include <cstdlib>
#include <locale>
#include <sstream>

#include "Tools/content/ContentIniReader.h"
#include "Tools/content/ContentTextureWriter.h"
#include "Tools/movie/MoviePainter.h"
#include "Tools/movie/MovieScene.h"
#include "Tools/movie/MovieScript.h"

namespace
{
bool ParseSeconds(const std::string& text, double& out)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> out;
    return !in.fail() && in.eof() && out >= 0.0;
}
}  // namespace

bool ContentStillPicture::Parse(const std::string& path, const std::string& text, ContentError* error)
{
    m_Script.clear();
    m_At = 0.0;
    m_AlphaFromBrightness = false;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool still = false;
    while (std::getline(lines, line))
    {
        ++number;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word != "still")
        {
            m_Script += line + "\n";
            continue;
        }
        // Kept as an empty line, so the movie parser's line numbers stay the file's.
        m_Script += "\n";
        if (still)
        {
            *error = {path, number, "a picture has one still line"};
            return false;
        }
        still = true;
        std::string pair;
        while (words >> pair)
        {
            const size_t eq = pair.find('=');
            const std::string key = pair.substr(0, eq), value = eq == std::string::npos ? "" : pair.substr(eq + 1);
            if (key == "at")
            {
                if (!ParseSeconds(value, m_At))
                {
                    *error = {path, number, "not a moment: " + value};
                    return false;
                }
            }
            else if (key == "alpha" && (value == "opaque" || value == "brightness"))
                m_AlphaFromBrightness = value == "brightness";
            else
            {
                *error = {path, number, "unknown still field: " + pair};
                return false;
            }
        }
    }
    MovieScript script;
    std::string why;
    if (!script.Parse(m_Script, path, why))
    {
        // The movie parser's text is "<path>:<line>: <reason>".
        int at = 0;
        std::string reason = why;
        if (why.compare(0, path.size() + 1, path + ":") == 0)
        {
            const std::string rest = why.substr(path.size() + 1);
            const size_t colon = rest.find(": ");
            if (colon != std::string::npos)
            {
                at = std::atoi(rest.substr(0, colon).c_str());
                reason = rest.substr(colon + 2);
            }
        }
        *error = {path, at, reason};
        return false;
    }
    if (script.width <= 0 || script.height <= 0 || script.width > 2048 || script.height > 2048)
    {
        *error = {path, 0, "a picture is 1 to 2048 pixels a side"};
        return false;
    }
    if (m_At > script.seconds)
    {
        *error = {path, 0, "the still moment lies past the movie's end"};
        return false;
    }
    m_Width = script.width;
    m_Height = script.height;
    return true;
}

std::vector<uint32_t> ContentStillPicture::Paint() const
{
    MovieScript script;
    std::string why;
    std::vector<uint32_t> out;
    if (!script.Parse(m_Script, "still", why))
        return out;
    MoviePainter painter(script.width, script.height);
    painter.Clear();
    MovieScene scene(script);
    scene.Draw(m_At, painter);
    std::vector<uint8_t> bytes(size_t(script.width) * size_t(script.height) * 4);
    painter.Finish(1.0f, bytes.data());
    out.resize(size_t(script.width) * size_t(script.height));
    for (size_t i = 0; i < out.size(); ++i)
    {
        const uint32_t b = bytes[i * 4], g = bytes[i * 4 + 1], r = bytes[i * 4 + 2];
        const uint32_t a = m_AlphaFromBrightness ? std::max(r, std::max(g, b)) : 255u;
        out[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return out;
}

bool ContentStillPicture::Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged,
                                ContentError* error)
{
    std::string text;
    if (!ContentIniReader::ReadFile(path, &text, error))
        return false;
    if (!Parse(path, text, error))
        return false;
    m_Pixels = Paint();
    ContentTextureWriter writer;
    return writer.WriteImage(path, name, m_Width, m_Height, m_Pixels, staged, error);
}
