#pragma once
#include "Platform/system/SysCrashInfo.h"

// Crash protection. Type 1 writes a crash log with the faulting thread's call stack through the
// log's crash channel; type 2 writes "crash-<stamp>.dmp", a minidump for crash-analysis tools; any
// other type installs nothing. Files go to the log folder. After the file is written the engine is
// shut down and a message asks the user to send it; then the process dies of the fault's signal.

// Formats g_CrashTimeStamp from the local time.
void FormatCrashTimeStamp();
// The build's "build.Options.ProtectionType" (default 2).
int ReadProtectionType();
// Installs the handler for the type; returns false for types that install nothing.
bool InstallCrashProtection(int protectionType);
void UninstallCrashProtection();

long CrashLogExceptionFilter(const SysCrashInfo& crash);
void InstallMinidumpHandler();
void SetMinidumpHandler(const char* fileName, void (*callback)());
long WriteCrashDump(const SysCrashInfo& crash);
void ShowCrashMessage();
void WriteCrashLog(const char* fileName, const SysCrashInfo& crash);

// The engine's shutdown and window hiding, run before the crash message (set by the engine).
void SetCrashShutdownHook(void (*hook)());
// The message text of the installed handler.
const char* GetCrashMessage();
