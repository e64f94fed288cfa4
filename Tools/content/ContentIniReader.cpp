#include "Tools/content/ContentIniReader.h"

#include <fstream>

ContentIniReader::ContentIniReader(const std::string& path, const std::string& text) : m_Path(path), m_Lines(text) {}

bool ContentIniReader::Fail(int line, const std::string& reason)
{
    if (!m_Failed)
    {
        m_Failed = true;
        m_Error = {m_Path, line, reason};
    }
    return false;
}

bool ContentIniReader::Next(ContentIniLine* out)
{
    if (m_Failed)
        return false;
    std::string line;
    while (std::getline(m_Lines, line))
    {
        int number = ++m_Number;
        if (!line.empty() && line.back() == '\r')
            return Fail(number, "CR LF line end");
        if (line.empty() || line[0] == ';')
            continue;
        *out = ContentIniLine();
        out->number = number;
        if (line[0] == '[')
        {
            if (line.size() < 3 || line.back() != ']')
                return Fail(number, "unknown section " + line);
            m_Section = line.substr(1, line.size() - 2);
            out->isSection = true;
            out->section = m_Section;
            return true;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            return Fail(number, "expected key=value");
        out->section = m_Section;
        out->key = line.substr(0, equals);
        out->value = line.substr(equals + 1);
        if (out->key.find_first_of(" \t") != std::string::npos ||
            (!out->value.empty() && (out->value[0] == ' ' || out->value[0] == '\t')))
            return Fail(number, "blank around '='");
        return true;
    }
    return false;
}

bool ContentIniReader::NextKey(const std::string& section, ContentIniLine* out)
{
    while (Next(out))
    {
        if (!out->isSection)
        {
            if (!m_InSection)
                return Fail(out->number, "key before [" + section + "]");
            return true;
        }
        if (out->section != section)
            return Fail(out->number, "unknown section [" + out->section + "] (only [" + section + "])");
        if (m_InSection)
            return Fail(out->number, "[" + section + "] twice");
        m_InSection = true;
    }
    if (!m_Failed && !m_InSection)
        Fail(0, "no [" + section + "] section");
    return false;
}

bool ContentIniReader::ReadFile(const std::string& path, std::string* text, ContentError* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        *error = {path, 0, "cannot read the source"};
        return false;
    }
    std::stringstream all;
    all << in.rdbuf();
    *text = all.str();
    return true;
}
