#include "Engine/foundation/WeCrashReport.h"

#include "Engine/foundation/MyStackWalker.h"
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Platform/system/SysClock.h"
#include "Platform/system/SysCrashHandler.h"
#include "Platform/system/SysDebugOutput.h"
#include "Platform/system/SysMessageBox.h"
#include "Platform/system/SysMinidump.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{

// Room for the designed words around a full path.
char g_CrashMessage[PATH_MAX + 256];
char g_CrashLogName[256];
char g_DumpName[256];
char g_DumpPath[PATH_MAX];
void (*g_DumpCallback)() = nullptr;
void (*g_ShutdownHook)() = nullptr;

// Formats into a fixed buffer, cutting what does not fit.
void FormatTruncated(char* out, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void FormatTruncated(char* out, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(out, size, format, args);
    va_end(args);
}

void FormatString256(char* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void FormatString256(char* out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(out, 256, format, args);
    va_end(args);
}

// The message in the designed words, except that it names the file actually written, with its full path,
// where the design's text says "crash-DATETIME.log" (or ".dmp") literally: a user who is asked to send the
// file can find it by that path, whichever folder the log or dump went to.
void SetCrashMessage(const char* path)
{
    FormatTruncated(g_CrashMessage, sizeof(g_CrashMessage),
                    "Abnormal program termination!\nPlease, send generated %s file to application developers.", path);
}

void OnCrashLog(const SysCrashInfo& crash)
{
    CrashLogExceptionFilter(crash);
}

void OnCrashDump(const SysCrashInfo& crash)
{
    WriteCrashDump(crash);
}

}  // namespace

void FormatCrashTimeStamp()
{
    SysLocalTime now{};
    SysClock::LocalTime(now);
    FormatTruncated(g_CrashTimeStamp, sizeof(g_CrashTimeStamp), "%.4d-%.2d-%.2d-%.2d-%.2d-%.2d", now.year, now.month,
                    now.day, now.hour, now.minute, now.second);
}

int ReadProtectionType()
{
    return GetConfigInt("build.Options.ProtectionType", 2);
}

bool InstallCrashProtection(int protectionType)
{
    GetLogFolder();  // settles the folder now, not inside the handler
    if (protectionType == 1)
        return SysCrashHandler::Install(OnCrashLog);
    if (protectionType == 2)
    {
        InstallMinidumpHandler();
        return true;
    }
    return false;
}

void UninstallCrashProtection()
{
    SysCrashHandler::Uninstall();
}

void WriteCrashLog(const char*, const SysCrashInfo& crash)
{
    MyStackWalker walker;
    walker.ShowCallstack(&crash);
}

long CrashLogExceptionFilter(const SysCrashInfo& crash)
{
    // The likeliest crash site is inside a physics call, where the channel is switched off.
    g_CrashLogEnabled = 1;
    FormatString256(g_CrashLogName, "crash-%s.log", g_CrashTimeStamp);
    WriteCrashLog(g_CrashLogName, crash);
    if (IsLogChannelCreated(1))
    {
        SetCrashMessage(GetLogPath(1));
        ShowCrashMessage();
    }
    return 1;
}

void InstallMinidumpHandler()
{
    FormatString256(g_DumpName, "crash-%s.dmp", g_CrashTimeStamp);
    SetMinidumpHandler(g_DumpName, ShowCrashMessage);
}

void SetMinidumpHandler(const char* fileName, void (*callback)())
{
    const char* name = fileName != nullptr ? fileName : "Application";
    // The dump goes beside the crash log, not into whatever folder the process was started from.
    int length = snprintf(g_DumpPath, sizeof(g_DumpPath), "%s/%s", GetLogFolder(), name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(g_DumpPath))
        g_DumpPath[0] = '\0';  // too long to open: the dump fails instead of landing under a cut name
    SetCrashMessage(g_DumpPath);
    g_DumpCallback = callback;
    SysCrashHandler::Install(OnCrashDump);
}

long WriteCrashDump(const SysCrashInfo& crash)
{
    char status[1024];
    if (!SysMinidump::Write(g_DumpPath, crash))
    {
        FormatTruncated(status, sizeof(status), "Failed to save dump file to '%s'\n", g_DumpPath);
        SysDebugOutput::Write(status);
        return 0;
    }
    FormatTruncated(status, sizeof(status), "Saved dump file to '%s'\n", g_DumpPath);
    SysDebugOutput::Write(status);
    if (g_DumpCallback != nullptr)
        g_DumpCallback();
    return 1;
}

void ShowCrashMessage()
{
    if (g_ShutdownHook != nullptr)
        g_ShutdownHook();
    // From here on the process waits on the user, not on a stuck lock.
    SysCrashHandler::DisarmWatchdog();
    const char* caption = g_Application != nullptr ? g_Application->GetName() : "Application";
    SysMessageBox::Show(caption != nullptr ? caption : "Application", g_CrashMessage);
}

void SetCrashShutdownHook(void (*hook)())
{
    g_ShutdownHook = hook;
}

const char* GetCrashMessage()
{
    return g_CrashMessage;
}
