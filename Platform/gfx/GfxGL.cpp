#include "Platform/gfx/GfxGL.h"

#include <SDL2/SDL.h>

GfxGLFunctions g_GL;

bool GfxGLFunctions::Load()
{
    bool complete = true;
#define WE_GL_LOAD(type, name)                                                                                         \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name));                                                       \
    if (!name)                                                                                                         \
        complete = false;
    WE_GL_FUNCTIONS(WE_GL_LOAD)
#undef WE_GL_LOAD
    return complete;
}
