#include "Platform/gfx/GfxGLProgram.h"

#include "Platform/gfx/GfxGL.h"

namespace
{

GLuint Compile(GLenum kind, const std::string& source, std::string* log)
{
    GLuint shader = g_GL.glCreateShader(kind);
    const char* text = source.c_str();
    g_GL.glShaderSource(shader, 1, &text, nullptr);
    g_GL.glCompileShader(shader);
    GLint ok = 0;
    g_GL.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        g_GL.glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string text(size_t(length > 0 ? length : 1), '\0');
        g_GL.glGetShaderInfoLog(shader, GLsizei(text.size()), nullptr, text.data());
        if (log)
            *log = (kind == GL_VERTEX_SHADER ? "vertex program: " : "fragment program: ") + text;
        g_GL.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

uint32_t GfxGLProgram::Build(const std::string& vertex, const std::string& fragment, std::string* log)
{
    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, log);
    if (!vs)
        return 0;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, log);
    if (!fs)
    {
        g_GL.glDeleteShader(vs);
        return 0;
    }
    GLuint program = g_GL.glCreateProgram();
    g_GL.glAttachShader(program, vs);
    g_GL.glAttachShader(program, fs);
    g_GL.glLinkProgram(program);
    g_GL.glDeleteShader(vs);
    g_GL.glDeleteShader(fs);
    GLint ok = 0;
    g_GL.glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        g_GL.glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string text(size_t(length > 0 ? length : 1), '\0');
        g_GL.glGetProgramInfoLog(program, GLsizei(text.size()), nullptr, text.data());
        if (log)
            *log = "link: " + text;
        g_GL.glDeleteProgram(program);
        return 0;
    }
    return program;
}
