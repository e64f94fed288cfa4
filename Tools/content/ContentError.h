#pragma once
#include <string>

// Where a source went wrong: its file, the line (0 when the whole file is at fault) and why.
struct ContentError
{
    std::string file;
    int line = 0;
    std::string reason;

    std::string Text() const { return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + reason; }
};
