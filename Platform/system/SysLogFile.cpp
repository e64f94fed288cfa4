#include "Platform/system/SysLogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

SysLogFile::~SysLogFile()
{
    Close();
}

bool SysLogFile::Create(const char* path)
{
    Close();
    m_Fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return m_Fd >= 0;
}

bool SysLogFile::Append(const char* path)
{
    Close();
    m_Fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return m_Fd >= 0;
}

void SysLogFile::Write(const char* text)
{
    if (text != nullptr)
        Write(text, strlen(text));
}

void SysLogFile::Write(const void* data, size_t size)
{
    if (m_Fd < 0)
        return;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0)
    {
        ssize_t done = write(m_Fd, bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return;
        bytes += done;
        size -= static_cast<size_t>(done);
    }
}

void SysLogFile::Close()
{
    if (m_Fd >= 0)
        close(m_Fd);
    m_Fd = -1;
}
