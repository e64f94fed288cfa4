#include "Platform/system/SysLineReader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

SysLineReader::SysLineReader(const char* path)
{
    m_Fd = open(path, O_RDONLY | O_CLOEXEC);
}

SysLineReader::~SysLineReader()
{
    if (m_Fd >= 0)
        close(m_Fd);
}

bool SysLineReader::Fill()
{
    if (m_Fd < 0)
        return false;
    for (;;)
    {
        ssize_t got = read(m_Fd, m_Chunk, sizeof(m_Chunk));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        m_Pos = 0;
        m_End = static_cast<size_t>(got);
        return true;
    }
}

bool SysLineReader::Next(const char*& line)
{
    size_t length = 0;
    bool any = false;
    for (;;)
    {
        if (m_Pos == m_End && !Fill())
            break;
        any = true;
        char c = m_Chunk[m_Pos++];
        if (c == '\n')
            break;
        if (length + 1 < sizeof(m_Line))
            m_Line[length++] = c;
    }
    m_Line[length] = '\0';
    line = m_Line;
    return any;
}
