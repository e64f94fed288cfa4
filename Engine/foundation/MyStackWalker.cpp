#include "Engine/foundation/MyStackWalker.h"

#include "Engine/foundation/WeLog.h"
#include "Platform/system/SysDebugOutput.h"

void MyStackWalker::OnOutput(const char* text)
{
    CrashLogPrintf("%s", text);
    SysDebugOutput::Write(text);
}
