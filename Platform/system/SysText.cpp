#include "Platform/system/SysText.h"

#include <cstring>
#include <unistd.h>

void SysText::CopyTruncated(char* out, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t length = strlen(text);
    if (length >= size)
        length = size - 1;
    memcpy(out, text, length);
    out[length] = '\0';
}

void SysText::WriteStderr(const char* text)
{
    size_t left = strlen(text);
    while (left > 0)
    {
        ssize_t done = write(STDERR_FILENO, text, left);
        if (done <= 0)
            return;
        text += done;
        left -= static_cast<size_t>(done);
    }
}
