#pragma once
#include <cstddef>

// Text helpers for fixed storage. Both allocate nothing and are safe to call from the crash handler.
class SysText
{
public:
    // Copies text into out[size], cut to size - 1 bytes when longer, and always terminates it. A size of 0
    // writes nothing: there is no room even for the terminator.
    static void CopyTruncated(char* out, size_t size, const char* text);
    // Writes the whole text to stderr, resuming after partial writes; gives up quietly when stderr fails.
    static void WriteStderr(const char* text);
};
