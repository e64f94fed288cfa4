#include "Engine/runtime/WeWindowModeOverride.h"

#include "Platform/system/SysDebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t ApplyWindowModeOverride(int32_t windowMode)
{
    const char* value = std::getenv("WE_WINDOW_MODE");
    if (value == nullptr || value[0] == '\0')
        return windowMode;
    if (std::strcmp(value, "0") == 0 || std::strcmp(value, "1") == 0 || std::strcmp(value, "2") == 0)
        return value[0] - '0';
    char line[160];
    std::snprintf(line, sizeof(line), "WE_WINDOW_MODE=%.80s ignored: expected 0, 1 or 2\n", value);
    SysDebugOutput::Write(line);
    return windowMode;
}
