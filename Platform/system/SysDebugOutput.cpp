#include "Platform/system/SysDebugOutput.h"

#include "Platform/system/SysText.h"

#include <cstdlib>
#include <cstring>

SysDebugOutput::CaptureFn SysDebugOutput::s_Capture = nullptr;
void* SysDebugOutput::s_Context = nullptr;
int SysDebugOutput::s_ToStderr = -1;

void SysDebugOutput::ReloadEnvironment()
{
    const char* value = getenv("WE_DEBUG_OUTPUT");
    s_ToStderr = (value != nullptr && value[0] != '\0' && strcmp(value, "0") != 0) ? 1 : 0;
}

void SysDebugOutput::SetCapture(CaptureFn capture, void* context)
{
    s_Capture = capture;
    s_Context = context;
}

void SysDebugOutput::Write(const char* text)
{
    if (text == nullptr)
        return;
    if (s_Capture != nullptr)
    {
        s_Capture(text, s_Context);
        return;
    }
    if (s_ToStderr < 0)
        ReloadEnvironment();
    if (s_ToStderr == 0)
        return;
    SysText::WriteStderr(text);
}
