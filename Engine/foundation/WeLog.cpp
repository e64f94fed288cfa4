#include "Engine/foundation/WeLog.h"

#include "Engine/foundation/WeExeFolder.h"

#include "Platform/system/SysDebugOutput.h"
#include "Platform/system/SysInfo.h"
#include "Platform/system/SysLogFile.h"
#include "Platform/system/SysText.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

char g_CrashTimeStamp[100] = {};
uint8_t g_CrashLogEnabled = 1;

namespace
{

// Fixed storage only: the crash handler writes through these while the heap may be broken.
char g_LineBuffer[LogLineSize];

struct LogChannel
{
    const char* name;
    char path[PATH_MAX];
    uint8_t created;
    bool holding;
    char held[LogLineSize];
};

LogChannel g_Channels[2] = {{"debug", {}, 0, false, {}}, {"crash", {}, 0, false, {}}};
// Folders and paths hold anything the system can open; one cut to fit would name another file.
char g_LogFolder[PATH_MAX] = {};
const WeVideoCardSource* g_VideoCards = nullptr;

char g_ExeFolder[PATH_MAX] = {};

// The executable's folder, copied once into fixed storage so that the crash handler never builds it.
const char* DefaultLogFolder()
{
    if (g_ExeFolder[0] == '\0')
        SysText::CopyTruncated(g_ExeFolder, sizeof(g_ExeFolder), GetExeFolder().c_str());
    return g_ExeFolder;
}

void WriteProcessorLine(const SysProcessorInfo& processor, void* context)
{
    char line[256];
    snprintf(line, sizeof(line), "%s - %d MHz", processor.hasName ? processor.name : "-unknown-", processor.mhz);
    SysLogFile& file = *static_cast<SysLogFile*>(context);
    file.Write(line);
    file.Write("\n");
}

}  // namespace

char* GetLogLineBuffer()
{
    return g_LineBuffer;
}

void SetLogFolder(const char* folder)
{
    SysText::CopyTruncated(g_LogFolder, sizeof(g_LogFolder), folder != nullptr ? folder : "");
}

const char* GetLogFolder()
{
    return g_LogFolder[0] != '\0' ? g_LogFolder : DefaultLogFolder();
}

const char* GetLogPath(int channel)
{
    if (channel < 0 || channel > 1)
        channel = 0;
    return g_Channels[channel].path;
}

bool IsLogChannelCreated(int channel)
{
    if (channel < 0 || channel > 1)
        channel = 0;
    return g_Channels[channel].created != 0;
}

void ResetLogChannels()
{
    for (LogChannel& channel : g_Channels)
    {
        channel.path[0] = '\0';
        channel.created = 0;
        channel.holding = false;
    }
}

void SetVideoCardSource(const WeVideoCardSource* source)
{
    g_VideoCards = source;
}

