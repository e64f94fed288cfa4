#pragma once
#include <cstdint>

class SysLogFile;

// The two log channels: 0 "debug" and 1 "crash". The first line of a channel after the start time
// stamp exists creates "<folder>/<channel>-<stamp>.log" with a banner, a creation line and the
// system block; every line is appended by opening and closing the file, so the text on disk is
// complete even when the process dies right after. Every line also goes to the debugger sink.

constexpr int LogLineSize = 65536;

// The local start time, "%.4d-%.2d-%.2d-%.2d-%.2d-%.2d"; empty until the crash wrapper sets it, and
// while it is empty no channel touches the file system.
extern char g_CrashTimeStamp[100];
// While 0, CrashLogPrintf does nothing at all. Cleared around every physics call.
extern uint8_t g_CrashLogEnabled;

// The text of the line being written, shared by both channels.
char* GetLogLineBuffer();

// Writes the line buffer to a channel (outside 0..1 means 0). A line starting with '~' is held and
// written just before the channel's next ordinary line.
void WriteLogLine(int channel);
// Formats into the line buffer (cut to fit) and writes it to the crash channel.
void CrashLogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats into the line buffer (cut to fit) and writes it to the debug channel: the game's diagnostics (a
// damaged save, a failed write, a missing resource), which tests read from the debug output.
void DebugLogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A diagnostic that goes nowhere, kept so that callers read as designed.
void WeDebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

void WriteSystemInfo(SysLogFile& file);

// The folder the log files (and crash dumps) go to. Empty means the executable's folder.
void SetLogFolder(const char* folder);
const char* GetLogFolder();
// The full path of a channel's file in this run ("" before its first ordinary line after the stamp).
const char* GetLogPath(int channel);
// True once a line of the channel reached its file in this run.
bool IsLogChannelCreated(int channel);
// Forgets the files of this run (paths, created flags, held lines), as a new run would.
void ResetLogChannels();

// One display adapter as the render device describes it for the system block.
struct WeVideoAdapterInfo
{
    char description[512];
    char deviceName[32];
    char driver[512];
    uint32_t driverVersionHigh;
    uint32_t driverVersionLow;
    uint32_t vendorId;
    uint32_t deviceId;
    uint32_t subSysId;
    uint32_t revision;
};

// Filled by the render device while it has its device object; the foundation does not link it.
struct WeVideoCardSource
{
    int (*getAdapterCount)();
    bool (*getAdapter)(int index, WeVideoAdapterInfo& out);
};
// Null: no device, no "Video Card:" block.
void SetVideoCardSource(const WeVideoCardSource* source);
