#pragma once
#include <cstddef>

// A text file written straight through to the kernel: no stdio buffer and no allocation, so the log
// can be written from the crash handler and is complete on disk after every Close.
class SysLogFile
{
public:
    SysLogFile() = default;
    ~SysLogFile();
    SysLogFile(const SysLogFile&) = delete;
    SysLogFile& operator=(const SysLogFile&) = delete;

    // Creates or truncates the file.
    bool Create(const char* path);
    // Opens for appending, creating the file when it is missing.
    bool Append(const char* path);
    bool IsOpen() const { return m_Fd >= 0; }
    void Write(const char* text);
    void Write(const void* data, size_t size);
    void Close();

private:
    int m_Fd = -1;
};