void WriteSystemInfo(SysLogFile& file)
{
    char piece[256];
    file.Write("============= Linux info =================\n");
    SysInfo::GetOsVersion(piece, sizeof(piece));
    file.Write(piece);

    file.Write("\nCPU:\n");
    SysInfo::ForEachProcessor(WriteProcessorLine, &file);

    file.Write("Memory:");
    SysMemoryInfo memory{};
    SysInfo::GetMemory(memory);
    snprintf(piece, sizeof(piece), "\nPhysical: %d MB total, %d MB available (%d%% used)",
             static_cast<int>((memory.totalPhysical + 0x84000) >> 20), static_cast<int>(memory.availablePhysical >> 20),
             static_cast<int>(memory.memoryLoad));
    file.Write(piece);
    snprintf(piece, sizeof(piece), "\nVirtual: %d MB total, %d MB available\n",
             static_cast<int>(memory.totalVirtual >> 20), static_cast<int>(memory.availableVirtual >> 20));
    file.Write(piece);

    if (g_VideoCards != nullptr && g_VideoCards->getAdapterCount != nullptr && g_VideoCards->getAdapter != nullptr)
    {
        file.Write("Video Card:\n");
        int count = g_VideoCards->getAdapterCount();
        for (int i = 0; i < count; ++i)
        {
            WeVideoAdapterInfo adapter{};
            if (!g_VideoCards->getAdapter(i, adapter))
                continue;
            // The source's texts need not be terminated; never read past their fields.
            adapter.description[sizeof(adapter.description) - 1] = '\0';
            adapter.deviceName[sizeof(adapter.deviceName) - 1] = '\0';
            adapter.driver[sizeof(adapter.driver) - 1] = '\0';
            char line[1024];
            snprintf(line, sizeof(line), "  Adapter %d:\n", i);
            file.Write(line);
            snprintf(line, sizeof(line), "    Description (Device Name): %s (%s)\n", adapter.description,
                     adapter.deviceName);
            file.Write(line);
            snprintf(
                line, sizeof(line), "    Driver: %s (%d.%d.%d.%d)\n", adapter.driver,
                static_cast<int>(adapter.driverVersionHigh >> 16), static_cast<int>(adapter.driverVersionHigh & 0xFFFF),
                static_cast<int>(adapter.driverVersionLow >> 16), static_cast<int>(adapter.driverVersionLow & 0xFFFF));
            file.Write(line);
            snprintf(line, sizeof(line), "    Vendor Id: %ul\n", adapter.vendorId);
            file.Write(line);
            snprintf(line, sizeof(line), "    Device Id: %ul\n", adapter.deviceId);
            file.Write(line);
            snprintf(line, sizeof(line), "    SubSys Id: %ul\n", adapter.subSysId);
            file.Write(line);
            snprintf(line, sizeof(line), "    Revision: %dul\n", static_cast<int>(adapter.revision));
            file.Write(line);
        }
    }
    file.Write("==========================================\n");
}

void WriteLogLine(int channelIndex)
{
    SysDebugOutput::Write(g_LineBuffer);
    if (channelIndex < 0 || channelIndex > 1)
        channelIndex = 0;
    if (g_CrashTimeStamp[0] == '\0')
        return;
    LogChannel& channel = g_Channels[channelIndex];

    if (g_LineBuffer[0] == '~')
    {
        SysText::CopyTruncated(channel.held, sizeof(channel.held), g_LineBuffer);
        channel.holding = true;
        return;
    }

    SysLogFile file;
    if (channel.created)
    {
        file.Append(channel.path);
    }
    else
    {
        int length = snprintf(channel.path, sizeof(channel.path), "%s/%s-%s.log", GetLogFolder(), channel.name,
                              g_CrashTimeStamp);
        if (length < 0 || static_cast<size_t>(length) >= sizeof(channel.path))
        {
            // Too long to open: no file at all rather than one under a cut name.
            channel.path[0] = '\0';
            return;
        }
        if (file.Create(channel.path))
        {
            char header[1000];
            snprintf(header, sizeof(header), "=================== %s log ===================\n", channel.name);
            file.Write(header);
            snprintf(header, sizeof(header), "Created on %s\n", g_CrashTimeStamp);
            file.Write(header);
            channel.created = 1;
            WriteSystemInfo(file);
        }
    }
    if (!file.IsOpen())
        return;
    if (channel.holding)
    {
        file.Write(channel.held);
        channel.holding = false;
    }
    file.Write(g_LineBuffer);
    file.Close();
}

void CrashLogPrintf(const char* format, ...)
{
    if (!g_CrashLogEnabled)
        return;
    va_list args;
    va_start(args, format);
    // Cut an over-long line to the buffer instead of failing.
    vsnprintf(g_LineBuffer, sizeof(g_LineBuffer), format, args);
    va_end(args);
    WriteLogLine(1);
}

void DebugLogPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(g_LineBuffer, sizeof(g_LineBuffer), format, args);
    va_end(args);
    WriteLogLine(0);
}

void WeDebugPrint(const char*, ...) {}
