#include <cstdarg>
#include <cstdio>

#include "Platform/gfx/D3DX9Effect.h"

namespace {

void (*g_GfxDebugOutput)(const char*) = nullptr;

}  // namespace

void GfxSetDebugOutput(void (*output)(const char* text)) { g_GfxDebugOutput = output; }

void GfxDebugPrint(const char* format, ...) {
  char text[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (g_GfxDebugOutput)
    g_GfxDebugOutput(text);
  else
    std::fputs(text, stderr);
}
