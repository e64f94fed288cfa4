#include "Game/shell/GameMain.h"

#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeLog.h"
#include "Game/shell/CDevelopmentHooks.h"
#include "Game/shell/CGameApplication.h"
#include "Game/shell/CGameGlobals.h"
#include "Platform/system/SysFolder.h"
#include "Platform/window/WinUser.h"

#include <string>

namespace
{
constexpr const char* MutexName = "ULVEX_Kestrovane Demo";
constexpr const char* SaveFolderName = "Kestrovane Demo";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// ASCII letters compared without their case, whatever the locale.
bool EqualsIgnoringCase(const char* text, size_t length, const char* word)
{
    for (size_t i = 0; i < length; ++i)
    {
        char a = text[i], b = word[i];
        if (b == 0)
            return false;
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b - 'A' + 'a');
        if (a != b)
            return false;
    }
    return word[length] == 0;
}
}  // namespace

void ParseCommandLine(const char* commandLine)
{
    if (commandLine == nullptr)
        return;
    const char* at = commandLine;
    while (*at != 0)
    {
        while (IsBlank(*at))
            ++at;
        const char* end = at;
        while (*end != 0 && !IsBlank(*end))
            ++end;
        if (EqualsIgnoringCase(at, static_cast<size_t>(end - at), "--no-movies"))
            g_Game.m_PlayMovies = 0;
        at = end;
    }
}

WeString GetSaveFolder()
{
    char path[MAX_PATH] = {};
    if (SHGetFolderPathAndSubDirA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, SaveFolderName, path) !=
        S_OK)
    {
        DebugLogPrintf("Save folder: no data folder for \"%s\" (XDG_DATA_HOME and HOME)\n", SaveFolderName);
        return WeString();
    }
    return WeString(path);
}

int GameMain(int argc, char** argv)
{
    // The lock stays held until the process ends.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        MessageBoxA(nullptr, "Game is already running!", nullptr, MB_OK);
        CloseHandle(mutex);
        return 0;
    }

    if (!SysFolder::SetCurrent(GetExeFolder().c_str()))
        DebugLogPrintf("Entry: cannot enter the executable's folder \"%s\"\n", GetExeFolder().c_str());

    std::string commandLine;
    for (int i = 1; i < argc; ++i)
    {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    ParseCommandLine(commandLine.c_str());

    // The logs and crash dumps go where the user may write, beside the saves; the game's own folder may be
    // read-only once installed. Without a save folder they stay in the executable's folder.
    const WeString saveFolder = GetSaveFolder();
    if (!saveFolder.IsEmpty())
        SetLogFolder(saveFolder.c_str());

    if (!g_DevelopmentHooks.ReadEnvironment())
    {
        CloseHandle(mutex);
        return 2;
    }
    g_DevelopmentHooks.ApplyAtStart();
    const int status = g_GameApplication.RunWithCrashHandler();
    CloseHandle(mutex);
    return status;
}
