#pragma once
#include <cstddef>

// Reads a text file line by line through fixed buffers (no allocation), for /proc files that may be
// read from the crash handler. Lines longer than the line buffer are cut; the rest is skipped.
class SysLineReader
{
public:
    explicit SysLineReader(const char* path);
    ~SysLineReader();
    SysLineReader(const SysLineReader&) = delete;
    SysLineReader& operator=(const SysLineReader&) = delete;

    bool IsOpen() const { return m_Fd >= 0; }
    // Next line without its newline; false at the end of the file.
    bool Next(const char*& line);

private:
    bool Fill();

    int m_Fd = -1;
    char m_Chunk[4096];
    size_t m_Pos = 0;
    size_t m_End = 0;
    char m_Line[512];
};
