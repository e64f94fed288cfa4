#pragma once
#include <sstream>
#include <string>

#include "Tools/content/ContentError.h"

// One line of an ini source that carries something: a section header or a key=value pair.
struct ContentIniLine
{
    int number = 0;
    bool isSection = false;
    // For a header the text between the brackets; for a pair the section it lies in ("" before the first).
    std::string section;
    std::string key;
    std::string value;
};

// Reads an ini description line by line with the checks every source kind shares: LF line ends only,
// ';' comments and blank lines skipped, "[name]" headers, "key=value" with no blanks around '='.
// Failures carry the file, the line and the reason; the kinds add their own through Fail.
class ContentIniReader
{
public:
    ContentIniReader(const std::string& path, const std::string& text);

    // The next header or pair; false at the end of the text or on a malformed line (then Failed()).
    bool Next(ContentIniLine* line);
    // The next key=value of a source that holds exactly one section, [section]: another section, a second
    // [section], a key before it and a source without it fail. False at the end or on a failure (Failed()).
    bool NextKey(const std::string& section, ContentIniLine* line);
    // Records a failure at the line and returns false, so a kind can write `return reader.Fail(...)`.
    bool Fail(int line, const std::string& reason);
    bool Failed() const { return m_Failed; }
    const ContentError& Error() const { return m_Error; }
    const std::string& Path() const { return m_Path; }

    // The whole source file; false with the error when it cannot be read.
    static bool ReadFile(const std::string& path, std::string* text, ContentError* error);

private:
    std::string m_Path;
    std::istringstream m_Lines;
    int m_Number = 0;
    std::string m_Section;
    bool m_Failed = false;
    bool m_InSection = false;
    ContentError m_Error;
};
