#pragma once
// Compiling and linking GLSL programs (GL backend only).
#include <cstdint>
#include <string>

class GfxGLProgram
{
public:
    // A linked program from vertex and fragment sources (each with its #version line), or 0 with the
    // compiler's or linker's log in `log`.
    static uint32_t Build(const std::string& vertex, const std::string& fragment, std::string* log);
};
